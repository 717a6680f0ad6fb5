#!/usr/bin/env bash
# Renders the program's icon from its drawings into the PNGs that the builds use (the Linux
# package's hicolor icons, the Windows programs' and setup program's icon): full colour with
# transparency (8-bit RGBA). Run it after changing resources/icons/tovaro*.svg; the PNGs are
# kept in the repository, so that a build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
command -v rsvg-convert >/dev/null || bash ../../scripts/install-deps.sh librsvg2-bin
rsvg-convert -w 16 -h 16 tovaro-16.svg -o tovaro-16.png
for size in 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" tovaro.svg -o "tovaro-$size.png"
done
