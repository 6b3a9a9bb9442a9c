#!/usr/bin/env bash
# Installs what is missing, builds, runs every test; then, where clang is
# there, the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

if ! command -v clang++ >/dev/null; then
  echo "clang++ missing: no sanitizer run, no fuzzing"
  exit 0
fi
bash scripts/sanitize.sh
