#!/usr/bin/env bash
# Starting the program again brings the running copy forward: under a window manager (openbox) the
# lobby is minimized, a second copy is started, it shows "Terminating..." and ends, and the lobby is
# then the active window in the normal (not iconic) state.
# Usage: bash raise_running_copy.sh <path-to-brivamo>
set -euo pipefail

# shellcheck source=common.bash
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
command -v openbox >/dev/null || { echo "SKIP: openbox is not installed"; exit 77; }
run_under_xvfb 120 "$@"

BRIVAMO=$1
WORK=$(mktemp -d)
APP_PID=
WM_PID=
SECOND_PID=
cleanup() {
    local status=$?
    stop_app
    [ -n "$SECOND_PID" ] && kill "$SECOND_PID" 2>/dev/null || true
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
    rm -rf "$WORK"
    exit $status
}
trap cleanup EXIT

fail() {
    echo "FAIL: $* (at lines ${BASH_LINENO[*]})" >&2
    [ -s "$WORK/first.log" ] && { echo "first copy's output:" >&2; cat "$WORK/first.log" >&2; }
    [ -s "$WORK/second.log" ] && { echo "second copy's output:" >&2; cat "$WORK/second.log" >&2; }
    exit 1
}

window_state() { xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/^[[:space:]]*window state: //p'; }
is_state() { [ "$(window_state "$1")" = "$2" ]; }
active_window() { xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*# \(0x[0-9a-f]*\).*/\1/p'; }
is_active() { [ "$(active_window)" = "$(printf '0x%x' "$1")" ]; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_CONFIG_HOME/Brivamo" "$XDG_RUNTIME_DIR" "$WORK/lists"
chmod 700 "$XDG_RUNTIME_DIR"
# A returning user: no new-user notice.
printf '[Defaults]\nNewUser=NoShow\n' >"$XDG_CONFIG_HOME/Brivamo/Brivamo.conf"
unset PULSE_SERVER QT_QPA_PLATFORM WAYLAND_DISPLAY

openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
WM_PID=$!
wait_for 30 wm_running

cd "$WORK/lists"
"$BRIVAMO" >"$WORK/first.log" 2>&1 &
APP_PID=$!
title=$(wait_window '^Brivamo$' 60)
keys_to "$title" Return
wait_gone_id "$title"
lobby=$(wait_window '^Brivamo$' 30)
wait_for 30 is_active "$lobby"

xdotool windowminimize --sync "$lobby"
wait_for 30 is_state "$lobby" Iconic

"$BRIVAMO" >"$WORK/second.log" 2>&1 &
SECOND_PID=$!
box=$(wait_window '^Terminating\.\.\.$' 30)
# The running copy came forward before the box was shown.
is_state "$lobby" Normal || fail "the lobby is $(window_state "$lobby") while the box is shown"
keys_to "$box" Return
deadline=$((SECONDS + 30))
while kill -0 "$SECOND_PID" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the second copy did not end after its box was closed"
    sleep 0.05
done
wait "$SECOND_PID" || fail "the second copy ended with status $?"
SECOND_PID=

wait_for 30 is_active "$lobby"
is_state "$lobby" Normal || fail "the lobby is $(window_state "$lobby")"
kill -0 "$APP_PID" || fail "the first copy ended"
[ -s "$WORK/first.log" ] && fail "the first copy wrote: $(cat "$WORK/first.log")"
echo "ok: the lobby came forward (active, $(window_state "$lobby")) and the box was shown"
