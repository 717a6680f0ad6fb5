#!/usr/bin/env bash
# Configures and builds into build/ (tovaro and tovaro-gen at its top).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build -j"$(nproc)"
