#!/usr/bin/env bash
# Builds the program (Release) and plays the game.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/check_deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHESS_TESTS=OFF >/dev/null
cmake --build build --target chess
exec build/bin/chess
