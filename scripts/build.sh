#!/usr/bin/env bash
# Configures and builds into build/ (tovaro and tovaro-gen at its top).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVARO_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
