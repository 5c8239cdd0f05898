#!/usr/bin/env bash
# Sets up, builds, generates the game data and starts the windowed game; the player's files go to the
# player's own folder (~/.local/share/plinkor), not into the build. Arguments go to the game
# (./scripts/play.sh --help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh build -DCMAKE_BUILD_TYPE=Release
exec ./build/plinkor "$@"
