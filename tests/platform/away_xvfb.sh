#!/usr/bin/env bash
# The desktop pointer and pause when away, in the real windowed game under Xvfb and openbox. The pointer
# (its picture read through XFixes by plinkor-xcursor) is hidden over the frame while the game draws its
# own stylus cursor (main menu, chooser), shown beside the window, and shown over the frame in play.
# Minimised during play for 12 s of wall time and restored, the window shows the last frame dimmed with
# "Paused - click to go on"; the game held still meanwhile (its frame, lives and "Get Ready!" as they
# were), and a click plays on. Without the pause, 12 s is long enough for the unattended paddle to lose
# a ball or more. Run by CTest from the run folder with the build folder as $1.
set -u
. "$(dirname "$0")/../support/xvfb.sh"
. "$(dirname "$0")/../support/xvfb_game.sh"
begin_test away "$1"
[ -x "$build/plinkor-xcursor" ] || fail "no plinkor-xcursor in the build (XFixes missing?)"
need_x_tools
need_openbox
make_run_folder
start_game --no-intro
rest=$(at 235 315)
xdotool mousemove $rest
wait_until is_menu 150 "the main menu did not appear"

# Waits up to 3 s for the pointer's picture to show ($1 = shown) or not (hidden); $2 says where.
pointer_is() {
  local i picture state
  for i in $(seq 30); do
    picture=$("$build/plinkor-xcursor") || fail "cannot read the pointer's picture"
    state=shown
    [ "${picture#* }" = 0 ] && state=hidden
    [ "$state" = "$1" ] && { echo "pointer $1 $2 ($picture)"; return 0; }
    sleep 0.1
  done
  fail "the pointer is not $1 $2 (picture $picture)"
}
xdotool mousemove $(at 200 280)
pointer_is hidden "over the main menu's frame"
xdotool mousemove 5 5
pointer_is shown "beside the window"
xdotool mousemove $(at 120 158) click 1 mousemove $rest
wait_until is_chooser 50 "the level chooser did not appear after Play"
pointer_is hidden "over the level chooser"
xdotool mousemove $(at 12 92) click 1 mousemove $(at 200 200)
wait_until '! is_menu && d=$(difference "$work/now.png" "$run/Data/choose.png" 240x76+0+0) && below 0.1 "$d"' 50 \
  "no play after the first level's cell"
pointer_is shown "over the frame in play"
xdotool mousemove $rest
# The first ball goes unattended; the next serve's "Get Ready!" (a caption of some 400 white pixels below
# the field's middle) holds the ball still for three seconds, with no hint moving above it (the first
# serve's): the moment to leave.
ready='[ "$(bright "$work/now.png" 240x40+0+195)" -gt 330 ] && [ "$(bright "$work/now.png" 240x90+0+85)" -lt 20 ]'
wait_until "$ready" 300 "no \"Get Ready!\" after a lost ball"
cp "$work/now.png" "$work/shown.png"
xdotool key Return
xdotool windowminimize "$win"
before="$work/before.png"
screenshot 0 "$before" || fail "no screenshot before leaving"
wait_until '! xwininfo -id "$win" | grep -q IsViewable' 30 "the window was not minimised"
sleep 12
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowactivate "$win"

# The dimmed frame: everything at half brightness, but for a band darker still that carries the caption.
dimmed="$work/dimmed.png"
convert "$before" -evaluate multiply 0.5 "$dimmed"
wait_until 'd=$(difference "$work/now.png" "$dimmed" 240x140+0+0); below "$d" 0.03' 50 \
  "no dimmed frame after coming back (against the frame left, halved)"
cp "$work/now.png" "$work/paused.png"
caption=$(bright "$work/paused.png" 240x27+0+144)
[ "$caption" -gt 150 ] || fail "no caption on the dimmed frame ($caption white pixels)"
[ "$(bright "$work/paused.png" 240x144+0+0)" = 0 ] || fail "white above the caption: the frame is not dimmed"
echo "back after 12 s: the frame left, dimmed (difference $d), with a caption of $caption white pixels"

# The game held still: the frame the screenshot key writes now is the one it was left with.
xdotool key Return
screenshot 1 "$work/held.png" || fail "no screenshot while paused"
# The lives sit along the top right of the field.
for region in 40x9+200+0 240x195+0+0 240x30+0+290; do
  changed=$(changed_pixels "$before" "$work/held.png" "$region")
  [ "$changed" = 0 ] || fail "$changed pixels of $region changed while away"
done
[ "$(bright "$work/held.png" 240x40+0+195)" -gt 330 ] || fail "\"Get Ready!\" is gone: time went on while away"

# A click plays on from there: the frame is bright again with the same lives, and "Get Ready!" runs out.
# The window manager may still be settling the focus when the first click comes: a click that finds the
# game paused again is repeated, as a player would, up to three times.
resumed='[ "$(bright "$work/now.png" 240x27+0+144)" -lt "$caption" ] && \
  [ "$(changed_pixels "$work/shown.png" "$work/now.png" 40x9+200+0)" = 0 ]'
click_resumes() {
  xdotool mousemove $(at 120 60) click 1 mousemove $rest
  for i in $(seq 30); do capture "$work/now.png" && eval "$resumed" && return 0; sleep 0.1; done
  echo "a click found the game still paused"
  return 1
}
click_resumes || click_resumes || click_resumes || fail "the click did not resume the game with the same lives"
wait_until '[ "$(bright "$work/now.png" 240x40+0+195)" -lt 100 ]' 100 "\"Get Ready!\" stayed after the click"
pass
