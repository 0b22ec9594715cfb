#!/usr/bin/env bash
# Checks the figures that the documentation quotes and the programs compute, so that the pages
# cannot drift from the programs: the game's SHA-256, the bench signature, the game's final FEN
# and the perft counts of doc/perft.md. A figure quoted wrong by one digit fails the check.
#   usage: tests/docs_figures.sh BINDIR      (BINDIR holds chess and chessbench)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin=$1
pages=("$root/README.md" "$root"/doc/*.md)
passed=0 failed=0

# Records one check: $1 says what was checked, the rest is the test that decides it.
Check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $what" >&2
  fi
}

# Tells whether every quote in "$1" (lines "file:figure", as grep -o -H gives them) is $2, and
# there is at least one: a pattern that finds nothing checks nothing.
AllAre() {
  [ -n "$1" ] || return 1
  ! grep -v -F -x -e "$2" <<<"$(cut -d : -f 2- <<<"$1")" >&2
}

# The game's SHA-256: every word of 64 letters and digits in the pages and the CHANGELOG, and the
# line that .ci/run reads from the README.
sha=$("$bin/chess" </dev/null | sha256sum | cut -d ' ' -f 1)
Check "the game's SHA-256 is $sha wherever quoted" \
  AllAre "$(grep -o -H -w -E '[0-9A-Za-z]{64}' "${pages[@]}" "$root/CHANGELOG.md")" "$sha"
Check "README.md has the SHA-256 alone on a line" grep -q -x "$sha" "$root/README.md"

# The bench signature: everywhere in the pages, and as the newest value in the CHANGELOG (the
# older ones are its history).
bench=$("$bin/chessbench" bench | grep -o -E '^bench nodes [0-9]+')
Check "the bench signature is '$bench' wherever quoted" \
  AllAre "$(grep -o -H -E 'bench nodes [0-9]+' "${pages[@]}")" "$bench"
Check "the CHANGELOG's newest bench signature is '$bench'" \
  AllAre "$(grep -o -H -m 1 -E 'bench nodes [0-9]+' "$root/CHANGELOG.md")" "$bench"

# The game's final position, quoted as chessbench game prints it: `fen ...`.
fen=$("$bin/chessbench" game | grep -E '^fen ')
Check "the game's final FEN is '$fen' wherever quoted" \
  AllAre "$(grep -o -H -E '`fen [^`]*`' "${pages[@]}" | tr -d '`')" "$fen"

# The perft table: each row's command must print the row's count.
rows=$(grep -E '^\| `chessbench perft [^`]*` \| [0-9 ]+ \|$' "$root/doc/perft.md")
Check "doc/perft.md has a table of counts" test -n "$rows"
while IFS='|' read -r _ command count _; do
  command=$(tr -d '`' <<<"$command" | sed -E 's/^ +| +$//g')
  count=$(tr -d ' ' <<<"$count")
  # The command's words are split on purpose: DEPTH and the FEN's fields are arguments.
  # shellcheck disable=SC2086
  nodes=$("$bin/chessbench" ${command#*chessbench} 2>/dev/null | sed -n 's/^Nodes searched: //p')
  Check "$command prints $count nodes (it prints $nodes)" test "$nodes" = "$count"
done <<<"$rows"

echo "docs figures: $passed passed, $failed failed"
[ "$failed" = 0 ]
