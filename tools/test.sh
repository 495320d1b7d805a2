#!/usr/bin/env bash
# Builds the project twice (plain, and under AddressSanitizer with
# UndefinedBehaviorSanitizer) and runs the whole suite through ctest in both;
# between the two, a clang build runs the fuzz targets for half a minute each
# and a ThreadSanitizer build plays the effect from a live host's threads. The
# plain suite also builds the Debian package, installs it, has Ardour's
# scanner find the plug-in and removes the package again. Then the same
# sources are cross-built for arm64: its suites run under qemu, its package
# is checked, and its renders are compared with the native build's.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh --packaging
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

# arm64: the suites that need no x86 host (jalv, JACK, Ardour) run under the
# emulator, and the sound is compared with the native build's.
bash tools/cross-arm64.sh --test --native build build-arm64

# Arbitrary chunks, parameters and blocks through a clang build made for libFuzzer.
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKA813_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$jobs" --target ka813-fuzz-chunk ka813-fuzz-state
ctest --test-dir build-fuzz --output-on-failure

# The effect played by a live host's threads, under ThreadSanitizer: no race
# may be reported (a report makes the run exit non-zero).
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKA813_TSAN=ON -DKA813_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target live_host_tests core_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build-tsan -R "LiveHost|EffectCore" --output-on-failure

ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DKA813_SANITIZE=ON -DKA813_BUILD_BENCH=OFF
