#!/usr/bin/env bash
# Renders each window to a PNG under docs/screenshots/ (offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quenlo_screenshots
build/default/scripts/quenlo_screenshots docs/screenshots
ls docs/screenshots
