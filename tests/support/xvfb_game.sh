# Shared by the window tests that play the game under a window manager: a run folder of its own, the
# game under openbox, the frame's place on the screen, captures, pixel counts and waits. Source it after
# tests/support/xvfb.sh and begin_test; a cleanup() of the test's own must call stop_game.

game=""
wm=""
cleanup() {
  stop_game
  end_work
}
# The window manager reparents the top-level windows: find them by name anywhere in the tree.
windows_named() { xdotool search --name "^$1\$" 2>/dev/null; }

need_openbox() {
  command -v openbox >/dev/null || fail "openbox is missing: scripts/setup.sh installs what the tests need"
}

# The game's files in $work: links to the generated data, so that what it writes stays there.
make_run_folder() {
  local f
  mkdir -p "$work/Data" "$work/Sound" "$work/My Documents"
  for f in "$run"/Data/*; do
    case "$(basename "$f")" in settings.dat|Plinkor*.dat|desktop.ini) continue ;; esac
    ln -s "$f" "$work/Data/"
  done
  for f in "$run"/Sound/*; do ln -s "$f" "$work/Sound/"; done
}

# Starts Xvfb (on XVFB_SCREEN), openbox and the game (the build's $program, plinkor unless set; arguments
# passed on) in $work; sets win, and for the windowed game fx, fy, fs. The game's single-instance name
# must not meet a game the developer is playing: a network namespace of its own where the system allows.
start_game() {
  local isolated=()
  unshare -rn true 2>/dev/null && isolated=(unshare -rn)
  start_xvfb
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 1
  (cd "$work" && exec "${isolated[@]}" "$build/${program:-plinkor}" "$@" >"$work/game.log" 2>&1) &
  game=$!
  wait_game_window
  xdotool windowactivate --sync "$win" 2>/dev/null
  [ "${program:-plinkor}" = plinkor ] && frame_geometry
}

stop_game() {
  [ -n "$game" ] && kill -9 "$game" 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  game=""; wm=""; xvfb=""
}

# The window's client area: wx, wy its top-left on the screen, ww, wh its size.
window_geometry() {
  local info
  info=$(xwininfo -id "$win")
  wx=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  wy=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  ww=$(awk '/Width:/ {print $2}' <<<"$info")
  wh=$(awk '/Height:/ {print $2}' <<<"$info")
}
# The frame fills the 480 x 640 window at scale 2: fx, fy its top-left on the screen, fs the scale.
frame_geometry() {
  window_geometry
  fx=$wx; fy=$wy; fs=2
  [ "${ww}x$wh" = 480x640 ] || fail "the window is ${ww}x$wh, not 480x640"
}

# The frame at 240 x 320 (every fs-th pixel of the screen from fx, fy) into $1.
capture() {
  import -window root -crop "$((240 * fs))x$((320 * fs))+$fx+$fy" +repage "$work/whole.png" 2>/dev/null || return 1
  convert "$work/whole.png" -sample 240x320 "$1"
}

# RMSE (0..1) between the same crop ($3, a geometry) of two 240 x 320 pictures.
difference() {
  convert "$1" -crop "$3" +repage "$work/a.png"
  convert "$2" -crop "$3" +repage "$work/b.png"
  compare -metric RMSE "$work/a.png" "$work/b.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'
}

# Waits up to 5 s for the screenshot key's file number $1 (My Documents/Plinkor$1.BMP, 230454 bytes) and
# converts it to $2. ImageMagick remarks on the header's file size field, 0 by design: its complaint and
# exit code are dropped, the picture it wrote is what counts.
screenshot() {
  local bmp="$work/My Documents/Plinkor$1.BMP" i
  for i in $(seq 50); do
    [ -f "$bmp" ] && [ "$(stat -c %s "$bmp")" = 230454 ] && break
    sleep 0.1
  done
  convert "$bmp" "$2" 2>/dev/null
  [ -s "$2" ]
}

# How many pixels of the same crop ($3) of two pictures differ.
changed_pixels() {
  convert "$1" -crop "$3" +repage "$work/a.png"
  convert "$2" -crop "$3" +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1
}

# Pixels of crop $2 of picture $1 whose every component is above 85%: white text, the ball.
bright() {
  convert "$1" -crop "$2" +repage -colorspace Gray -threshold 85% -format "%[fx:round(mean*w*h)]" info:
}

below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# Screen position of frame pixel ($1, $2).
at() { echo "$((fx + fs * $1 + fs / 2)) $((fy + fs * $2 + fs / 2))"; }

# Waits up to $2 tenths of a second until the command $1 (run on a fresh capture in $work/now.png)
# succeeds; fails with $3 (and the last difference measured, d) when it never does.
wait_until() {
  local i
  d=""
  for i in $(seq "$2"); do
    kill -0 "$game" 2>/dev/null || fail "the game ended while waiting: $3"
    capture "$work/now.png" && eval "$1" && return 0
    sleep 0.1
  done
  fail "$3${d:+ (difference $d)}"
}

# Is the frame in $work/now.png the main menu (its title, within 5%), the level chooser (its top)?
is_menu() { d=$(difference "$work/now.png" "$run/Data/titleBack.png" 240x110+0+0); below "$d" 0.05; }
is_chooser() { d=$(difference "$work/now.png" "$run/Data/choose.png" 240x76+0+0); below "$d" 0.05; }
