#!/usr/bin/env bash
# Builds the programs for Windows with MinGW-w64 and checks them under Wine, on this Debian
# machine: the game's bytes, the engine tests, chessbench and chess-uci against the Linux build,
# the failure statuses and reports, and the diagram on a console (Wine's, inside tmux). As root it
# installs what is missing; where the packages cannot be had it says so and exits 0 (skipped).
# Everything it makes stays in build-mingw/, Wine's prefix too. Ends with "N passed, N failed"
# and fails when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-mingw
bin=$out/bin
linux=$root/build/bin
started=$SECONDS

# Prints how long the phase that just ended took.
Took() { echo "   ($1: $((SECONDS - phase)) s)"; }

# Ends the script as skipped, with the reason.
Skip() {
  echo "windows.sh: SKIPPED, $1; the Windows build is not checked" >&2
  exit 0
}

echo "== Windows: tools"
phase=$SECONDS
tools/check_deps.sh >&2
need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null 2>&1 || need+=(wine64 wine)
command -v tmux >/dev/null 2>&1 || need+=(tmux)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
# shellcheck source=tools/install_needed.sh
source tools/install_needed.sh
InstallNeeded
Took install

echo "== Windows: cross-build"
phase=$SECONDS
# Debian has no MinGW build of GoogleTest; its sources build in a few seconds.
gtest=$out/googletest-install
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$out/googletest" -G Ninja \
    --toolchain "$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF \
    -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$out/googletest" >/dev/null
  cmake --install "$out/googletest" >/dev/null
fi
cmake -S . -B "$out" -G Ninja --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DCHESS_TESTS=ON -DGTest_DIR="$gtest/lib/cmake/GTest" >/dev/null
cmake --build "$out" --target chess chess-uci chessbench engine_tests null_handle_launcher
# The Linux programs the Windows ones are compared with, built like tools/play.sh builds.
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHESS_TESTS=OFF >/dev/null
fi
cmake --build build --target chessbench chess-uci
Took build

