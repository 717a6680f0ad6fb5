#!/usr/bin/env bash
# Configures and builds into build/ (tovaro and tovaro-gen at its top). The argument names a
# preset of CMakePresets.json: "default" (the programs, their tests and benchmarks) or
# "programs" (the two programs only).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset "${1:-default}" >/dev/null
cmake --build build -j"$(nproc)"
