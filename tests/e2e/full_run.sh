#!/usr/bin/env bash
# Runs the real program as a person would, with the keyboard only: passes the title window and the
# new-user notice (ticking "Don't show this notice again"), creates a word list in the lobby, makes
# a puzzle of it, prints it to a PDF file, quits, starts again (no notice this time), and checks the
# list file, the settings and the printed page.
# Usage: bash full_run.sh <path-to-brivamo>
set -euo pipefail

# shellcheck source=common.bash
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
run_under_xvfb 240 "$@"

BRIVAMO=$1
WORK=$(mktemp -d)
APP_PID=
cleanup() {
    local status=$?
    stop_app
    if [ $status -ne 0 ] && [ -n "${BRIVAMO_E2E_KEEP:-}" ]; then
        echo "kept: $WORK" >&2
    else
        rm -rf "$WORK"
    fi
    exit $status
}
trap cleanup EXIT

fail() {
    echo "FAIL: $* (at lines ${BASH_LINENO[*]})" >&2
    [ -s "$WORK/brivamo.log" ] && { echo "program output:" >&2; cat "$WORK/brivamo.log" >&2; }
    if [ -n "${BRIVAMO_E2E_KEEP:-}" ]; then
        import -window root "$WORK/failure.png" 2>/dev/null || true
        echo "screen: $WORK/failure.png" >&2
    fi
    exit 1
}

# A fresh user: empty settings, empty list folder.
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_DATA_HOME=$WORK/home/.local/share
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$WORK/lists"
chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER
export QT_QPA_PLATFORM=xcb

cd "$WORK/lists"
"$BRIVAMO" >"$WORK/brivamo.log" 2>&1 &
APP_PID=$!

# Title window: Enter presses Continue.
title=$(wait_window '^Brivamo$' 60)
keys_to "$title" Return

# New-user notice: the focus starts on Continue; Shift+Tab reaches the check box, Space ticks it.
notice=$(wait_window '^Brivamo - New User Overview$')
keys_to "$notice" shift+Tab space Return
wait_gone '^Brivamo - New User Overview$'

grep -qx 'NewUser=NoShow' "$XDG_CONFIG_HOME/Brivamo/Brivamo.conf" ||
    fail "the notice's check box did not store NewUser=NoShow"

# The lobby, captioned like the title window: wait until the title window has gone first, or the
# keys below could reach it instead.
wait_gone_id "$title"
lobby=$(wait_window '^Brivamo$' 30)
# The lobby writes the weekday list as it first shows its lists, which may come just after its
# window is mapped: wait for the file.
deadline=$((SECONDS + 30))
until [ -f "$WORK/lists/Weekdays.lst" ]; do
    [ $SECONDS -lt $deadline ] || fail "the lobby wrote no weekday list"
    sleep 0.05
done

# A new list: Alt+W starts it and asks for the first word; Enter on the add button asks again.
keys_to "$lobby" alt+w
prompt=$(wait_window '^Creating a New List of Words\.\.\.$')
type_to "$prompt" zebra
keys_to "$prompt" Return
wait_gone '^Creating a New List of Words\.\.\.$'
for word in Ape LION; do
    keys_to "$lobby" Return
    prompt=$(wait_window '^Creating a New List of Words\.\.\.$')
    type_to "$prompt" "$word"
    keys_to "$prompt" Return
    wait_gone '^Creating a New List of Words\.\.\.$'
done
keys_to "$lobby" alt+s
prompt=$(wait_window '^Category Name for this New List\.\.\.$')
type_to "$prompt" wild
keys_to "$prompt" Return
wait_gone '^Category Name for this New List\.\.\.$'

# The list is written once the prompt has closed; give it a moment.
deadline=$((SECONDS + 30))
until [ -f "$WORK/lists/WILD.Lst" ] || [ $SECONDS -ge $deadline ]; do sleep 0.05; done
[ -f "$WORK/lists/WILD.Lst" ] || fail "no list file WILD.Lst (a new list is named with the extension .Lst): $(ls "$WORK/lists")"
printf 'APE\r\nLION\r\nZEBRA\r\n' | cmp -s - "$WORK/lists/WILD.Lst" ||
    fail "WILD.Lst holds $(od -c "$WORK/lists/WILD.Lst" | head -3)"

