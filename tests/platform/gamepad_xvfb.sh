#!/usr/bin/env bash
# A gamepad alone, in the real windowed game under Xvfb and openbox: SDL's virtual controller, plugged in
# through PLINKOR_VIRTUAL_PAD, walks every menu and plays. The left stick moves the game's own pointer
# to an item and A taps it (Options, Configure Controls, High Scores, Information, Play, the level
# chooser); the round corner button and B lead back to the main menu. On the information page, taps
# open the maintenance hatch, turn on Fat Paddle and enter the level editor, where the d-pad steps
# through the levels, A and the stick move a block and B leaves (the level saved). In play the d-pad
# and the stick steer the paddle; then plinkor-xsteer, watching the window, clears the first level
# with the d-pad alone and the second level starts with lives left; B leaves. B on the main menu says
# farewell and A taps through the last screen and closes the game (exit 0).
# Each step waits for the screen it should bring. Run by CTest from the run folder with the build folder
# as $1.
set -u
. "$(dirname "$0")/../support/xvfb.sh"
. "$(dirname "$0")/../support/xvfb_game.sh"
begin_test gamepad "$1"
steer=""
cleanup() {
  [ -n "$steer" ] && kill "$steer" 2>/dev/null
  exec 3>&- 2>/dev/null
  stop_game
  end_work
}
need_x_tools
need_openbox
make_run_folder
mkfifo "$work/pad" || fail "cannot make the pad's FIFO"
export PLINKOR_VIRTUAL_PAD="$work/pad"
start_game --no-intro
# Read and write: opening the FIFO so never waits for the game.
exec 3<>"$work/pad"
# The desktop pointer stays outside the window: everything the game sees comes from the pad.
xdotool mousemove 0 0
wait_until is_menu 150 "the main menu did not appear"

pad() { echo "$*" >&3; }
press() { pad "$1" 1; sleep 0.1; pad "$1" 0; }
# Moves the game's pointer to frame pixel ($1, $2): full stick up-left for 1.5 s parks it in the
# corner (the pointer runs at 240 pixels a second at full deflection), then a quarter deflection
# (60 pixels a second) right and down for as long as each distance takes.
point_at() {
  local first=lefty second=leftx near=$2 far=$1
  [ "$1" -lt "$2" ] && { first=leftx; second=lefty; near=$1; far=$2; }
  # Both waits are worked out before the stick moves: a slow start of bc would add to the travel.
  local both=$(echo "scale=3; $near / 60" | bc) rest=$(echo "scale=3; ($far - $near) / 60" | bc)
  pad leftx -32768; pad lefty -32768
  sleep 1.5
  pad leftx 8192; pad lefty 8192
  sleep "$both"
  pad "$first" 0
  sleep "$rest"
  pad "$second" 0
}
# Taps frame pixel ($1, $2) with the pointer and A; waits up to 5 s for the screen test $3 ($4 names it).
tap_to() {
  point_at "$1" "$2"
  press a
  wait_until "$3" 50 "no $4 after a tap at ($1, $2)"
}

