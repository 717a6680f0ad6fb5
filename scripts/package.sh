#!/usr/bin/env bash
# Builds the Debian package build/tovaro-wizard_VERSION_ARCH.deb from the build in build/.
set -euo pipefail
cd "$(dirname "$0")/../build"
cpack -G DEB >/dev/null
ls "$PWD"/tovaro-wizard_*.deb