# Make a puzzle of WILD: it sorts last in the catalogue, which has the focus; Enter makes a puzzle.
keys_to "$lobby" End Return
wait_gone_id "$lobby"
puzzle=$(wait_window '^Brivamo$')
keys_to "$puzzle" alt+m

# Printing is offered once the puzzle is made: Alt+P then asks whether to add a solution page.
question=$(ask_to_print "$puzzle")
keys_to "$question" alt+n
personalize=$(wait_window '^Personalize\?$')
keys_to "$personalize" alt+y
prompt=$(wait_window '^Personalize this printout$')
type_to "$prompt" Grandma
keys_to "$prompt" Return
save=$(wait_window '^No printer is available, so save the printout as a PDF file$')
keys_to "$save" ctrl+a
type_to "$save" "$WORK/wild.pdf"
keys_to "$save" Return
wait_gone '^No printer is available'
deadline=$((SECONDS + 30))
until [ -s "$WORK/wild.pdf" ]; do
    [ $SECONDS -lt $deadline ] || fail "no PDF was printed"
    sleep 0.1
done

# The printed page: its title, the dedication, the heading and the words to find.
# (The file may still be growing when it first appears: wait until the PDF is complete.)
deadline=$((SECONDS + 30))
until tail -c 1024 "$WORK/wild.pdf" | grep -q '%%EOF'; do
    [ $SECONDS -lt $deadline ] || fail "the PDF was not completed"
    sleep 0.1
done
text=$(pdftotext -layout "$WORK/wild.pdf" -) || fail "pdftotext cannot read the printout"
for expected in 'Brivamo Puzzle (Category: WILD)' 'This puzzle was made especially for Grandma' \
    'In the puzzle above, find the following words-' APE LION ZEBRA; do
    grep -qF "$expected" <<<"$text" || fail "the printout lacks \"$expected\": $text"
done
[ "$(pdfinfo "$WORK/wild.pdf" | sed -n 's/^Pages: *//p')" = 1 ] || fail "the printout is not one page"

# Esc leaves the puzzle window for the lobby.
keys_to "$puzzle" Escape
wait_gone_id "$puzzle"
lobby=$(wait_window '^Brivamo$')

# Quit: Esc asks, Enter answers Yes.
keys_to "$lobby" Escape
question=$(wait_window '^Confirm$')
keys_to "$question" Return
timeout 30 tail --pid="$APP_PID" -f /dev/null || fail "the program did not end after Quit"
wait "$APP_PID" || fail "the program ended with status $?"
APP_PID=

# The next run remembers the ticked box: Continue leads straight to the lobby.
"$BRIVAMO" >>"$WORK/brivamo.log" 2>&1 &
APP_PID=$!
title=$(wait_window '^Brivamo$')
keys_to "$title" Return
wait_gone_id "$title"
lobby=$(wait_window '^Brivamo$')
! xdotool search --onlyvisible --name 'New User Overview' >/dev/null 2>&1 ||
    fail "the notice came back after \"Don't show this notice again\""
keys_to "$lobby" Escape
question=$(wait_window '^Confirm$')
keys_to "$question" Return
timeout 30 tail --pid="$APP_PID" -f /dev/null || fail "the second run did not end after Quit"
APP_PID=

# Settings: the notice switched off; fading off, as this display cannot show it.
conf=$XDG_CONFIG_HOME/Brivamo/Brivamo.conf
grep -qx 'NewUser=NoShow' "$conf" || fail "settings lost NewUser: $(cat "$conf")"
grep -qx 'FadeStatus=False' "$conf" || fail "settings hold no FadeStatus=False: $(cat "$conf")"
[ -z "$(ls "$WORK/lists" | grep -vi '\.lst$')" ] || fail "files other than lists in the list folder: $(ls "$WORK/lists")"

echo "PASS"
