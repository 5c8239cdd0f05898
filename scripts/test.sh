#!/usr/bin/env bash
# Sets up and runs every test: a build with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as
# errors; each file loader's fuzz target for a short while (20 s each, PLINKOR_FUZZ_SECONDS, 0 skips);
# then CTest (unit tests, whole-game tests on the headless backend, the real window under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
PLINKOR_EXTRA_PACKAGES="clang-14 libclang-rt-14-dev" ./scripts/setup.sh build-test -DCMAKE_BUILD_TYPE=Debug -DPLINKOR_SANITIZE=ON -DPLINKOR_WERROR=ON -DPLINKOR_BENCH=OFF
fuzz_seconds="${PLINKOR_FUZZ_SECONDS:-20}"
if [ "$fuzz_seconds" -gt 0 ]; then
  # Before CTest, so that CTest's summary stays the last thing printed.
  ./scripts/fuzz.sh "$fuzz_seconds"
fi
cd build-test
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --output-on-failure -j"$(nproc)" "$@"
