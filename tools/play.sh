#!/usr/bin/env bash
# Builds the program (Release) and plays the game. Only the game writes to standard output; the
# build's progress goes to standard error, so `tools/play.sh </dev/null | sha256sum` checks it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/check_deps.sh >&2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHESS_TESTS=OFF >/dev/null
cmake --build build --target chess >&2
exec build/bin/chess
