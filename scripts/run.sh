#!/usr/bin/env bash
# Installs what is missing, builds, and runs Vantrel: the window when there
# is a display, otherwise the example tour as a headless batch run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/vantrel "$@"
fi
exec ./build/vantrel "${1:-$PWD/examples/tour.txt}"
