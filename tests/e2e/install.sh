#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the desktop integration: the program, its
# menu entry and its icons land where desktops look for them, the entry is valid, and the program
# started the way the entry starts it works in the per-user list folder.
# Usage: bash install.sh <path-to-brivamo> (the program must sit at the top of its build folder)
set -euo pipefail

# shellcheck source=common.bash
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
run_under_xvfb 60 "$@"

BUILD_DIR=$(dirname "$1")
[ -f "$BUILD_DIR/cmake_install.cmake" ] || { echo "FAIL: $BUILD_DIR is not a build folder" >&2; exit 1; }

WORK=$(mktemp -d)
APP_PID=
cleanup() {
    local status=$?
    stop_app
    rm -rf "$WORK"
    exit $status
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

PREFIX=$WORK/root
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 ||
    { cat "$WORK/install.log" >&2; fail "cmake --install failed"; }

for file in bin/brivamo share/applications/brivamo.desktop \
    share/icons/hicolor/64x64/apps/brivamo.png share/icons/hicolor/128x128/apps/brivamo.png \
    share/icons/hicolor/scalable/apps/brivamo.svg; do
    [ -f "$PREFIX/$file" ] || fail "$file was not installed"
done
[ -x "$PREFIX/bin/brivamo" ] || fail "bin/brivamo is not executable"
[ "$(identify -format '%wx%h' "$PREFIX/share/icons/hicolor/64x64/apps/brivamo.png")" = 64x64 ] ||
    fail "the 64x64 icon has another size"
[ "$(identify -format '%wx%h' "$PREFIX/share/icons/hicolor/128x128/apps/brivamo.png")" = 128x128 ] ||
    fail "the 128x128 icon has another size"

desktop=$PREFIX/share/applications/brivamo.desktop
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
fi
grep -qx 'Icon=brivamo' "$desktop" || fail "the desktop entry names another icon"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ "${exec_line%% *}" = brivamo ] || fail "the desktop entry runs \"$exec_line\""

# Start it as the menu would: from an unrelated folder, with the entry's arguments, as a new user
# whose data folder does not exist yet. It must work in its own list folder, not where it started.
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_DATA_HOME=$WORK/home/data
export XDG_RUNTIME_DIR=$WORK/runtime QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$WORK/elsewhere"
chmod 700 "$XDG_RUNTIME_DIR"
cd "$WORK/elsewhere"
arguments=()
case $exec_line in *' '*) read -r -a arguments <<<"${exec_line#* }" ;; esac
PATH=$PREFIX/bin:$PATH brivamo "${arguments[@]}" >"$WORK/brivamo.log" 2>&1 &
APP_PID=$!
timeout 15 xdotool search --sync --onlyvisible --name '^Brivamo$' >/dev/null ||
    fail "the installed program showed no window"
lists=$XDG_DATA_HOME/Brivamo/lists
[ -d "$lists" ] || fail "the list folder $lists was not made"
[ "$(readlink "/proc/$APP_PID/cwd")" = "$lists" ] || fail "the program does not work in $lists"
[ -z "$(ls -A "$WORK/elsewhere")" ] || fail "the program wrote into the folder it was started from"

echo "PASS"
