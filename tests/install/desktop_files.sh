#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the programs, the data without anyone's own files, the
# desktop entry and the AppStream metainfo passing their validators, the icons at every size, the man page.
# Run by CTest with the build folder as $1.
set -u
build="$(cd "$1" && pwd)"
work="$(mktemp -d /tmp/plinkor-install-XXXXXX)"
cleanup() { rm -rf "$work"; }
fail() { echo "FAIL: $*"; cleanup; exit 1; }
for tool in desktop-file-validate appstreamcli identify man; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install failed"; }
id=org.plinkor.Plinkor
for f in bin/plinkor bin/plinkor-fullscreen share/plinkor/Data/loading.png share/plinkor/Data/level99.dat \
         share/plinkor/Data/blocks5.txt share/plinkor/Data/hint0.txt share/applications/$id.desktop \
         share/metainfo/$id.metainfo.xml share/man/man6/plinkor.6 share/man/man6/plinkor-fullscreen.6 \
         share/plinkor/screenshots/screenshot-menu.png share/plinkor/screenshots/screenshot-levels.png; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/plinkor" ] && [ -x "$prefix/bin/plinkor-fullscreen" ] || fail "the programs are not executable"
[ "$(ls "$prefix/share/plinkor/Sound" | wc -l)" -gt 10 ] || fail "the sounds are not installed"
# Only the generator's files: a developer's settings, scores and screenshots stay in the build.
extra=$(cd "$prefix/share/plinkor" && find . \( -name settings.dat -o -name 'Plinkor*.dat' -o -name '*.tmp' \
  -o -name 'My Documents' -o -name '.generated' \) | head -n 3)
[ -z "$extra" ] || fail "the installed data holds $extra"
echo "installed: $(cd "$prefix" && find . -type f | wc -l) files"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "^Exec=plinkor$" "$prefix/share/applications/$id.desktop" || fail "the desktop entry does not start plinkor"
grep -q "^Exec=plinkor-fullscreen$" "$prefix/share/applications/$id.desktop" || fail "no fullscreen action"

# Icons: square RGBA pictures of the named size with see-through corners.
for size in 16 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$icon" ] || fail "no ${size} px icon"
  got=$(identify -format "%w %h %[channels]" "$icon")
  [ "$got" = "$size $size srgba" ] || fail "the ${size} px icon is $got"
  corner=$(convert "$icon" -format "%[fx:int(255*p{0,0}.a)]" info:)
  middle=$(convert "$icon" -format "%[fx:int(255*p{$((size / 2)),$((size / 2))}.a)]" info:)
  [ "$corner" -lt 128 ] && [ "$middle" = 255 ] || fail "the ${size} px icon has alpha $corner at the corner, $middle inside"
done
# The catalogue screenshots are the 240 x 320 screen three times larger, as the metainfo says.
for shot in menu levels; do
  got=$(identify -format "%w %h" "$prefix/share/plinkor/screenshots/screenshot-$shot.png")
  [ "$got" = "720 960" ] || fail "screenshot-$shot.png is $got"
  grep -q "width=\"720\" height=\"960\">https://.*/screenshot-$shot.png<" "$prefix/share/metainfo/$id.metainfo.xml" \
    || fail "the metainfo does not name screenshot-$shot.png"
done

warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man6/plinkor.6" 2>&1 >"$work/man.txt")
[ -z "$warnings" ] || fail "man page warnings: $warnings"
grep -q "plinkor-fullscreen" "$work/man.txt" && grep -q "local/share/plinkor" "$work/man.txt" \
  || fail "the man page does not describe the fullscreen build and the player's folder"
cleanup
echo "1 passed, 0 failed"