echo "== Windows: checks under Wine"
phase=$SECONDS
# One server and prefix for every run: started once, so that no run pays for (or hangs in) Wine's
# start-up, and without Wine's diagnostics in the programs' output.
export WINEPREFIX=$out/wine WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
# (A server still running for this prefix, from a run that was cut short, serves as well.)
wineserver -p 2>/dev/null || true
tmuxSocket=chess-windows-$$
work=$(mktemp -d)
# Stops what the checks started: the console session, the disk, Wine's server.
Clean() {
  tmux -L "$tmuxSocket" kill-server 2>/dev/null || true
  if mountpoint -q "$work/disk" 2>/dev/null; then umount "$work/disk"; fi
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap Clean EXIT
wineboot >/dev/null 2>&1
# A check that goes wrong is counted, not the end of the script.
set +e

passed=0 failed=0
# Records one check: its name, and the status of the test that decided it.
Check() {
  if [ "$2" = 0 ]; then
    passed=$((passed + 1))
    echo "ok   $1"
  else
    failed=$((failed + 1))
    echo "FAIL $1"
  fi
}

# Tells whether file $1 is exactly one report of status $2, CR LF included, at an address of the
# form 004XXXXX: the statement's offset in the image from 0x400000 (the statically linked .exe
# is larger than 64 KiB, so its console code can lie past 0040FFFF).
IsReport() {
  [ "$(stat -c %s "$1")" = 31 ] &&
    grep -q -x "$(printf 'Runtime error %3d at 004' "$2")[0-9A-F]\{5\}"$'\r' "$1"
}

# Tells whether the Windows program's output $1 says what the Linux one's $2 says, but for CR
# before LF (Windows' text mode) and whatever matches the extended pattern $3 (its time fields).
SameBut() {
  local mask=${3:+s/$3/ T/g}
  diff <(tr -d '\r' <"$1" | sed -E "$mask") <(sed -E "$mask" "$2") >&2
}

expected=$(grep -o -E '^[0-9a-f]{64}$' README.md | head -n 1)
wine "$bin/chess.exe" </dev/null | sha256sum | cut -d ' ' -f 1 >"$work/pipe.sha"
wine "$bin/chess.exe" </dev/null >"$work/game.out"
[ "$(cat "$work/pipe.sha") $(sha256sum <"$work/game.out" | cut -d ' ' -f 1)" = \
  "$expected $expected" ]
Check "the game to a pipe and to a file hashes to the README's SHA-256" $?

# The two halves of the engine tests side by side, one a core.
shards=()
for shard in 0 1; do
  GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard wine "$bin/engine_tests.exe" \
    >"$work/engine$shard.log" 2>&1 </dev/null &
  shards+=($!)
done
engineFailed=0
for shard in 0 1; do
  if ! wait "${shards[$shard]}" || ! grep -q '^\[  PASSED  \]' "$work/engine$shard.log"; then
    engineFailed=1
    tail -n 40 "$work/engine$shard.log" >&2
  fi
  grep -E '^\[(==========|  PASSED  )\]' "$work/engine$shard.log"
done
Check "the engine tests pass" $engineFailed

wine "$bin/chessbench.exe" perft 5 >"$work/perft.win" 2>/dev/null
wine "$bin/chessbench.exe" bench >"$work/bench.win" 2>/dev/null
"$linux/chessbench" perft 5 >"$work/perft.linux" 2>/dev/null
"$linux/chessbench" bench >"$work/bench.linux" 2>/dev/null
SameBut "$work/perft.win" "$work/perft.linux"
Check "chessbench perft 5 says what the Linux build says" $?
SameBut "$work/bench.win" "$work/bench.linux" ' ms [0-9]+ nps [0-9]+'
Check "chessbench bench says what the Linux build says, but for its time" $?

# A GUI's session (tools/uci_session.txt); the Windows engine gets it with CR LF line ends, as a
# Windows GUI sends it. It ends with its input, not quit: quit is served at once, even during a
# search, so it would cut the searches short wherever the reading thread happened to be.
session=$(<tools/uci_session.txt)
wine "$bin/chess-uci.exe" <<<"${session//$'\n'/$'\r\n'}" >"$work/uci.win"
"$linux/chess-uci" <<<"$session" >"$work/uci.linux"
SameBut "$work/uci.win" "$work/uci.linux" ' (time|nps) [0-9]+'
Check "chess-uci answers a session as the Linux build does, but for time and nps" $?

# A missing handle, given by the launcher: the report goes to standard error when standard
# output failed, to standard output (after the game) when standard input did.
launch=$bin/null_handle_launcher.exe
wine "$launch" output "$bin/chess.exe" </dev/null >"$work/none.out" 2>"$work/none.err"
noOutput=$?
wine "$launch" input "$bin/chess.exe" >"$work/noin.out" 2>"$work/noin.err"
noInput=$?
head -c "$(stat -c %s "$work/game.out")" "$work/noin.out" >"$work/noin.game"
tail -c +$(($(stat -c %s "$work/game.out") + 1)) "$work/noin.out" >"$work/noin.report"
[ $noOutput = 105 ] && [ ! -s "$work/none.out" ] && IsReport "$work/none.err" 105
Check "no standard output handle: status 105, the report on standard error" $?
[ $noInput = 104 ] && cmp -s "$work/noin.game" "$work/game.out" &&
  IsReport "$work/noin.report" 104 && [ ! -s "$work/noin.err" ]
Check "no standard input handle: the game, then status 104 and the report after it" $?

# A full disk: an 8 KiB file system where the machine lets us mount one (the program sees a disk
# file), else /dev/full. Twice, for the same report both times.
mkdir "$work/disk"
full=/dev/full disk=/dev/full
if mount -t tmpfs -o size=8k tmpfs "$work/disk" 2>/dev/null; then
  full=$work/disk/game.out disk="an 8 KiB file system"
fi
fullStatus=
for run in 1 2; do
  wine "$bin/chess.exe" </dev/null >"$full" 2>"$work/full$run.err"
  fullStatus+=" $?"
  [ "$full" = /dev/full ] || rm -f "$full"
done
[ "$fullStatus" = " 112 112" ] && IsReport "$work/full1.err" 112 &&
  cmp -s "$work/full1.err" "$work/full2.err"
Check "a full disk ($disk): status 112, the same report on two runs" $?

# A reader that has gone before the first write: a FIFO whose only reader is closed. Windows
# says ERROR_NO_DATA (232) or ERROR_BROKEN_PIPE (109); Wine says ERROR_PIPE_NOT_CONNECTED (233).
mkfifo "$work/fifo"
# shellcheck disable=SC2094  # the FIFO is opened twice on purpose, then its reader closed
exec 5<>"$work/fifo" 6>"$work/fifo" 5<&-
wine "$bin/chess.exe" </dev/null >&6 2>"$work/gone.err"
gone=$?
exec 6>&-
[[ $gone =~ ^(232|233|109)$ ]] && IsReport "$work/gone.err" $gone
Check "a reader that has gone: status $gone (232, 233 or 109), the report on standard error" $?

# The console: the game under tmux, whose screen must show the last diagram as the file has it,
# the shading bytes as the UTF-8 characters, while the game waits for Enter; Enter ends it.
tmux -L "$tmuxSocket" new-session -d -x 80 -y 30 -e LANG=C.UTF-8 -e WINEPREFIX="$WINEPREFIX" \
  -e WINEDEBUG=-all "wine '$bin/chess.exe'; echo \$? >'$work/console.status'; sleep 600"
screen=$out/console-capture.txt
for _ in $(seq 1 240); do
  sleep 0.5
  tmux -L "$tmuxSocket" capture-pane -p >"$screen"
  grep -q -E '^(DRAW|CHECKMATE|STALEMATE)!' "$screen" && break
done
sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' "$screen" | tail -n 12 >"$work/screen.end"
# A screen capture drops the spaces at the ends of lines.
tr -d '\r' <"$work/game.out" | tail -n 12 | LC_ALL=C sed -e 's/ *$//' \
  -e $'s/\xB0/\xE2\x96\x91/g' -e $'s/\xDB/\xE2\x96\x88/g' >"$work/file.end"
tmux -L "$tmuxSocket" send-keys Enter
for _ in $(seq 1 100); do
  [ -s "$work/console.status" ] && break
  sleep 0.1
done
diff "$work/screen.end" "$work/file.end" >&2 && [ "$(cat "$work/console.status")" = 0 ]
Check "a console shows the last diagram as the file has it, shaded, then Enter ends the game" $?
echo "   the console's screen: $screen"
Took checks

echo "== Windows: $((SECONDS - started)) s in all"
echo "windows: $passed passed, $failed failed"
[ "$failed" = 0 ]
