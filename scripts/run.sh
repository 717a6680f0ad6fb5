#!/usr/bin/env bash
# Installs what building and running need, builds the two programs (no tests) and starts the
# wizard; without a display it runs the command-line generator on the example site instead.
# With --package it builds the Debian package instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build run
bash scripts/build.sh programs
[ "${1:-}" = "--package" ] && { bash scripts/package.sh; exit 0; }
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/tovaro ]; then
  exec build/tovaro
fi
out=build/example-site
rm -rf "$out"
cp -r example/site "$out"
build/tovaro-gen --tree "$out" -o "$out/lookup.htm" -w "https://www.example.org/"
echo "Suchseite: $PWD/$out/lookup.htm"
