#!/usr/bin/env bash
# Builds Quenlo from nothing and runs every test:
#   1. the whole program, warnings as errors;
#   2. the core alone with the GUI switched off, which proves it needs no Qt;
#   3. the core under AddressSanitizer and UndefinedBehaviorSanitizer.
# Tests that loop-mount small file systems run when this runs as root and
# skip, saying so, otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

for preset in ci core asan; do
    echo "=== $preset ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done
