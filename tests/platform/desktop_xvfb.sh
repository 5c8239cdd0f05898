#!/usr/bin/env bash
# The real windowed build and its desktop: one running copy per display (a copy on another X server is
# not a second copy), no display at all, and the Critical box closed by the window manager or ended
# by SIGTERM. Run by CTest from the run folder with the build folder as $1.
set -u
servers=()
pids=()
. "$(dirname "$0")/../support/xvfb.sh"
begin_test desktop "$1"
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  for p in "${servers[@]}" $xvfb; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  end_work
}
need_x_tools

start_xvfb
servers+=("$xvfb"); xvfb=""
first_display=$DISPLAY
"$build/plinkor" >"$work/first.log" 2>&1 &
pids+=("$!")
wait_game_window

# A copy on a second X server is a game of its own, not a second copy of the first.
start_xvfb
servers+=("$xvfb"); xvfb=""
"$build/plinkor" >"$work/other.log" 2>&1 &
other=$!
pids+=("$other")
wait_game_window
kill -0 "$other" 2>/dev/null || fail "the copy on the second display ended: $(cat "$work/other.log")"
echo "a copy runs on each of $first_display and $DISPLAY"
export DISPLAY=$first_display

# A second copy's Critical box closed with the window manager's close box counts as OK: shown once.
"$build/plinkor" >"$work/second.log" 2>&1 &
second=$!
pids+=("$second")
box=$(wait_shown Critical 30) || fail "the second copy showed no Critical box"
"$build/plinkor-xclose" "$box" || fail "cannot send the close request"
wait_exit "$second"
[ "$code" = 1 ] || fail "after the box's close box the second copy exited with \"$code\" (\"\": still runs)"
echo "a box closed by the window manager answers OK (exit 1)"

# SIGTERM ends a copy whose box is up.
"$build/plinkor" >"$work/third.log" 2>&1 &
third=$!
pids+=("$third")
wait_shown Critical 30 >/dev/null || fail "the third copy showed no Critical box"
kill -TERM "$third"
wait_exit "$third"
[ -n "$code" ] || fail "SIGTERM did not end a copy showing a box"
echo "SIGTERM ended a copy showing a box (exit $code)"

# No display: a message on stderr and exit 1, not an invisible game.
env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$build/plinkor" >"$work/none.out" 2>"$work/none.err"
code=$?
[ "$code" = 1 ] || fail "without a display the game exited with $code: $(cat "$work/none.err")"
grep -q "Unable to create window." "$work/none.err" || fail "no Critical message on stderr: $(cat "$work/none.err")"
grep -q "no display" "$work/none.err" || fail "no reason on stderr: $(cat "$work/none.err")"
echo "without a display: exit 1; $(head -n 1 "$work/none.err")"
pass
