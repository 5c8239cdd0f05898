# Shared by the window tests: installs the X tools when missing, starts Xvfb on a free display, finds
# top-level windows by title and dismisses missing-file boxes. Source it after defining fail();
# cleanup() must kill "$xvfb".

# Installs Xvfb, xdotool, ImageMagick and the X utilities when one is missing.
need_x_tools() {
  local need=()
  command -v Xvfb >/dev/null || need+=(xvfb)
  command -v xdotool >/dev/null || need+=(xdotool)
  command -v import >/dev/null || need+=(imagemagick)
  command -v xwininfo >/dev/null || need+=(x11-utils)
  if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null \
      || fail "cannot install ${need[*]}"
  fi
}

# Starts Xvfb on the first free display from :70 and waits for it; sets DISPLAY and xvfb (its pid).
# XVFB_SCREEN chooses the screen (default 1280x1024x24).
start_xvfb() {
  local display="" n i
  for n in $(seq 70 99); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
  done
  [ -n "$display" ] || fail "no free X display"
  Xvfb "$display" -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY="$display"
  for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
}

# Ids of the top-level windows titled exactly $1, top of the stack first.
windows_named() { xwininfo -root -children 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}'; }

# The "File Not Found" boxes on the screen: a closed box's window may stay listed a while unmapped.
boxes_shown() {
  local id
  for id in $(windows_named "File Not Found"); do
    xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable" && echo "$id"
  done
}

# Presses Return on every box shown (a data file the build has not made yet).
dismiss_missing_files() {
  local id
  for id in $(boxes_shown); do
    echo "note: dismissing a File Not Found box ($id)"
    xdotool key --window "$id" Return 2>/dev/null
  done
}

# Waits up to 10 s for the game's window, dismissing boxes meanwhile; sets win to its id.
wait_game_window() {
  local i
  win=""
  for i in $(seq 100); do
    dismiss_missing_files
    win=$(windows_named Plinkor | head -n 1)
    [ -n "$win" ] && return 0
    sleep 0.1
  done
  fail "no window titled Plinkor"
}
