#!/usr/bin/env bash
# The Debian package as a player gets it: built with CPack, installed and removed by dpkg in a scratch
# root, then unpacked with dpkg -x: the programs, the data without anyone's own files, the desktop entry
# and the AppStream metainfo passing their validators, the icons at every size, the catalogue
# screenshots, the man page. Then started from there under Xvfb with a scratch home. Started from /
# and from the home folder it reaches the main menu without a box; the player's folder is theirs (0700,
# their owner); the screenshot key writes into ~/Pictures/Plinkor; settings and a level of the player's
# own survive a reinstall; the installed files never change; the fullscreen build starts too. Without
# the data it says so once and exits with 1.
# Run by CTest with the build folder as $1.
set -u
. "$(dirname "$0")/../support/xvfb.sh"
. "$(dirname "$0")/../support/xvfb_game.sh"
begin_test package "$1"
need_x_tools dpkg dpkg-deb dpkg-shlibdeps cpack convert compare md5sum desktop-file-validate appstreamcli \
  identify man

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/pkg/plinkor_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no plinkor_*.deb"
dpkg-deb -f "$deb" Package Section Depends >"$work/fields"
grep -q "^Package: plinkor$" "$work/fields" && grep -q "^Section: games$" "$work/fields" \
  && grep -q "^Depends:.*libsdl2" "$work/fields" || { cat "$work/fields"; fail "package fields"; }
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, $(grep ^Depends "$work/fields")"

# Installed and removed by dpkg itself in a root of its own (its libraries are the real system's, so the
# dependencies are not looked for there): nothing of the package may stay behind.
dr="$work/dpkg-root"
mkdir -p "$dr/var/lib/dpkg/info" "$dr/var/lib/dpkg/updates" "$dr/var/lib/dpkg/triggers"
touch "$dr/var/lib/dpkg/status" "$dr/var/lib/dpkg/available"
dpkg --root="$dr" --force-depends --force-not-root -i "$deb" >"$work/dpkg.log" 2>&1 \
  || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
[ -x "$dr/usr/bin/plinkor" ] && [ -f "$dr/usr/share/applications/org.plinkor.Plinkor.desktop" ] \
  || fail "dpkg -i did not install the game"
dpkg --root="$dr" -r plinkor >>"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r failed"; }
left=$(cd "$dr" && find . -path ./var -prune -o ! -name . -print | head -n 3)
[ -z "$left" ] || fail "dpkg -r left $left"

root="$work/root"
install_package() { rm -rf "$root" && dpkg -x "$deb" "$root" || fail "dpkg -x failed"; }
# Every installed file's path, mode, size and checksum.
manifest() { (cd "$root" && find . -printf '%p %m %s\n' | sort && find . -type f -exec md5sum {} + | sort); }
install_package
prefix="$root/usr"
id=org.plinkor.Plinkor
for f in bin/plinkor bin/plinkor-fullscreen share/plinkor/Data/loading.png share/plinkor/Data/level99.dat \
         share/plinkor/Data/blocks5.txt share/plinkor/Data/hint0.txt share/man/man6/plinkor-fullscreen.6; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/plinkor" ] && [ -x "$prefix/bin/plinkor-fullscreen" ] || fail "the programs are not executable"
[ "$(ls "$prefix/share/plinkor/Sound" | wc -l)" -gt 10 ] || fail "the sounds are not installed"
# Only the generator's files: a developer's settings, scores and screenshots stay in the build.
extra=$(cd "$prefix/share/plinkor" && find . \( -name settings.dat -o -name 'Plinkor*.dat' -o -name '*.tmp' \
  -o -name 'My Documents' -o -name '.generated' \) | head -n 3)
[ -z "$extra" ] || fail "the installed data holds $extra"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "^Exec=plinkor$" "$prefix/share/applications/$id.desktop" || fail "the desktop entry does not start plinkor"
grep -q "^Exec=plinkor-fullscreen$" "$prefix/share/applications/$id.desktop" || fail "no fullscreen action"
# Icons: square RGBA pictures of the named size with see-through corners.
for size in 16 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  got=$(identify -format "%w %h %[channels]" "$icon") || fail "no ${size} px icon"
  [ "$got" = "$size $size srgba" ] || fail "the ${size} px icon is $got"
  corner=$(convert "$icon" -format "%[fx:int(255*p{0,0}.a)]" info:)
  middle=$(convert "$icon" -format "%[fx:int(255*p{$((size / 2)),$((size / 2))}.a)]" info:)
  [ "$corner" -lt 128 ] && [ "$middle" = 255 ] || fail "the ${size} px icon has alpha $corner at the corner, $middle inside"
done
# The catalogue screenshots are the 240 x 320 screen three times larger, as the metainfo says.
for shot in menu levels; do
  got=$(identify -format "%w %h" "$prefix/share/plinkor/screenshots/screenshot-$shot.png") || fail "no screenshot-$shot.png"
  [ "$got" = "720 960" ] || fail "screenshot-$shot.png is $got"
  grep -q "width=\"720\" height=\"960\">https://.*/screenshot-$shot.png<" "$prefix/share/metainfo/$id.metainfo.xml" \
    || fail "the metainfo does not name screenshot-$shot.png"
done
warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man6/plinkor.6" 2>&1 >"$work/man.txt")
[ -z "$warnings" ] || fail "man page warnings: $warnings"
grep -q "plinkor-fullscreen" "$work/man.txt" && grep -q "local/share/plinkor" "$work/man.txt" \
  || fail "the man page does not describe the fullscreen build and the player's folder"
manifest >"$work/manifest.before"

export HOME="$work/home"
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -p "$HOME"
player="$HOME/.local/share/plinkor"
data="$root/usr/share/plinkor/Data"

