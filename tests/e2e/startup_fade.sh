#!/usr/bin/env bash
# Start-up with fading switched on, on a display that can show it (a compositing manager runs):
# the notice fades in and out, the title window fades out, then the lobby opens.
# Usage: bash startup_fade.sh <path-to-brivamo>
set -euo pipefail

# shellcheck source=common.bash
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
run_under_xvfb 60 "$@"

BRIVAMO=$1
WORK=$(mktemp -d)
APP_PID=
COMPOSITOR_PID=
WATCH_PID=
cleanup() {
    local status=$?
    for pid in $APP_PID $WATCH_PID $COMPOSITOR_PID; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$WORK"
    exit $status
}
trap cleanup EXIT
fail() {
    echo "FAIL: $* (at lines ${BASH_LINENO[*]})" >&2
    exit 1
}

export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/runtime
export QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME/Brivamo" "$XDG_RUNTIME_DIR" "$WORK/lists"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Defaults]\nFadeStatus=True\n' >"$XDG_CONFIG_HOME/Brivamo/Brivamo.conf"

command -v xcompmgr >/dev/null || fail "xcompmgr is not installed"
xcompmgr -n &
COMPOSITOR_PID=$!

# Every opacity change of every window, with the X server's time of the change.
WATCH=${BRIVAMO_OPACITY_WATCH:-$(dirname "$BRIVAMO")/tests/opacity_watch}
[ -x "$WATCH" ] || fail "opacity watcher not built: $WATCH"
"$WATCH" >"$WORK/opacity.log" &
WATCH_PID=$!
deadline=$((SECONDS + 10))
until grep -qx ready "$WORK/opacity.log"; do
    [ $SECONDS -lt $deadline ] || fail "the opacity watcher did not start"
    sleep 0.02
done

# Summarises the fade in of window $1 (decimal id) from the log: "<opacity changes> <distinct
# in-between values read> <ms from the first in-between value to opaque>". Opaque is the full
# value or no property. A busy watcher may read a later value for an earlier change, so changes
# and values are counted apart.
fade_in_summary() {
    awk -v id="$(printf '0x%x' "$1")" '
        $1 != id { next }
        $3 != "none" && $3 > 0 && $3 < 4294967295 {
            if (!started) { started = 1; first = $2 }
            changes++
            if (!($3 in seen)) { seen[$3] = 1; distinct++ }
            next
        }
        started && ($3 == "none" || $3 == 4294967295) { print changes, distinct, $2 - first; found = 1; exit }
        END { if (!found) print 0, 0, 0 }' "$WORK/opacity.log"
}

# Whether the window with this id is on show (the list is read whole first: a reader that stops
# early would make the search fail with a broken pipe).
visible() {
    local shown tries=0
    # A window destroyed mid-search makes one search fail; only a clean answer counts.
    until shown=$(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
        tries=$((tries + 1))
        [ $tries -lt 20 ] || return 1
        sleep 0.01
    done
    grep -qx "$1" <<<"$shown"
}

# The window's opacity as the compositor sees it: 0 to 4294967295, "opaque" when none is set.
opacity() {
    xprop -id "$1" _NET_WM_WINDOW_OPACITY 2>/dev/null | sed -n 's/.* = //p' | grep . || echo opaque
}
# Waits until the window is fully opaque (a fade in has ended).
wait_opaque() {
    local deadline=$((SECONDS + 10))
    until [ "$(opacity "$1")" = 4294967295 ] || [ "$(opacity "$1")" = opaque ]; do
        [ $SECONDS -lt $deadline ] || fail "window $1 did not become opaque"
        sleep 0.05
    done
}
press() {
    xdotool windowfocus --sync "$1"
    xdotool key "$2"
}

cd "$WORK/lists"
"$BRIVAMO" >"$WORK/brivamo.log" 2>&1 &
APP_PID=$!

title=$(wait_window '^Brivamo$')
[ "$(opacity "$title")" = opaque ] || fail "the title window started translucent"
press "$title" Return
notice=$(wait_window '^Brivamo - New User Overview$')
wait_opaque "$notice"
# Fading must be seen: a run of in-between opacities spread over several screen frames, not a
# jump from invisible to opaque within one.
read -r changes values milliseconds < <(fade_in_summary "$notice")
echo "notice fade in: $changes in-between steps ($values distinct values read) over $milliseconds ms"
[ "$changes" -ge 6 ] && [ "$values" -ge 3 ] ||
    fail "the notice did not fade in visibly ($changes in-between steps, $values values)"
[ "$milliseconds" -ge 150 ] || fail "the notice's fade in lasted only $milliseconds ms"
press "$notice" Return

# The title window fades out and goes; only then does the lobby appear.
deadline=$((SECONDS + 15))
seen_translucent=no
while visible "$title"; do
    [ $SECONDS -lt $deadline ] || fail "the title window did not go"
    value=$(opacity "$title")
    case $value in opaque | 4294967295) ;; *) seen_translucent=yes ;; esac
    sleep 0.005
done
lobby=$(wait_window '^Brivamo$')
[ "$lobby" != "$title" ] || fail "the title window came back"
wait_opaque "$lobby"
grep -qx 'FadeStatus=True' "$XDG_CONFIG_HOME/Brivamo/Brivamo.conf" ||
    fail "fading was switched off: $(cat "$XDG_CONFIG_HOME/Brivamo/Brivamo.conf")"
echo "title window seen translucent while fading out: $seen_translucent"

press "$lobby" Escape
question=$(wait_window '^Confirm$')
press "$question" Return
timeout 10 tail --pid="$APP_PID" -f /dev/null || fail "the program did not end after Quit"
APP_PID=
# For the record: each fade seen (window, opacity changes, ms from the first change to the last).
awk '{ v = ($3 == "none") ? 4294967295 : $3 }
     v > 0 && v < 4294967295 { if (!($1 in from)) { from[$1] = $2; n[$1] = 0 } n[$1]++; next }
     ($1 in from) { printf "fade of %s: %d steps in %d ms\n", $1, n[$1] + 1, $2 - from[$1]; delete from[$1] }' \
    "$WORK/opacity.log"
echo "PASS"
