#!/usr/bin/env bash
# Makes the manual pages of chess-uci and chessbench (doc/*.6) from their --help and --version
# with help2man, so that the pages say what the programs say. Run it after changing either
# program's help, and commit the pages. The game's own page, doc/chess.6.in, is written by hand.
# With --check it changes nothing and exits 1 when a committed page differs from what the
# programs now say; 77 (the tests' "skipped") where help2man is not installed.
#   usage: tools/manpages.sh [--check] [BINDIR]      (BINDIR: build/bin)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
check=false
if [ "${1:-}" = --check ]; then
  check=true
  shift
fi
bindir="$(cd "${1:-$root/build/bin}" && pwd)"
if ! command -v help2man >/dev/null 2>&1; then
  if $check; then
    echo "SKIPPED: help2man is not installed (on Debian: apt-get install help2man)" >&2
    exit 77
  fi
  echo "manpages: help2man is not installed (on Debian: apt-get install help2man)" >&2
  exit 2
fi

# Writes the page of program $1, whose NAME line says $2, to standard output. The date is left
# out so that the same help always makes the same page.
page() {
  help2man --no-info --section=6 --manual=Games --name="$2" \
    --include="$root/doc/see-also.h2m" "$bindir/$1" |
    sed -E '/^\.TH /s/^(\.TH [^ ]+ "?6"?) "[^"]*"/\1 ""/'
}

status=0
while IFS='|' read -r program name; do
  if $check; then
    if ! page "$program" "$name" | cmp -s - "$root/doc/$program.6"; then
      echo "doc/$program.6 is not what $program --help says now: run tools/manpages.sh" >&2
      status=1
    fi
  else
    page "$program" "$name" >"$root/doc/$program.6"
    echo "wrote doc/$program.6"
  fi
done <<'LIST'
chess-uci|the console chess program's engine, speaking UCI to chess GUIs
chessbench|the console chess program's developer's tool: perft, search, the game as text and PGN
LIST
exit $status
