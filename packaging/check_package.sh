#!/usr/bin/env bash
# Builds the Debian package from a build folder, checks it (lintian, the manual page, the desktop
# entry, the AppStream metadata, the program's hardening), installs it with apt-get, runs the
# installed program from /usr/bin, and removes the package again, also when a check fails.
# Usage: packaging/check_package.sh <build-folder>   (as root, or with sudo available)
set -euo pipefail
BUILD_DIR=$(cd "${1:?usage: check_package.sh <build-folder>}" && pwd)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
start=$(date +%s)

rm -f "$BUILD_DIR"/brivamo_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >cpack.log 2>&1) || { cat "$BUILD_DIR/cpack.log" >&2; exit 1; }
debs=("$BUILD_DIR"/brivamo_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: cpack made no single brivamo_*.deb" >&2; exit 1; }
deb=${debs[0]}
echo "Package: $(basename "$deb")"
dpkg-deb --field "$deb" Depends | sed 's/^/Depends: /'

echo "-- lintian"
lintian --fail-on error --tag-display-limit 0 "$deb"

WORK=$(mktemp -d)
installed=false
cleanup() {
    local status=$?
    if $installed; then
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -q -o DPkg::Lock::Timeout=120 brivamo >"$WORK/remove.log" 2>&1 ||
            { cat "$WORK/remove.log" >&2; status=1; }
    fi
    rm -rf "$WORK"
    exit $status
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

echo "-- apt-get install"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q -o DPkg::Lock::Timeout=120 --no-install-recommends "$deb" >"$WORK/install.log" 2>&1 ||
    { cat "$WORK/install.log" >&2; fail "apt-get install refused the package"; }
installed=true
[ "$(dpkg-query -W -f='${Status}' brivamo)" = "install ok installed" ] || fail "brivamo is not installed"

echo "-- the installed program"
[ "$(command -v brivamo)" = /usr/bin/brivamo ] || fail "brivamo is not /usr/bin/brivamo"
# Debian 12 builds its packages without control-flow protection, so that one is not asked for.
hardening-check --nocfprotection /usr/bin/brivamo ||
    fail "the installed program lacks a protection Debian's packages have"
/usr/bin/brivamo --version
printf 'EMU\r\nYAK\r\nAPE\r\nGNU\r\n' >"$WORK/Zoo.lst"
(cd "$WORK" && /usr/bin/brivamo --make zoo --size 6 --seed 1) >"$WORK/make.out" 2>"$WORK/make.err" ||
    { cat "$WORK/make.err" >&2; fail "brivamo --make failed"; }
[ "$(wc -l <"$WORK/make.out")" -eq 14 ] || fail "brivamo --make printed no 6 x 6 puzzle"
cat "$WORK/make.err"

echo "-- desktop-file-validate"
desktop-file-validate /usr/share/applications/brivamo.desktop
echo "-- appstreamcli validate"
appstreamcli validate --no-net /usr/share/metainfo/example.ostrel.brivamo.metainfo.xml
echo "-- manual page"
page=/usr/share/man/man1/brivamo.1.gz
[ -f "$page" ] || fail "$page was not installed"
zcat "$page" | groff -ww -z -man 2>"$WORK/groff.log"
[ ! -s "$WORK/groff.log" ] || { cat "$WORK/groff.log" >&2; fail "groff warns about the manual page"; }
MANWIDTH=80 man --warnings -l "$page" >"$WORK/man.txt" 2>"$WORK/man.log"
[ ! -s "$WORK/man.log" ] || { cat "$WORK/man.log" >&2; fail "man warns about the manual page"; }
grep -q 'EXIT STATUS' "$WORK/man.txt" || fail "man rendered no EXIT STATUS section"

echo "-- apt-get remove"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -q -o DPkg::Lock::Timeout=120 brivamo >"$WORK/remove.log" 2>&1 ||
    { cat "$WORK/remove.log" >&2; fail "apt-get remove failed"; }
installed=false
[ ! -e /usr/bin/brivamo ] || fail "/usr/bin/brivamo is still there after removal"
echo "Package checked in $(($(date +%s) - start)) s"
