# Shared by the end-to-end scripts (sourced; needs a fail function).

# Prints the id of the first visible window whose name matches $1, waiting up to $2 s (15).
# The search is retried rather than trusted once: a window that is destroyed while xdotool
# walks the tree makes that one search fail.
wait_window() {
    local pattern=$1 seconds=${2:-15} id=
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
