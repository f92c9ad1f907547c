#!/usr/bin/env bash
# Takes a fresh Debian 12 machine to a working build: installs the packages the
# project needs (only those missing), then configures and builds into ./build.
# Usage: ./setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  g++ pkg-config cmake ninja-build
  qt6-base-dev qt6-svg-dev libsndfile1-dev libpulse-dev libxcb1-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool x11-utils xcompmgr
  imagemagick poppler-utils ghostscript sox desktop-file-utils
  pulseaudio pulseaudio-utils
  pipewire wireplumber pipewire-pulse dbus-daemon
  openbox weston xwayland qt6-wayland
  libnotify-bin
  cups printer-driver-cups-pdf libcups2-dev libpaper-dev locales
  libbenchmark-dev libicu-dev
  clang libclang-rt-14-dev
  dpkg-dev devscripts lintian appstream man-db groff-base
  python3 at-spi2-core python3-pyatspi gir1.2-atspi-2.0
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

BUILD_DIR="${1:-build}"
shift || true
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
