# Shared by the window tests and benchmarks: checks the X tools are there, starts Xvfb on a free display,
# finds top-level windows by title and dismisses missing-file boxes. Source it after defining fail();
# cleanup() must kill "$xvfb". Nothing here installs anything: scripts/setup.sh does.

# Fails unless Xvfb, xdotool, ImageMagick, the X utilities and any further commands named are installed.
need_x_tools() {
  local tool
  for tool in Xvfb xdotool import xwininfo xdpyinfo "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
  done
}

# Starts Xvfb on the first free display from :70 and waits for it; sets DISPLAY and xvfb (its pid).
# XVFB_SCREEN chooses the screen (default 1280x1024x24). On a busy machine another test may take the
# same display first or the server may be slow to answer: up to three tries of 20 s each.
start_xvfb() {
  local display n i attempt
  xvfb=""
  for attempt in 1 2 3; do
    display=""
    for n in $(seq 70 99); do
      if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
    done
    [ -n "$display" ] || fail "no free X display"
    Xvfb "$display" -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY="$display"
    for i in $(seq 200); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=""
  done
  fail "Xvfb did not start"
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
