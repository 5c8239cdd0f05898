#!/usr/bin/env bash
# Both builds under Xvfb with a window manager (openbox), driven with the mouse: a press on the frame
# and a release beside it reach the game as a press and a release at the clamped edge (the stylus
# cursor shows both: a full-width crosshair while down, brackets only once up). The windowed build,
# resized to 800 x 640, keeps the frame 240:320 at a whole scale with black bars, maps the mouse through
# them, and F11 switches to desktop fullscreen and back.
# Run by CTest from the run folder with the build folder as $1.
set -u
. "$(dirname "$0")/../support/xvfb.sh"
. "$(dirname "$0")/../support/xvfb_game.sh"
begin_test frame "$1"
need_x_tools
need_openbox
make_run_folder

# Through the splashes to the main menu; the pointer rests on screen point ($1, $2) between taps.
to_menu() {
  for i in $(seq 6); do
    sleep 0.8
    xdotool mousemove $(at 120 30) mousedown 1
    sleep 0.1
    xdotool mouseup 1 mousemove "$1" "$2"
  done
  wait_until 'dismiss_missing_files; is_menu' 150 "the main menu did not appear"
}
# Does crop $1 of the menu differ from its background (a held stylus's crosshair, the cursor's bracket),
# or match it?
differs() { d=$(difference "$work/now.png" "$run/Data/titleBack.png" "$1"); below 0.08 "$d"; }
matches() { d=$(difference "$work/now.png" "$run/Data/titleBack.png" "$1"); below "$d" 0.03; }
# Press on the frame at (120, 60), then release at screen point ($1, $2) beside it: the game must see
# the press (crosshair on row 61), then the release at the edge $3 (brackets at $3 +- 10, rows 64..69).
press_and_release_beside() {
  xdotool mousemove $(at 120 60) mousedown 1
  wait_until 'differs 240x1+0+61' 30 "$4: the press on the frame did not reach the game"
  xdotool mousemove "$1" "$2"
  sleep 0.3
  xdotool mouseup 1
  wait_until 'matches 240x1+0+61' 30 "$4: the release beside the frame did not reach the game (the stylus is still down)"
  sleep 0.2
  capture "$work/now.png"
  local bracket=$(($3 == 0 ? 10 : 229))
  differs "1x6+$bracket+64" || fail "$4: no cursor bracket at column $bracket: the release was not at the edge"
  differs 1x6+130+64 && fail "$4: the cursor stayed at the press"
}

# ---- Windowed build ----
start_game
to_menu $((wx + 470)) $((wy + 630))
press_and_release_beside $((wx + 520)) $((wy + 120)) 239 "windowed, released right of the window"

xdotool windowsize "$win" 800 640
sleep 1
window_geometry
[ "$ww" = 800 ] && [ "$wh" = 640 ] || fail "the window did not take 800x640 (it is ${ww}x${wh})"
fx=$((wx + 160)); fy=$wy; fs=2
import -window root -crop "800x640+$wx+$wy" +repage "$work/wide.png"
for bar in 160x640+0+0 160x640+640+0; do
  max=$(convert "$work/wide.png" -crop "$bar" +repage -format "%[fx:maxima.r+maxima.g+maxima.b]" info:)
  [ "$max" = 0 ] || fail "the bar $bar of the 800x640 window is not black"
done
capture "$work/now.png"
is_menu || fail "the frame is not at scale 2 in the middle of the 800x640 window (difference $d)"
echo "800x640: the frame at scale 2 between black bars of 160 (difference $d)"
press_and_release_beside $((wx + 40)) $((wy + 120)) 0 "windowed 800x640, released in the left bar"

xdotool windowactivate --sync "$win" 2>/dev/null
xdotool key F11
sleep 1.5
window_geometry
[ "$ww" = 1280 ] && [ "$wh" = 1024 ] || fail "F11 did not switch to desktop fullscreen (window ${ww}x${wh})"
fx=$((wx + 280)); fy=$((wy + 32)); fs=3
capture "$work/now.png"
is_menu || fail "the fullscreen frame is not at scale 3 (difference $d)"
xdotool key F11
sleep 1.5
window_geometry
[ "$ww" = 800 ] && [ "$wh" = 640 ] || fail "F11 again did not bring back the 800x640 window (${ww}x${wh})"
stop_game

# ---- Fullscreen build on a wide desktop: the 640 x 480 screen at scale 2, bars of 320 each side ----
program=plinkor-fullscreen XVFB_SCREEN=1920x1080x24 start_game
fx=$((320 + 400)); fy=$((60 + 160)); fs=2
to_menu 1900 1000
press_and_release_beside 100 340 0 "fullscreen, released in the left bar"
stop_game
pass
