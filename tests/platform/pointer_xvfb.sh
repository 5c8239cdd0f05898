#!/usr/bin/env bash
# The desktop pointer in the real windowed game under Xvfb and openbox: over the frame it is hidden
# while the game draws its own stylus cursor (the main menu), shown again beside the window, and shown
# over the frame in play, where the game draws none. The pointer's picture is read through XFixes
# (plinkor-xcursor: its size and how many pixels show). Run by CTest from the run folder with the
# build folder as $1.
set -u
. "$(dirname "$0")/../support/xvfb.sh"
. "$(dirname "$0")/../support/xvfb_game.sh"
begin_test pointer "$1"
[ -x "$build/plinkor-xcursor" ] || fail "no plinkor-xcursor in the build (XFixes missing?)"
need_x_tools
need_openbox
make_run_folder
start_game --no-intro
xdotool mousemove $(at 235 315)
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
xdotool mousemove $(at 120 158) click 1
wait_until is_chooser 50 "the level chooser did not appear after Play"
pointer_is hidden "over the level chooser"
xdotool mousemove $(at 12 92) click 1
wait_until '! is_menu && d=$(difference "$work/now.png" "$run/Data/choose.png" 240x76+0+0) && below 0.1 "$d"' 50 \
  "no play after the first level's cell"
xdotool mousemove $(at 200 200)
pointer_is shown "over the frame in play"
pass
