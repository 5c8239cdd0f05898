#!/usr/bin/env bash
# The real windowed build under Xvfb: the window and its loading picture, the single-instance rule
# (a second start raises the first and exits with 1), and the close box ending the game with 0.
# Run by CTest from the run folder with the build folder as $1.
set -u
. "$(dirname "$0")/../support/xvfb.sh"
begin_test window "$1"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  end_work
}
need_x_tools
start_xvfb

"$build/plinkor" >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
wait_game_window
sleep 1
dismiss_missing_files
sleep 0.5

# A 1024-high screen: 85% is 870, so the frame is scaled by 2.
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 480 ] && [ "$HEIGHT" = 640 ] || fail "window is ${WIDTH}x${HEIGHT}, expected 480x640"
# The window shows the game's frames: first the loading picture, whose amber paddle lies at frame
# (100..139, 124..128), then the logo splash, whose pale cyan logo holds at frame (119, 101) for about
# 1.5 s; at scale 2 these are (240, 252) and (238, 202) on the window. Either is looked for a while.
seen=""
for i in $(seq 40); do
  import -window root "$work/shot.png" || fail "no screenshot"
  px=$((X + 240)); py=$((Y + 252))
  rgb=$(convert "$work/shot.png" -format "%[fx:int(255*p{$px,$py}.r)] %[fx:int(255*p{$px,$py}.g)] %[fx:int(255*p{$px,$py}.b)]" info:)
  read -r r g b <<<"$rgb"
  if [ "$r" -ge 220 ] && [ "$g" -ge 150 ] && [ "$g" -le 200 ] && [ "$b" -le 80 ]; then seen="paddle pixel $rgb"; break; fi
  px=$((X + 238)); py=$((Y + 202))
  rgb=$(convert "$work/shot.png" -format "%[fx:int(255*p{$px,$py}.r)] %[fx:int(255*p{$px,$py}.g)] %[fx:int(255*p{$px,$py}.b)]" info:)
  read -r r g b <<<"$rgb"
  if [ "$r" -ge 190 ] && [ "$g" -ge 220 ] && [ "$b" -ge 220 ]; then seen="logo pixel $rgb"; break; fi
  sleep 0.1
done
[ -n "$seen" ] || fail "neither the loading picture nor the logo splash was seen (last pixel $rgb)"
echo "window ${WIDTH}x${HEIGHT} at $X,$Y; $seen"

# Cover the game with another window, then start a second copy.
xmessage -title cover -geometry 900x900+0+0 "cover" >/dev/null 2>&1 &
pids+=("$!")
cover=$(wait_shown cover 50) || fail "no cover window"
stack_top() { xwininfo -root -children | grep -E "\"(Plinkor|cover)\":" | head -n 1 | grep -o '"[^"]*"' | head -n 1; }
sleep 0.3
[ "$(stack_top)" = '"cover"' ] || fail "the cover window is not on top before the second start"

start=$(date +%s.%N)
"$build/plinkor" >"$work/second.log" 2>&1 &
second=$!
pids+=("$second")
box=$(wait_shown Critical 30) || fail "the second copy showed no Critical box"
xdotool key --window "$box" Return
wait_exit "$second"
end=$(date +%s.%N)
[ -n "$code" ] || fail "the second copy is still running"
[ "$code" = 1 ] || fail "the second copy exited with $code, expected 1"
elapsed=$(echo "$end - $start" | bc)
echo "second copy exited with 1 after ${elapsed}s"
kill -0 "$first" 2>/dev/null || fail "the first copy died"
sleep 0.3
[ "$(stack_top)" = '"Plinkor"' ] || fail "the first window did not come to the front"
echo "first window raised above the cover"

start=$(date +%s.%N)
"$build/plinkor-xclose" "$win" || fail "cannot send the close request"
wait_exit "$first"
end=$(date +%s.%N)
[ -n "$code" ] || fail "the game did not end within 10 s of the close box"
[ "$code" = 0 ] || fail "the game exited with $code after the close box"
echo "closed with exit code 0 after $(echo "$end - $start" | bc)s"
pass
