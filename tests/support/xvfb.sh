# Shared by the window tests and benchmarks: checks the X tools are there, starts Xvfb on a free display,
# finds top-level windows by title and dismisses missing-file boxes, waits for a process to end. fail()
# runs the test's cleanup(), which must kill "$xvfb", unless the test defines its own. Nothing here
# installs anything: scripts/setup.sh does.

xvfb="${xvfb:-}"
declare -F fail >/dev/null || fail() { echo "FAIL: $*"; cleanup; exit 1; }

# The start of a window test run by CTest with the build folder as $2: sets build, run and work (a fresh
# /tmp/plinkor-$1-*, which end_work copies to /tmp/plinkor-$1-kept when KEEP is set, then removes).
begin_test() {
  build="$(cd "$2" && pwd)"
  run="$build/run"
  work="$(mktemp -d "/tmp/plinkor-$1-XXXXXX")"
  kept="/tmp/plinkor-$1-kept"
}
end_work() {
  [ -n "${KEEP:-}" ] && cp -r "$work" "$kept"
  rm -rf "$work"
}
# The last line of a test that got through.
pass() {
  cleanup
  echo "1 passed, 0 failed"
}

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

# The windows titled $1 that are shown: a closed window may stay listed a while unmapped.
shown_named() {
  local id
  for id in $(windows_named "$1"); do
    xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable" && echo "$id"
  done
}
boxes_shown() { shown_named "File Not Found"; }

# Waits up to $2 tenths of a second for a shown window titled $1; prints its id.
wait_shown() {
  local i id
  for i in $(seq "$2"); do
    id=$(shown_named "$1" | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to 10 s for process $1 to end; sets code to its exit code, or to "" when it still runs.
wait_exit() {
  local i
  code=""
  for i in $(seq 100); do
    if ! kill -0 "$1" 2>/dev/null; then wait "$1"; code=$?; return; fi
    sleep 0.1
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
