#!/usr/bin/env bash
# Looks at each window as a screen reader does (through a private accessibility bus): windows are
# frames or dialogs named by their titles, every button and scroll bar has a name, and the square
# size takes the focus and tells its value. Then, with the keyboard only, sets the size to 20,
# makes a puzzle (the focus then rests on the view button) and prints it to a PDF file.
# Usage: bash accessibility.sh <path-to-brivamo>
set -euo pipefail

# shellcheck source=common.bash
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
run_under_xvfb 240 "$@"

BRIVAMO=$1
# The system's Python, which the Debian package of pyatspi extends.
PYTHON=$(command -v /usr/bin/python3 || command -v python3)
CHECK="$PYTHON $(realpath "$(dirname "${BASH_SOURCE[0]}")")/atspi_check.py"
WORK=$(mktemp -d)
APP_PID=
BUS_PID=
cleanup() {
    local status=$?
    stop_app
    [ -n "$BUS_PID" ] && kill "$BUS_PID" 2>/dev/null || true
    [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
    rm -rf "$WORK"
    exit $status
}
trap cleanup EXIT

fail() {
    echo "FAIL: $* (at lines ${BASH_LINENO[*]})" >&2
    [ -s "$WORK/brivamo.log" ] && { echo "program output:" >&2; cat "$WORK/brivamo.log" >&2; }
    exit 1
}

"$PYTHON" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }

export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_DATA_HOME=$WORK/home/.local/share
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$WORK/lists"
chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0

# A private session bus, and on it the accessibility bus with its registry.
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$WORK/bus.address" 4>"$WORK/bus.pid"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$WORK/bus.address")
DBUS_SESSION_BUS_PID=$(head -n 1 "$WORK/bus.pid")
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/bus.log" 2>&1 &
BUS_PID=$!
a11y_bus_up() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1
}
wait_for 30 a11y_bus_up

cd "$WORK/lists"
"$BRIVAMO" >"$WORK/brivamo.log" 2>&1 &
APP_PID=$!

title=$(wait_window '^Brivamo$' 60)
$CHECK windows Brivamo || fail "the title window as a screen reader finds it"
keys_to "$title" Return
notice=$(wait_window '^Brivamo - New User Overview$')
$CHECK windows 'Brivamo - New User Overview' || fail "the new-user notice as a screen reader finds it"
keys_to "$notice" Return
wait_gone '^Brivamo - New User Overview$'
wait_gone_id "$title"

lobby=$(wait_window '^Brivamo$' 30)
wait_for 30 test -f "$WORK/lists/Weekdays.lst"
$CHECK windows Brivamo || fail "the lobby as a screen reader finds it"

# Enter makes a puzzle of the list the lobby selects first.
keys_to "$lobby" Return
wait_gone_id "$lobby"
puzzle=$(wait_window '^Brivamo$')
$CHECK windows Brivamo || fail "the puzzle window as a screen reader finds it"
$CHECK value 'Square size' 30 || fail "the square size as a screen reader finds it"

# The focus starts on the make button; the size comes just before it. End, then two pages down.
keys_to "$puzzle" shift+Tab
$CHECK focused 'Square size' || fail "Shift+Tab from the make button does not reach the square size"
keys_to "$puzzle" End Next Next
$CHECK value 'Square size' 20 || fail "End and two pages down do not set 20"

# Tab reaches the make button again; Space makes the puzzle; the view button then has the focus.
keys_to "$puzzle" Tab
$CHECK focused 'Make the Brivamo Puzzle!' || fail "Tab from the square size does not reach the make button"
keys_to "$puzzle" space
$CHECK focused 'View the Puzzle' || fail "the focus after making the puzzle"

question=$(ask_to_print "$puzzle")
$CHECK windows Brivamo || fail "the print question as a screen reader finds it"
keys_to "$question" alt+n
personalize=$(wait_window '^Personalize\?$')
keys_to "$personalize" alt+n
save=$(wait_window '^No printer is available, so save the printout as a PDF file$')
keys_to "$save" ctrl+a
type_to "$save" "$WORK/weekdays.pdf"
keys_to "$save" Return
wait_gone '^No printer is available'
wait_for 30 test -s "$WORK/weekdays.pdf"
pdf_complete() { tail -c 1024 "$WORK/weekdays.pdf" | grep -q '%%EOF'; }
wait_for 30 pdf_complete
text=$(pdftotext -layout "$WORK/weekdays.pdf" -) || fail "pdftotext cannot read the printout"
grep -qF 'Category: ' <<<"$text" || fail "the printout has no puzzle title: $text"
# A square of 20: the first row of the puzzle holds 20 letters.
row=$(grep -E '^ *([A-Z] +){19}[A-Z] *$' <<<"$text" | head -n 1) || true
[ -n "$row" ] || fail "no row of 20 letters in the printout: $text"

echo "PASS"
