#!/usr/bin/env bash
# Saves pictures of the desktop program into docs/: the welcome page, the parameter page after a
# Read, the group editor and the "Communication Setup" window. The program runs on the embedded
# simulated starter (--demo) under a virtual X server (xvfb-run), drives itself through those
# views (hidden switch --screenshot-script) and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
OUT=${1:-docs}
if [ ! -x "$BUILD_DIR/src/app/rv8tool" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$BUILD_DIR" --target rv8tool
fi
mkdir -p "$OUT"
xvfb-run -a -s "-screen 0 1400x900x24" \
  "$BUILD_DIR/src/app/rv8tool" --demo --screenshot-script "$OUT"
ls -l "$OUT"/*.png
