#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need; asks apt only for
# what is missing. With arguments, installs those packages instead.
set -euo pipefail
packages=(build-essential cmake pkg-config libgtest-dev libbenchmark-dev
  qt6-base-dev libx11-dev libutf8proc-dev xvfb xauth xdotool chromium clang libclang-rt-14-dev
  dpkg-dev desktop-file-utils file python3 man-db
  qt6-translations-l10n appstream openbox at-spi2-core dbus dbus-x11 python3-pyatspi
  python3-dbus python3-gi x11-utils wmctrl imagemagick weston qt6-wayland
  firefox-esr gir1.2-webkit2-4.1 xfwm4 kwin-x11 fluxbox x11-xserver-utils fonts-liberation2
  fonts-dejavu-core)
[ $# -eq 0 ] || packages=("$@")
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