# The screens, told apart by the white text they carry: the count of white pixels in the title band
# along the top, in the column of labels on the left and in the options' hints row.
title_white() { bright "$work/now.png" 240x22+0+0; }
labels_white() { bright "$work/now.png" 60x220+0+55; }
is_options() { [ "$(title_white)" -lt 20 ] && [ "$(bright "$work/now.png" 200x16+20+80)" -gt 250 ]; }
is_controls() { [ "$(title_white)" -gt 500 ] && [ "$(labels_white)" -gt 1000 ]; }
is_scores() { [ "$(title_white)" -gt 250 ] && [ "$(labels_white)" -lt 50 ]; }
# The information page opens with the top of the manual's picture, 10 pixels in from the left and top.
is_info() {
  convert "$run/Data/strider.png" -crop 220x50+0+0 +repage "$work/page.png"
  convert "$work/now.png" -crop 220x50+10+10 +repage "$work/a.png"
  d=$(compare -metric RMSE "$work/a.png" "$work/page.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
  below "$d" 0.05
}
is_goodbye() { d=$(difference "$work/now.png" "$run/Data/exit.png" 240x320+0+0); below "$d" 0.08; }
is_farewell() { d=$(difference "$work/now.png" "$run/Data/pawall.png" 240x40+0+0); below "$d" 0.08; }
# Play: neither the chooser nor the menu, and a paddle in its row; paddle_x is its left edge.
paddle_at() {
  local box
  box=$(convert "$work/now.png" -crop 210x12+15+294 +repage -colorspace Gray -threshold 60% -format "%@" info: 2>/dev/null)
  paddle_x=$(sed -n 's/^\([0-9]*\)x[0-9]*+\([0-9]*\)+.*/\2/p' <<<"$box")
  local width=${box%%x*}
  [ -n "$paddle_x" ] && [ "${width:-0}" -ge 20 ] && [ "$width" -le 80 ]
}
is_play() { ! is_menu && ! is_chooser && paddle_at; }

tap_to 120 182 is_options "Options"
tap_to 88 190 is_controls "control configuration"
tap_to 212 292 is_menu "main menu again, through the corner button"
tap_to 120 230 is_scores "high scores"
tap_to 212 292 is_menu "main menu again, through the corner button"
tap_to 120 206 is_info "information page"

# The level editor lies in the information page's maintenance hatch. Taps in the bottom-left corner
# turn the page 100 pixels each: 21 of them put the hatch at rows 83..188 (page offset 2100). A tap
# opens it; once open, its lines sit at rows 83 + 13k: Fat Paddle (rows 132..144) for the play below,
# then "Level Editor" (rows 83..95).
cp "$work/now.png" "$work/top.png"
point_at 10 300
for i in $(seq 21); do press a; sleep 0.1; done
wait_until '[ "$(changed_pixels "$work/now.png" "$work/top.png" 240x300+0+0)" -gt 20000 ]' 50 \
  "taps in the corner did not turn the page"
point_at 120 130
press a
# The panel takes taps once its lid has risen.
sleep 2.5
capture "$work/hatch.png"
point_at 120 138
press a
wait_until '[ "$(changed_pixels "$work/now.png" "$work/hatch.png" 190x12+25+133)" -gt 15 ]' 50 \
  "the Fat Paddle line did not change"
# The editor: "Level N" in small white letters along the top, the field's walls down the left edge.
is_editor() {
  local title=$(bright "$work/now.png" 60x9+90+0) wall
  wall=$(convert "$work/now.png" -crop 6x100+2+100 +repage -format '%[fx:round(255*max(mean.g,mean.b))]' info:)
  [ "$title" -gt 30 ] && [ "$title" -lt 100 ] && [ "$wall" -gt 100 ]
}
tap_to 120 89 is_editor "level editor"
cp "$work/now.png" "$work/level1.png"
press dpup
wait_until 'is_editor && [ "$(changed_pixels "$work/now.png" "$work/level1.png" 240x300+0+10)" -gt 10000 ]' 50 \
  "the d-pad's up did not step the editor to the next level"
press dpdown
wait_until 'is_editor && [ "$(changed_pixels "$work/now.png" "$work/level1.png" 240x300+0+10)" -lt 100 ]' 50 \
  "the d-pad's down did not bring the first level back"
# A held on the first level's leftmost block (rows 60..69) lifts it; the stick carries it 60 pixels
# down; letting go of A puts it there. The level is saved as the editor is left.
point_at 40 65
pad a 1
sleep 0.3
pad lefty 8192
sleep 1
pad lefty 0
sleep 0.3
pad a 0
wait_until '[ "$(changed_pixels "$work/now.png" "$work/level1.png" 20x10+30+60)" -gt 40 ] &&
  [ "$(changed_pixels "$work/now.png" "$work/level1.png" 30x30+25+110)" -gt 60 ]' 50 \
  "A and the stick did not move the block from (30, 60) down by 60 pixels"
press b
wait_until is_menu 50 "B did not leave the editor for the main menu"
[ -f "$work/Data/level0.dat" ] && [ ! -L "$work/Data/level0.dat" ] || fail "leaving the editor did not save the level"

tap_to 120 158 is_chooser "level chooser"
tap_to 12 92 is_play "play"
start_x=$paddle_x
pad dpleft 1
wait_until 'paddle_at && [ "$paddle_x" -lt $((start_x - 30)) ]' 50 \
  "the d-pad held left did not move the paddle left from $start_x"
pad dpleft 0
echo "d-pad left: the paddle went from $start_x to $paddle_x"
start_x=$paddle_x
pad leftx 32767
wait_until 'paddle_at && [ "$paddle_x" -gt $((start_x + 30)) ]' 50 \
  "the stick held right did not move the paddle right from $start_x"
pad leftx 0
echo "stick right: the paddle went from $start_x to $paddle_x"

# The whole level, the d-pad alone: plinkor-xsteer watches the window and holds the d-pad's left, right
# and up as a player would. Cleared, the next level starts: its walls are green where the first
# level's are blue; its lives are the ball marks in the top right corner.
is_level2() {
  [ "$(convert "$work/now.png" -crop 6x100+2+100 +repage -format '%[fx:round(255*(mean.g-mean.b))]' info:)" -gt 30 ]
}
"$build/plinkor-xsteer" "$win" "$work/pad" 170 >"$work/steer.log" 2>&1 &
steer=$!
cleared=""
for i in $(seq 2000); do
  kill -0 "$game" 2>/dev/null || break
  capture "$work/now.png" || continue
  if is_level2; then cleared=1; break; fi
  kill -0 "$steer" 2>/dev/null || break
  sleep 0.5
done
kill "$steer" 2>/dev/null
wait "$steer" 2>/dev/null
steer=""
cat "$work/steer.log"
[ -n "$cleared" ] || fail "the first level was not cleared with the d-pad"
sleep 0.5
capture "$work/now.png"
lives=$(convert "$work/now.png" -crop 40x8+199+1 +repage -colorspace Gray -threshold 60% -format '%[fx:round(mean*w*h)]' info:)
# One ball mark lights about 19 pixels above 60% grey.
[ "$lives" -ge 15 ] || fail "no lives left at the second level ($lives light pixels in the corner)"
echo "first level cleared: the second level starts with lives to spare ($lives light pixels in the corner)"
press b
wait_until is_menu 50 "B did not leave the game for the main menu"

press b
wait_until is_farewell 50 "B on the main menu brought no farewell"
press a
wait_until is_goodbye 50 "A on the farewell did not bring the last screen"
press a
wait_exit "$game"
[ "$code" = 0 ] || fail "the game did not end with 0 after A on the last screen (\"$code\": still runs)"
game=""
pass
