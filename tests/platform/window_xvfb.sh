#!/usr/bin/env bash
# The real windowed build and its desktop under Xvfb (the frames it shows, the openbox tests look at):
# the window's size; the single-instance rule (a second start raises the first and exits with 1 once
# its Critical box is answered with Return or closed by the window manager, or ends on SIGTERM), though
# a copy on another X server is a game of its own; the close box ending the game with 0; no display.
# Run by CTest from the run folder with the build folder as $1.
set -u
. "$(dirname "$0")/../support/xvfb.sh"
begin_test window "$1"
servers=()
pids=()
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
first=$!
pids+=("$first")
wait_game_window
first_win=$win
sleep 1
dismiss_missing_files
sleep 0.5

# A 1024-high screen: 85% is 870, so the frame is scaled by 2.
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 480 ] && [ "$HEIGHT" = 640 ] || fail "window is ${WIDTH}x${HEIGHT}, expected 480x640"

# Cover the game with another window, then start a second copy: Return on its box.
xmessage -title cover -geometry 900x900+0+0 "cover" >/dev/null 2>&1 &
pids+=("$!")
wait_shown cover 50 >/dev/null || fail "no cover window"
stack_top() { xwininfo -root -children | grep -E "\"(Plinkor|cover)\":" | head -n 1 | grep -o '"[^"]*"' | head -n 1; }
sleep 0.3
[ "$(stack_top)" = '"cover"' ] || fail "the cover window is not on top before the second start"
# Starts another copy on this display and waits for its Critical box; sets copy and box.
start_copy() {
  "$build/plinkor" >"$work/copy.log" 2>&1 &
  copy=$!
  pids+=("$copy")
  box=$(wait_shown Critical 30) || fail "the $1 copy showed no Critical box"
}
start_copy second
xdotool key --window "$box" Return
wait_exit "$copy"
[ "$code" = 1 ] || fail "after Return on its box the second copy exited with \"$code\" (\"\": still runs)"
kill -0 "$first" 2>/dev/null || fail "the first copy died"
sleep 0.3
[ "$(stack_top)" = '"Plinkor"' ] || fail "the first window did not come to the front"

# The box closed with the window manager's close box counts as OK; SIGTERM ends a copy whose box is up.
start_copy third
"$build/plinkor-xclose" "$box" || fail "cannot send the close request"
wait_exit "$copy"
[ "$code" = 1 ] || fail "after its box's close box the third copy exited with \"$code\" (\"\": still runs)"
start_copy fourth
kill -TERM "$copy"
wait_exit "$copy"
[ -n "$code" ] || fail "SIGTERM did not end a copy showing a box"

# A copy on a second X server is a game of its own, not a second copy of the first.
start_xvfb
servers+=("$xvfb"); xvfb=""
"$build/plinkor" >"$work/other.log" 2>&1 &
other=$!
pids+=("$other")
wait_game_window
kill -0 "$other" 2>/dev/null || fail "the copy on the second display ended: $(cat "$work/other.log")"
export DISPLAY=$first_display

"$build/plinkor-xclose" "$first_win" || fail "cannot send the close request"
wait_exit "$first"
[ "$code" = 0 ] || fail "after the close box the game exited with \"$code\" (\"\": still runs)"

# No display: a message on stderr and exit 1, not an invisible game.
env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$build/plinkor" >"$work/none.out" 2>"$work/none.err"
code=$?
[ "$code" = 1 ] || fail "without a display the game exited with $code: $(cat "$work/none.err")"
grep -q "Unable to create window." "$work/none.err" || fail "no Critical message on stderr: $(cat "$work/none.err")"
grep -q "no display" "$work/none.err" || fail "no reason on stderr: $(cat "$work/none.err")"
pass
