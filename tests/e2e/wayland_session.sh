#!/usr/bin/env bash
# The program on a Wayland desktop, under a real compositor (weston, headless, with XWayland) and
# without a platform chosen by the user: with an X display beside the Wayland one it runs through
# XWayland, where it centres its title window itself; with Wayland alone it runs natively and its
# title window comes up. Either way it writes nothing to standard error.
# Usage: bash wayland_session.sh <path-to-brivamo>
set -euo pipefail

# shellcheck source=common.bash
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
if [ $# -ne 1 ] || [ ! -x "$1" ]; then
    echo "usage: $0 <path-to-brivamo>" >&2
    exit 2
fi
for program in weston Xwayland xwininfo xprop; do
    command -v "$program" >/dev/null || { echo "SKIP: $program is not installed"; exit 77; }
done

BRIVAMO=$(realpath "$1")
WORK=$(mktemp -d)
APP_PID=
WESTON_PID=
cleanup() {
    local status=$?
    stop_app
    [ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null || true
    rm -rf "$WORK"
    exit $status
}
trap cleanup EXIT

fail() {
    echo "FAIL: $* (at lines ${BASH_LINENO[*]})" >&2
    [ -s "$WORK/weston.log" ] && { echo "weston's log:" >&2; tail -n 20 "$WORK/weston.log" >&2; }
    exit 1
}

export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_CONFIG_HOME/Brivamo" "$XDG_RUNTIME_DIR" "$WORK/lists"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Defaults]\nNewUser=NoShow\n' >"$XDG_CONFIG_HOME/Brivamo/Brivamo.conf"
unset PULSE_SERVER QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY

# The compositor logs every request its clients make (WAYLAND_DEBUG), which shows a native window.
WAYLAND_DEBUG=server weston --backend=headless-backend.so --xwayland --socket=brivamo-test \
    --width=1024 --height=768 --idle-time=0 --log="$WORK/weston.log" \
    >"$WORK/weston.out" 2>"$WORK/weston.protocol" &
WESTON_PID=$!
x_display() { sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$WORK/weston.log" 2>/dev/null; }
has_x_display() { [ -n "$(x_display)" ]; }
wait_for 30 has_x_display
export WAYLAND_DISPLAY=brivamo-test XDG_SESSION_TYPE=wayland
cd "$WORK/lists"

# Both displays: XWayland. Weston starts Xwayland for the first X client, whose screen takes a
# moment to get the output's size; a desktop has it running already.
export DISPLAY
DISPLAY=$(x_display)
root_sized() { xwininfo -root 2>/dev/null | grep -q '^ *Width: 1024$'; }
wait_for 30 root_sized
# Until weston's shell says it is ready, weston places new windows itself; a desktop's shell is
# ready long before a program starts.
shell_ready() { grep -aq 'weston_desktop_shell@[0-9]*\.desktop_ready()' "$WORK/weston.protocol"; }
wait_for 30 shell_ready
"$BRIVAMO" >"$WORK/xwayland.out" 2>"$WORK/xwayland.err" &
APP_PID=$!
title=$(wait_window '^Brivamo$' 60)
# What the program asks of the window manager is the centred place. (Weston's own window manager
# sometimes puts a new X window at its corner all the same, whatever it was asked: a desktop's
# window manager honours the request, which is what the program controls.)
hints=$(xprop -id "$title" WM_NORMAL_HINTS)
geometry=$(xwininfo -id "$title")
screen=$(xwininfo -root)
value() { sed -n "s/^ *$1: *\([0-9-]*\).*/\1/p" <<<"$2"; }
read -r x y < <(sed -n 's/.*specified location: *\([0-9-]*\), *\([0-9-]*\).*/\1 \2/p' <<<"$hints")
[ -n "${x:-}" ] || fail "the title window asked for no place: $hints"
width=$(value Width "$geometry")
height=$(value Height "$geometry")
left=$((($(value Width "$screen") - width) / 2))
top=$((($(value Height "$screen") - height) / 2))
[ "$x" -ge $((left - 2)) ] && [ "$x" -le $((left + 2)) ] && [ "$y" -ge $((top - 2)) ] && [ "$y" -le $((top + 2)) ] ||
    fail "the title window (${width}x$height) asked for $x,$y, not the centre $left,$top"
kill -0 "$APP_PID" || fail "the program ended"
[ -s "$WORK/xwayland.err" ] && fail "through XWayland it wrote to stderr: $(cat "$WORK/xwayland.err")"
stop_app
wait "$APP_PID" 2>/dev/null || true
APP_PID=

# Wayland alone: natively. The title window is a toplevel with the program's title that gets a
# picture.
unset DISPLAY
protocol_from=$(($(wc -l <"$WORK/weston.protocol") + 1))
"$BRIVAMO" >"$WORK/wayland.out" 2>"$WORK/wayland.err" &
APP_PID=$!
titled_and_drawn() {
    tail -n +"$protocol_from" "$WORK/weston.protocol" | grep -a -A 1000 'xdg_toplevel@[0-9]*\.set_title("Brivamo")' |
        grep -aq 'wl_surface@[0-9]*\.attach(wl_buffer@'
}
wait_for 60 titled_and_drawn
kill -0 "$APP_PID" || fail "the program ended"
[ -s "$WORK/wayland.err" ] && fail "natively it wrote to stderr: $(cat "$WORK/wayland.err")"
echo "ok: asked for the centre $x,$y through XWayland, shown natively on Wayland alone, nothing on stderr"
