#!/usr/bin/env bash
# The long monkey run: the whole game on the headless backend, played by random hands for one hour of
# game time (216000 updates) under AddressSanitizer and UndefinedBehaviorSanitizer. Prints the updates,
# the modes visited and the memory figures; fails on any sanitizer report, assertion or failed check.
#
#   scripts/monkey.sh [updates] [seed] [build folder]
#
# Defaults: 216000 updates, the test's own seed, build folder build-monkey (configured and built here).
set -euo pipefail
cd "$(dirname "$0")/.."

updates="${1:-216000}"
seed="${2:-}"
build_dir="${3:-build-monkey}"

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DPLINKOR_SANITIZE=ON -DPLINKOR_WERROR=ON \
    -DPLINKOR_BENCH=OFF >/dev/null
fi
cmake --build "$build_dir" -j"$(nproc)" --target test_game gamedata >/dev/null

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export PLINKOR_MONKEY_UPDATES="$updates"
if [ -n "$seed" ]; then
  export PLINKOR_MONKEY_SEED="$seed"
fi

cd "$build_dir/run"
start=$(date +%s)
status=0
../tests/test_game --gtest_filter='Monkey.*' || status=$?
echo "monkey: $updates updates asked for, $(( $(date +%s) - start )) s of wall time, exit status $status"
exit $status
