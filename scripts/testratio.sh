#!/usr/bin/env bash
# Lines of test code against lines of program code (tracked files only).
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files "$@" | grep -E '\.(cpp|h|js|cmake)$' | grep -v '^data/.*\.min\.js$' | xargs -r cat | wc -l; }
code=$(count engine output cloudview app levels spectrum install widgets data)
tests=$(count tests)
awk -v c="$code" -v t="$tests" 'BEGIN { printf "program %d lines, tests %d lines, ratio %.2f\n", c, t, t / c }'
