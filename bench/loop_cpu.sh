#!/usr/bin/env bash
# CPU use of the real windowed game's loop over 10 s in a window under Xvfb.
# Usage: bench/loop_cpu.sh BUILD_DIR   (run from anywhere; the game runs in BUILD_DIR/run)
set -eu
build="$(cd "${1:-build}" && pwd)"
display=":$(( 60 + RANDOM % 9 ))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY="$display"
sleep 1
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