# No data anywhere: the program alone, without a display, says where it looked, once, and exits with 1.
mkdir -p "$work/lonely/bin"
cp "$root/usr/bin/plinkor" "$work/lonely/bin/"
(cd / && env -u DISPLAY -u WAYLAND_DISPLAY "$work/lonely/bin/plinkor" >"$work/lonely.log" 2>&1)
code=$?
[ "$code" = 1 ] || fail "without data the game exited with $code"
count=$(grep -c "Plinkor's game data was not found; looked in: /, $work/lonely/bin/run, $work/lonely/share/plinkor" "$work/lonely.log")
[ "$count" = 1 ] || { cat "$work/lonely.log"; fail "the not-found message was shown $count times"; }
[ ! -e "$player" ] || fail "the player's folder was made although there was no data"

start_xvfb

no_box() { [ -z "$(boxes_shown)" ] || fail "a File Not Found box appeared"; }
# Waits up to 30 s for the window of the game (the $1 build) started last, no box showing; sets win.
wait_window_without_box() {
  win=""
  for i in $(seq 300); do
    no_box
    win=$(shown_named Plinkor | head -n 1)
    [ -n "$win" ] && return 0
    kill -0 "$game" 2>/dev/null || { cat "$work/game.log"; fail "the $1 build ended at start-up"; }
    sleep 0.1
  done
  fail "the $1 build showed no window"
}

# Starts the installed game in folder $1 and brings it to the main menu; no box may show on the way.
start_to_menu() {
  (cd "$1" && exec $isolate "$root/usr/bin/plinkor") >"$work/game.log" 2>&1 &
  game=$!
  wait_window_without_box windowed
  window_geometry
  fx=$wx; fy=$wy; fs=2
  xdotool mousemove $((wx + 470)) $((wy + 630))
  for i in $(seq 6); do
    sleep 0.8
    no_box
    xdotool mousemove $((wx + 240)) $((wy + 400)) mousedown 1
    sleep 0.1
    xdotool mouseup 1 mousemove $((wx + 470)) $((wy + 630))
  done
  # Generous limits: a loaded machine is slow, and only the screens matter here.
  wait_until 'no_box; is_menu' 600 "the main menu did not appear (started in $1)"
  sleep 0.5
  no_box
}
close_game() {
  "$build/plinkor-xclose" "$win" || fail "cannot send the close request"
  wait_exit "$game"
  [ -n "$code" ] || fail "the game did not end within 10 s of the close box"
  [ "$code" = 0 ] || fail "the game exited with $code"
  game=""
  # The server may list the window a while after the game ended; the next run's window may even get
  # the same id. Wait until it is gone.
  for i in $(seq 100); do
    xwininfo -id "$win" 2>/dev/null | grep -q IsViewable || break
    sleep 0.1
  done
}

# Any other copy of the game on this machine (a player's, another test run) holds the single-instance
# name, which lives in the network namespace: the game under test gets a namespace of its own when it can.
isolate=""
if unshare -rn true 2>/dev/null; then isolate="unshare -rn"; elif unshare -n true 2>/dev/null; then isolate="unshare -n"; fi

umask 022
start_to_menu /
# The screenshot key (Return by default) writes into the pictures folder.
xdotool key Return
bmp="$HOME/Pictures/Plinkor/Plinkor0.BMP"
for i in $(seq 200); do [ "$(stat -c %s "$bmp" 2>/dev/null)" = 230454 ] && break; sleep 0.1; done
[ -f "$bmp" ] && [ "$(stat -c %s "$bmp")" = 230454 ] || fail "no 230454-byte screenshot at $bmp"
close_game

[ "$(stat -c '%a %u' "$player")" = "700 $(id -u)" ] || fail "the player's folder is $(stat -c '%a %u' "$player")"
[ -f "$player/Data/settings.dat" ] && [ ! -L "$player/Data/settings.dat" ] \
  && [ "$(stat -c %s "$player/Data/settings.dat")" = 1648 ] || fail "no settings file of the player's own"
[ "$(readlink "$player/Data/level7.dat")" = "$data/level7.dat" ] || fail "level 7 is not linked to the data"
# The player's choices: music volume 100 (offset 40); and level 7 saved from the editor (a real file in
# place of the link), here a copy of the stock level 0.
printf '\x64' | dd of="$player/Data/settings.dat" bs=1 seek=40 conv=notrunc status=none
rm "$player/Data/level7.dat"
cp "$data/level0.dat" "$player/Data/level7.dat"
md5sum "$player/Data/settings.dat" "$player/Data/level7.dat" >"$work/own.md5"

install_package
start_to_menu "$HOME"
close_game
md5sum -c --quiet "$work/own.md5" || fail "the player's settings or level changed across the reinstall"
[ ! -L "$player/Data/level7.dat" ] || fail "the player's level 7 became a link again"
[ "$(readlink "$player/Data/level8.dat")" = "$data/level8.dat" ] || fail "level 8 is not linked to the data"

# The installed fullscreen build finds its data from the home folder as well, without a box (its
# screen and scaling are the frame test's).
(cd "$HOME" && exec $isolate "$root/usr/bin/plinkor-fullscreen") >"$work/game.log" 2>&1 &
game=$!
wait_window_without_box fullscreen
# The window may be made again on its way to the full screen: its id is read once it has settled.
sleep 2
wait_window_without_box fullscreen
close_game

manifest >"$work/manifest.after"
diff "$work/manifest.before" "$work/manifest.after" >/dev/null || fail "the installed files changed"
[ -z "$(cd / && ls -d Data Sound 'My Documents' 2>/dev/null)" ] || fail "the game wrote into /"
pass
