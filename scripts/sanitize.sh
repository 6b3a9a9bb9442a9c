#!/usr/bin/env bash
# The whole test suite built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/, no benchmarks), then every fuzz
# target (build-fuzz/) for FUZZ_SECONDS (default 30) on a copy of its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cmake -S . -B build-asan -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
  -DVANTREL_BENCH=OFF -DVANTREL_SANITIZE=ON -DVANTREL_FUZZ=OFF
cmake --build build-asan -j"$(nproc)"
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

# The fuzz targets in a build of their own: the fuzzing build trades
# fidelity (small buffers, coarse grids, capped runs) for speed, which the
# tests above must not see.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
  -DVANTREL_BENCH=OFF -DVANTREL_TESTS=OFF -DVANTREL_SANITIZE=ON -DVANTREL_FUZZ=ON
fuzzers=$(cd fuzz && ls *_fuzz.cpp | sed 's/\.cpp$//')
cmake --build build-fuzz -j"$(nproc)" --target $fuzzers

for target in build-fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  work=$(mktemp -d)
  cp fuzz/corpus/"$name"/* "$work"/
  echo "fuzzing $name for $seconds s, load $(cut -d' ' -f1-3 /proc/loadavg)"
  # The targets keep one program state across inputs on purpose, so
  # neither the sanitizer nor libFuzzer looks for leaks (libFuzzer's check
  # reruns every input that allocates more than it frees). The CPU time
  # gives the inputs a CPU second on a machine shared with other work.
  TIMEFORMAT="$name: %U s user and %S s system CPU time"
  time (cd "$work" && ASAN_OPTIONS=detect_leaks=0 "$OLDPWD/$target" -max_total_time="$seconds" -max_len=4096 -timeout=20 \
    -detect_leaks=0 -print_final_stats=1 "$work")
  rm -rf "$work"
done
