#!/usr/bin/env bash
# Builds the Debian package (build-package/chess_VERSION_ARCH.deb) and checks it as a new user's
# machine would see it: installed into a temporary prefix with cmake --install, then installed
# with apt-get, where the programs must be on PATH, answer --help and --version, have manual
# pages, play the game that hashes to the README's SHA-256, and where xboard must find the
# engine by name and get a move from it (under Xvfb); then apt-get remove must take every file
# away. It installs, as root, what it needs: the build tools, dpkg-dev, man-db, xboard, polyglot
# and xvfb. It installs and removes the package `chess` on this machine, so run it where that
# is wanted (a container, CI, a developer's own machine).
#   usage: tools/package.sh [--build-only]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build-package
failures=0

# Prints a command, runs it, and prints what it printed, indented.
show() {
  echo "\$ $*"
  "$@" 2>&1 | sed 's/^/    /'
  return "${PIPESTATUS[0]}"
}
# Reports a check: $1 is what was checked; the rest is the command that decides it.
check() {
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null 2>&1; then
  echo "package: needs root on a Debian machine (it installs the package it checks)" >&2
  exit 2
fi
tools/check_deps.sh
need=()
for tool in dpkg-shlibdeps:dpkg-dev man:man-db xvfb-run:xvfb /usr/games/xboard:xboard \
  /usr/games/polyglot:polyglot; do
  command -v "${tool%%:*}" >/dev/null 2>&1 || need+=("${tool#*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing ${need[*]} ..."
  apt-get update -qq
  # Without the recommended packages: xboard recommends an engine of its own, which must not
  # stand in for ours.
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" \
    >/dev/null
fi

echo "== Build and package"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHESS_TESTS=OFF >/dev/null
cmake --build "$build" --target chess chess-uci chessbench >/dev/null
rm -f "$build"/chess_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$root/$build"/chess_*.deb)
show dpkg-deb --info "$deb"
version=$("$build/bin/chess-uci" --version | cut -d ' ' -f 2)
check "the package's version is the programs' ($version)" \
  test "$(dpkg-deb --field "$deb" Version)" = "$version"
depends=$(dpkg-deb --field "$deb" Depends)
check "it depends only on the C and C++ runtime: $depends" \
  test -z "$(echo "$depends" | tr ',' '\n' | sed -E 's/^ *([^ ]+).*/\1/' |
    grep -v -x -E 'libc6|libstdc\+\+6|libgcc-s1')"
[ "${1:-}" = --build-only ] && { echo "package: $deb"; exit 0; }

expected=$(grep -o -E '^[0-9a-f]{64}$' README.md | head -n 1)

echo "== cmake --install into a temporary prefix"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
show find "$prefix" -type f
for file in bin/chess bin/chess-uci bin/chessbench share/doc/chess/README.md \
  share/doc/chess/CHANGELOG.md share/doc/chess/doc/game.md share/doc/chess/doc/uci.md \
  share/man/man6/chess.6 share/man/man6/chess-uci.6 share/man/man6/chessbench.6; do
  check "installed $file" test -s "$prefix/$file"
done
check "the installed game hashes to the README's SHA-256" \
  test "$("$prefix/bin/chess" </dev/null | sha256sum | cut -d ' ' -f 1)" = "$expected"
check "the installed chess-uci says its version" \
  test "$("$prefix/bin/chess-uci" --version)" = "chess-uci $version"

echo "== apt-get install of the package"
if dpkg -s chess >/dev/null 2>&1; then apt-get remove -y -qq chess >/dev/null; fi
show apt-get install -y "$deb"
show dpkg -L chess
for program in chess chess-uci chessbench; do
  check "$program is on PATH as /usr/bin/$program" test "$(command -v $program)" = /usr/bin/$program
done
show chess-uci --version
show chessbench --version
show chess-uci --help
check "chess-uci --help exits 0 with the usage" sh -c 'chess-uci --help | grep -q "^Usage: chess-uci"'
check "chessbench --help exits 0 with the usage" sh -c 'chessbench --help | grep -q "^Usage: chessbench"'
check "a wrong argument gets status 2" sh -c 'chess-uci --bad; [ $? = 2 ]'
check "the game hashes to the README's SHA-256" \
  test "$(chess </dev/null | sha256sum | cut -d ' ' -f 1)" = "$expected"
show sh -c 'printf "uci\nisready\nposition startpos\ngo depth 6\nquit\n" | chess-uci'
show sh -c 'MANWIDTH=80 man -P cat chess-uci | head -n 12'
for page in chess chess-uci chessbench; do
  check "man $page shows its page" sh -c "man -P cat $page | grep -q '^NAME'"
done

echo "== xboard finds the engine by name"
log=$(mktemp)
# xboard speaks UCI through polyglot, which lives in /usr/games. The engine plays white's first
# move; the debug log shows polyglot's report of the engine's name and the move it sent.
PATH=$PATH:/usr/games timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  xboard -fUCI -fcp chess-uci -initialMode MachineWhite -debug -nameOfDebugFile "$0" &
  xboard=$!
  for _ in $(seq 1 200); do grep -q "<first : move " "$0" 2>/dev/null && break; sleep 0.1; done
  kill $xboard; wait $xboard' "$log" >/dev/null 2>&1 || true
show grep -E 'first : (feature myname|move )' "$log" || true
check "xboard started chess-uci by name" grep -q 'feature myname="chess"' "$log"
check "and it played the game's first move, a2a3" grep -q '<first : move a2a3' "$log"
rm -f "$log"

echo "== apt-get remove"
files=$(dpkg -L chess | grep -E '/usr/(bin|share/man|share/doc)/.*(chess|README)')
show apt-get remove -y chess
check "the package is no longer installed" sh -c '! dpkg -s chess 2>/dev/null | grep -q "^Status: install ok installed"'
left=$(for f in $files; do [ -e "$f" ] && echo "$f"; done || true)
check "every file it installed is gone${left:+ (left: $left)}" test -z "$left"
check "chess-uci is no longer on PATH" sh -c '! command -v chess-uci'

echo "package: $deb"
if [ $failures -gt 0 ]; then
  echo "package: $failures checks failed"
  exit 1
fi
echo "package: all checks passed"
