#!/usr/bin/env bash
# Sets up, builds, generates the game data and starts the windowed game in the run folder; arguments go
# to the game (./scripts/play.sh --help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh build -DCMAKE_BUILD_TYPE=Release
cd build/run
exec ../plinkor "$@"
