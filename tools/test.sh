#!/usr/bin/env bash
# Builds the project twice (plain, and under AddressSanitizer with
# UndefinedBehaviorSanitizer) and runs the whole suite through ctest in both,
# then builds the fuzz target with clang and runs it for half a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  # The editor tests need an X server; give the suite a private one.
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite build
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DKA813_SANITIZE=ON -DKA813_BUILD_BENCH=OFF

# Arbitrary chunks, parameters and blocks; the corpus grows from run to run.
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKA813_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$jobs" --target ka813-fuzz-chunk
mkdir -p build-fuzz/corpus
./build-fuzz/tests/fuzz/ka813-fuzz-chunk -max_total_time=30 -print_final_stats=1 build-fuzz/corpus
