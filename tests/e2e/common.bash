# Shared by the end-to-end scripts (sourced; the waits need the script's fail function).

# Checks the one argument (the program) and re-runs the calling script inside a private X server
# (no window manager, no sound server) that may live at most $1 seconds.
run_under_xvfb() {
    local seconds=$1
    shift
    if [ $# -ne 1 ] || [ ! -x "$1" ]; then
        echo "usage: $0 <path-to-brivamo>" >&2
        exit 2
    fi
    if [ -z "${BRIVAMO_E2E_DISPLAY:-}" ]; then
        # -noreset: an X server resets when its last client leaves, and a program started at
        # that moment (the second start of a script, say) could find no display.
        exec timeout "$seconds" xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
            env BRIVAMO_E2E_DISPLAY=1 bash "$0" "$(realpath "$1")"
    fi
}

# Prints the id of the first visible window whose name matches $1, waiting up to $2 s (30: a
# busy machine running a sanitizer build can be slow).
# The search is retried rather than trusted once: a window that is destroyed while xdotool
# walks the tree makes that one search fail.
wait_window() {
    local pattern=$1 seconds=${2:-30} id=
    local deadline=$((SECONDS + seconds))
    while :; do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null) || id=
        id=${id%%$'\n'*}
        [ -n "$id" ] && break
        [ $SECONDS -lt $deadline ] || fail "no window \"$pattern\" within $seconds s"
        sleep 0.05
    done
    echo "$id"
}

# Ends the program under test ($APP_PID) if it still runs: politely, then for good.
stop_app() {
    if [ -n "${APP_PID:-}" ] && kill -0 "$APP_PID" 2>/dev/null; then
        kill "$APP_PID" 2>/dev/null || true
        local deadline=$((SECONDS + 5))
        while kill -0 "$APP_PID" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
        kill -9 "$APP_PID" 2>/dev/null || true
    fi
}

# Waits until no visible window's caption matches.
wait_gone() {
    local pattern=$1 seconds=${2:-30} deadline
    deadline=$((SECONDS + seconds))
    while xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || fail "window \"$pattern\" still open after $seconds s"
        sleep 0.1
    done
}

# Whether the window with this id is on show (the list is read whole first: a reader that stops
# early would make the search fail with a broken pipe).
visible() {
    local shown
    shown=$(xdotool search --onlyvisible --name '.*' 2>/dev/null) || true
    grep -qx "$1" <<<"$shown"
}

# Waits until the window with this id is no longer on show.
wait_gone_id() {
    local id=$1 seconds=${2:-30} deadline
    deadline=$((SECONDS + seconds))
    while visible "$id"; do
        [ $SECONDS -lt $deadline ] || fail "window $id still open after $seconds s"
        sleep 0.1
    done
}

# Waits for a visible window matching the caption other than the one given; prints its id.
new_window() {
    local pattern=$1 other=$2 seconds=${3:-15} deadline shown id
    deadline=$((SECONDS + seconds))
    while :; do
        shown=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null) || true
        id=$(grep -vx "$other" <<<"$shown" | head -n 1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

# Gives the window the keyboard focus, then types keys into it.
keys_to() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id"
    xdotool key --delay 40 "$@"
}
type_to() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id"
    xdotool type --delay 30 "$@"
}

# Presses Alt+P in the puzzle window $1 until its print question (a second window captioned like
# it) comes up, which it does once the puzzle is made; prints the question's id.
ask_to_print() {
    local puzzle=$1 deadline=$((SECONDS + 90)) question
    while :; do
        [ $SECONDS -lt $deadline ] || fail "the puzzle was not finished within 90 s"
        keys_to "$puzzle" alt+p
        question=$(new_window '^Brivamo$' "$puzzle" 2) && break
    done
    echo "$question"
}

# Waits until the command succeeds, for at most $1 seconds (the script defines fail).
wait_for() {
    local seconds=$1 deadline
    shift
    deadline=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || fail "waited $seconds s for: $*"
        sleep 0.05
    done
}
