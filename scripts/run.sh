#!/usr/bin/env bash
# Builds Quenlo from nothing and starts it. Arguments go to the program
# ("-list", "-shell"). Without a display it runs under a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quenlo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running Quenlo under a virtual X display (Xvfb)."
    exec xvfb-run -a build/default/quenlo "$@"
fi
exec build/default/quenlo "$@"
