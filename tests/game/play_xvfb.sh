#!/usr/bin/env bash
# The real windowed game under Xvfb, driven with the mouse and keys as a player would: through the
# splashes to the main menu, into the level chooser and on into play; the screenshot key writes
# "My Documents/Plinkor0.BMP" (230454 bytes, the frame on the screen), and the close box ends the game
# with exit code 0. Screens are recognised by comparing the window with the game's own pictures.
# Run by CTest from the run folder with the build folder as $1; window captures go to <build>/frames.
set -u
build="$(cd "$1" && pwd)"
run="$build/run"
work="$(mktemp -d /tmp/plinkor-play-XXXXXX)"
frames="$build/frames"
mkdir -p "$frames"
fail() { echo "FAIL: $*"; cleanup; exit 1; }

xvfb=""
. "$(dirname "$0")/../support/xvfb.sh"
game=""
cleanup() {
  [ -n "${KEEP:-}" ] && cp -r "$work" /tmp/plinkor-play-kept
  [ -n "$game" ] && kill -9 "$game" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
need_x_tools
start_xvfb

# The game runs in a folder of its own: links to the generated data, so that the settings, tables and
# screenshots it writes stay there.
mkdir -p "$work/Data" "$work/Sound" "$work/My Documents"
for f in "$run"/Data/*; do
  case "$(basename "$f")" in settings.dat|Plinkor*.dat) continue ;; esac
  ln -s "$f" "$work/Data/"
done
for f in "$run"/Sound/*; do ln -s "$f" "$work/Sound/"; done
# Until the generated level set exists, a small one of our own: walls of blue at the top and sides, a
# grey background, a white 20 x 10 block type (the paddle's pieces beside it) and level 0 holding a row
# of six blocks.
if [ ! -e "$run/Data/level0.dat" ]; then
  echo "note: no generated level set; playing a small level of the test's own"
  rm -f "$work"/Data/scheme5.png "$work"/Data/scheme5v.png "$work"/Data/blocks5.png "$work"/Data/blocks5.txt
  convert -size 240x320 xc:black -fill blue -draw "rectangle 0,0 239,3" -draw "rectangle 0,0 2,319" \
    -draw "rectangle 237,0 239,319" -type TrueColor "PNG24:$work/Data/scheme5.png"
  convert -size 240x320 xc:"rgb(80,80,80)" -type TrueColor "PNG24:$work/Data/scheme5v.png"
  convert -size 40x20 xc:black -fill white -draw "rectangle 20,0 39,9" -draw "rectangle 0,10 19,19" \
    -draw "rectangle 9,0 19,10" -type TrueColor "PNG24:$work/Data/blocks5.png"
  printf '[block,0,10,20,10]\n[block,20,0,20,10]\n' >"$work/Data/blocks5.txt"
  for i in 0 1 2 3 4 5; do
    x=$((20 + 35 * i))
    printf "$(printf '\\x%02x\\x00\\x3c\\x00\\x01\\x14\\x0a\\x00\\x00\\x00\\x00\\x00' "$x")"
  done >"$work/Data/level0.dat"
  [ "$(stat -c %s "$work/Data/level0.dat")" = 72 ] || fail "the test's level file is not 6 records"
fi

# Dismisses boxes until none has shown for half a second (up to 10 s).
settle() {
  quiet=0
  for i in $(seq 100); do
    if [ -n "$(boxes_shown)" ]; then
      dismiss_missing_files
      quiet=0
    else
      quiet=$((quiet + 1))
      [ "$quiet" -ge 5 ] && return 0
    fi
    sleep 0.1
  done
  return 1
}

cd "$work" || fail "no work folder"
"$build/plinkor" >"$work/game.log" 2>&1 &
game=$!
wait_game_window
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" = 480 ] && [ "$HEIGHT" = 640 ] || fail "window is ${WIDTH}x${HEIGHT}, expected 480x640"
wx=$X; wy=$Y
echo "window ${WIDTH}x${HEIGHT} at $wx,$wy"

# The window's picture at frame size (every second pixel of the 2x window) into $1.
capture() {
  import -window root -crop "480x640+$wx+$wy" +repage "$work/whole.png" 2>/dev/null || return 1
  convert "$work/whole.png" -sample 50% "$1"
}
# RMSE (0..1) between the top $3 rows of two 240 x 320 pictures.
difference() {
  convert "$1" -crop "240x$3+0+0" +repage "$work/a.png"
  convert "$2" -crop "240x$3+0+0" +repage "$work/b.png"
  compare -metric RMSE "$work/a.png" "$work/b.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'
}
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
# A tap at frame pixel ($1, $2); the pointer then rests in the bottom-right corner, out of the way.
tap() {
  xdotool mousemove $((wx + 2 * $1 + 1)) $((wy + 2 * $2 + 1)) click 1
  sleep 0.05
  xdotool mousemove $((wx + 470)) $((wy + 630))
}
# Waits up to $3 tenths of a second for the top $2 rows of the window to match picture $1.
wait_for() {
  for i in $(seq "$3"); do
    dismiss_missing_files
    capture "$work/now.png" && d=$(difference "$work/now.png" "$run/Data/$1" "$2") && below "$d" 0.05 && return 0
    kill -0 "$game" 2>/dev/null || fail "the game ended while waiting for $1"
    sleep 0.1
  done
  echo "last difference from $1: ${d:-none}"
  return 1
}

xdotool mousemove $((wx + 470)) $((wy + 630))
# The splashes: a tap on each once it has faded in lets it go on without the two-second hold.
start=$(date +%s.%N)
for i in $(seq 6); do
  sleep 0.8
  xdotool mousemove $((wx + 240)) $((wy + 400)) mousedown 1
  sleep 0.1
  xdotool mouseup 1 mousemove $((wx + 470)) $((wy + 630))
done
wait_for titleBack.png 110 150 || fail "the main menu did not appear"
echo "main menu after $(echo "$(date +%s.%N) - $start" | bc)s"
cp "$work/now.png" "$frames/xvfb_1_menu.png"

tap 120 151
wait_for choose.png 76 50 || fail "the level chooser did not appear after the Play item"
sleep 1
settle || fail "File Not Found boxes keep coming in the chooser"
capture "$frames/xvfb_2_chooser.png"
echo "level chooser"

tap 12 92
# Play: neither the chooser nor the menu any more (missing level files, before the level set is made,
# each bring a box to dismiss first).
dc=0; dm=0
for i in $(seq 60); do
  sleep 0.1
  dismiss_missing_files
  [ -n "$(boxes_shown)" ] && continue
  capture "$work/play.png" || continue
  dc=$(difference "$work/play.png" "$run/Data/choose.png" 76)
  dm=$(difference "$work/play.png" "$run/Data/titleBack.png" 110)
  below 0.1 "$dc" && below 0.1 "$dm" && break
done
below 0.1 "$dc" || fail "the chooser is still showing (difference $dc)"
below 0.1 "$dm" || fail "the main menu is showing (difference $dm)"
cp "$work/play.png" "$frames/xvfb_3_play.png"
echo "playing (difference from the chooser $dc, from the menu $dm)"

# The screenshot key (Return by default) writes the frame as a 24-bit BMP.
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
xdotool key Return
bmp="$work/My Documents/Plinkor0.BMP"
for i in $(seq 100); do [ -f "$bmp" ] && break; sleep 0.1; done
[ -f "$bmp" ] || fail "no My Documents/Plinkor0.BMP after the screenshot key"
sleep 0.2
size=$(stat -c %s "$bmp")
[ "$size" = 230454 ] || fail "Plinkor0.BMP has $size bytes, expected 230454"
# The header's file size field is 0 by design, which ImageMagick remarks on; its warnings are dropped.
[ "$(head -c 2 "$bmp")" = BM ] || fail "Plinkor0.BMP does not start with BM"
geometry=$(identify -format "%w %h %z" "$bmp" 2>/dev/null)
[ "$geometry" = "240 320 8" ] || fail "Plinkor0.BMP is $geometry, expected 240 320 8"
convert "$bmp" "$frames/xvfb_4_screenshot_key.png" 2>/dev/null
capture "$work/after.png"
ds=$(difference "$frames/xvfb_4_screenshot_key.png" "$work/after.png" 320)
below "$ds" 0.1 || fail "the screenshot differs from the window by $ds"
echo "Plinkor0.BMP: $size bytes, 240 x 320, difference from the window $ds"
[ -e "$work/My Documents/Plinkor1.BMP" ] && fail "one key press wrote two screenshots"

"$build/plinkor-xclose" "$win" || fail "cannot send the close request"
code=""
for i in $(seq 100); do
  if ! kill -0 "$game" 2>/dev/null; then wait "$game"; code=$?; break; fi
  sleep 0.1
done
[ -n "$code" ] || fail "the game did not end within 10 s of the close box"
[ "$code" = 0 ] || fail "the game exited with $code after the close box"
game=""
echo "closed with exit code 0"
[ -f "$work/Data/settings.dat" ] && [ "$(stat -c %s "$work/Data/settings.dat")" = 1648 ] \
  || fail "the main menu did not write a 1648-byte settings file"
ls "$frames"/xvfb_*.png
cleanup
echo "1 passed, 0 failed"
