#!/usr/bin/env bash
# CPU use of the real windowed game's loop over 10 s in a window under Xvfb.
# Usage: bench/loop_cpu.sh BUILD_DIR   (run from anywhere; the game runs in BUILD_DIR/run)
set -eu
build="$(cd "${1:-build}" && pwd)"
fail() { echo "FAIL: $*" >&2; exit 1; }
xvfb=""
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null' EXIT
. "$(dirname "$0")/../tests/support/xvfb.sh"
need_x_tools
start_xvfb
cd "$build/run"
"$build/plinkor" >/dev/null 2>&1 &
game=$!
sleep 2
ticks=$(getconf CLK_TCK)
read -r u0 s0 < <(awk '{print $14, $15}' /proc/$game/stat)
sleep 10
read -r u1 s1 < <(awk '{print $14, $15}' /proc/$game/stat)
kill $game
used=$(( (u1 - u0) + (s1 - s0) ))
echo "loop CPU over 10 s: $(echo "scale=1; 100 * $used / ($ticks * 10)" | bc)% of one core (user $(( u1 - u0 )), system $(( s1 - s0 )) ticks at $ticks/s)"
