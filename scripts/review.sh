#!/bin/bash
# Writes pictures and sounds of the generated data for a person to look at and listen to:
# scripts/review.sh [BUILD_DIR] (default build). The files land in BUILD_DIR/review/.
set -euo pipefail
build=${1:-build}
cmake --build "$build" -j2 --target plinkor-review
"$build/plinkor-review" "$build/run" "$build/review"
