#!/usr/bin/env bash
# Installs the Debian packages a group of work needs, asking apt only for what is missing.
#   install-deps.sh              everything (building, running and every test)
#   install-deps.sh build run    building the two programs and running them
#   install-deps.sh PACKAGE...   those packages (any argument that is not a group)
set -euo pipefail
# Compiler, CMake and Qt; "file" lets CPack find the programs' libraries for the package.
build=(build-essential cmake pkg-config file qt6-base-dev libx11-dev libxi-dev libutf8proc-dev)
# Qt's own dialogs in German, the fonts the pages are measured for, Wayland sessions.
run=(qt6-translations-l10n fonts-liberation2 fonts-dejavu-core qt6-wayland xdg-utils)
# The test suite, the desktop tests (X servers, window managers, the accessibility bus,
# browsers for the generated page), the sanitizers and fuzzers, the package checks, and ccache
# for the five builds the test command makes; FUSE for the file systems that fail as shares do.
tests=(ccache libgtest-dev libbenchmark-dev xvfb xauth xdotool chromium clang libclang-rt-14-dev
  dpkg-dev desktop-file-utils python3 man-db lintian appstream openbox at-spi2-core dbus
  dbus-x11 python3-pyatspi python3-dbus python3-gi orca x11-utils wmctrl imagemagick weston
  firefox-esr gir1.2-webkit2-4.1 xfwm4 kwin-x11 fluxbox x11-xserver-utils fuse3 libfuse3-dev)
[ $# -gt 0 ] || set -- build run tests
packages=()
for arg in "$@"; do
  case "$arg" in
    build) packages+=("${build[@]}") ;;
    run) packages+=("${run[@]}") ;;
    tests) packages+=("${tests[@]}") ;;
    *) packages+=("$arg") ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installiere: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
