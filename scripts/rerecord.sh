#!/usr/bin/env bash
# Records the guarding sessions in tests/replays/ again with the scripted player, and with them the state
# hashes the replay tests expect. Run it after a change that alters the game's behaviour on purpose, and
# say in the commit why the hashes moved.
#
#   scripts/rerecord.sh [BUILD_DIR]     default: build (configured; the recorder and data are built here)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  echo "no configured build in $build (cmake -S . -B $build first)" >&2
  exit 2
fi
cmake --build "$build" --target plinkor-record-sessions gamedata -j2 >/dev/null
out="$PWD/tests/replays"
cd "$build/run"
for session in level1 gameover tour editor; do
  ../plinkor-record-sessions "$session" "$out"
done
