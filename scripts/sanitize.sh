#!/usr/bin/env bash
# Builds the unit tests and the fuzz targets with clang under AddressSanitizer
# and UndefinedBehaviorSanitizer into build-asan/ (or $V7_ASAN_BUILD_DIR), without
# the GUI, and runs them; each fuzz target runs a bounded libFuzzer session
# ($V7_FUZZ_RUNS inputs, at most $V7_FUZZ_SECONDS seconds).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${V7_ASAN_BUILD_DIR:-$here/build-asan}"
bash "$here/scripts/deps.sh"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DV7_GUI=OFF -DV7_SANITIZE=ON -DV7_FUZZ=ON \
  ${V7_FUZZ_RUNS:+-DV7_FUZZ_RUNS=$V7_FUZZ_RUNS} ${V7_FUZZ_SECONDS:+-DV7_FUZZ_SECONDS=$V7_FUZZ_SECONDS} >/dev/null
start=$SECONDS
cmake --build "$build" -j"$(nproc)"
echo "sanitize.sh: build took $((SECONDS - start)) s"
cd "$build"
# Any report fails the test that caused it (the programs the tests start too).
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
start=$SECONDS
ctest --output-on-failure -j"$(nproc)" --timeout 600
echo "sanitize.sh: tests took $((SECONDS - start)) s"
