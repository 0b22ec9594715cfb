#!/usr/bin/env bash
# Runs a node script with chess.js at hand: installs the version pinned in tools/js (package.json,
# package-lock.json) into DIR/node_modules on first use, then runs `node SCRIPT ARGS...` with it.
# Exits 77 (the tests' "skipped") with one line on why when node, npm or the package cannot be
# had; otherwise with the script's status.
#   usage: with-chessjs.sh DIR SCRIPT [ARGS...]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
dir="$1"
shift
skip() {
  echo "SKIPPED: $*" >&2
  exit 77
}
command -v node >/dev/null 2>&1 || skip "node is not installed (on Debian: apt-get install nodejs npm)"
if ! cmp -s "$here/package-lock.json" "$dir/installed-lock.json" 2>/dev/null; then
  command -v npm >/dev/null 2>&1 || skip "npm is not installed (on Debian: apt-get install npm)"
  mkdir -p "$dir" || skip "cannot write $dir"
  # Tests may start at once: one installs while the others wait for it.
  (
    flock 9
    cmp -s "$here/package-lock.json" "$dir/installed-lock.json" 2>/dev/null && exit 0
    cp "$here/package.json" "$here/package-lock.json" "$dir/" && cd "$dir" &&
      timeout 300 npm ci --no-audit --no-fund --loglevel=error >&2 &&
      cp package-lock.json installed-lock.json
  ) 9>"$dir/.lock" || skip "npm could not install chess.js from the registry"
fi
NODE_PATH="$dir/node_modules" exec node "$@"
