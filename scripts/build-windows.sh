#!/usr/bin/env bash
# Cross-builds tovaro-gen for 64-bit Windows into build-windows/ (tovaro-gen.exe at its top,
# self-contained), with the core and command-line tests, which run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 libgtest-dev cmake)
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
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTOVARO_GUI=OFF >/dev/null
cmake --build build-windows -j"$(nproc)"
echo "build-windows/tovaro-gen.exe"
