#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (windows on Qt's offscreen platform).
set -euo pipefail
cd "$(dirname "$0")"
./tools/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j2 "$@"
