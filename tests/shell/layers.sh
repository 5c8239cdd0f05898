#!/bin/bash
# The layers point one way: every file under src/ includes only headers of its own folder or of a layer
# below it. From the bottom:
#   platform < shell < gfx, sound (side by side) < field < game < the program
# The program is the few shell files that run everything: the loop, the window with its present, the
# overlay, the replay checker with the game state it saves and restores, and the two entry points. Their headers stay in the shell layer (state and
# operations only), so that any layer may read the loop's state or ask for a present.
# Usage: layers.sh [BUILD_DIR] [SRC_DIR]; prints each wrong include and fails when there is one.
set -u
src=${2:-$(cd "$(dirname "$0")/../../src" && pwd)}

layerOf() {
    case "$1" in
        platform/*) echo 0 ;;
        shell/mainloop.cpp | shell/display.cpp | shell/overlay.cpp | shell/replay.cpp | shell/replaystate.* | shell/entry_*.cpp) echo 5 ;;
        shell/*) echo 1 ;;
        gfx/* | sound/*) echo 2 ;;
        field/*) echo 3 ;;
        game/*) echo 4 ;;
        *) echo x ;;
    esac
}

wrong=0
checked=0
while IFS= read -r file; do
    rel=${file#"$src"/}
    own=$(layerOf "$rel")
    if [ "$own" = x ]; then
        echo "layers: $rel is in no layer (add its folder to tests/shell/layers.sh and HACKING.md)"
        wrong=$((wrong + 1))
        continue
    fi
    while IFS= read -r included; do
        checked=$((checked + 1))
        # The same folder is always fine; a header elsewhere must lie strictly below.
        if [ "${included%%/*}" = "${rel%%/*}" ]; then
            continue
        fi
        theirs=$(layerOf "$included")
        if [ "$theirs" = x ] || [ "$theirs" -ge "$own" ]; then
            echo "layers: $rel includes $included"
            wrong=$((wrong + 1))
        fi
    done < <(sed -n -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file" | grep '/')
done < <(find "$src" -name '*.h' -o -name '*.cpp' | sort)

if [ "$checked" -eq 0 ]; then
    echo "layers: no includes found under $src"
    exit 1
fi
echo "layers: $checked includes checked, $wrong wrong"
[ "$wrong" -eq 0 ]
