#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the embedded simulated starter.
set -euo pipefail
cd "$(dirname "$0")"
./tools/deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR"
if [ -x "$BUILD_DIR/src/app/rv8tool" ]; then
  exec "$BUILD_DIR/src/app/rv8tool" --demo "$@"
fi
# Until the desktop window is built, show the built-in parameter catalogue.
exec "$BUILD_DIR/cli/rv8" "${@:-catalogue}"
