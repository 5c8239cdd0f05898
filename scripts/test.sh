#!/usr/bin/env bash
# Sets up and runs every test: a build with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as
# errors, then CTest (unit tests, whole-game tests on the headless backend, the real window under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh build-test -DCMAKE_BUILD_TYPE=Debug -DPLINKOR_SANITIZE=ON -DPLINKOR_WERROR=ON -DPLINKOR_BENCH=OFF
cd build-test
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --output-on-failure -j"$(nproc)" "$@"
