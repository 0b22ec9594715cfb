#!/usr/bin/env bash
# Builds the tree with Clang and for six more of Debian's processors, and checks that each plays
# the same game and counts and searches as the x86-64 build does:
#  - Clang with GCC's libstdc++, Clang with LLVM's libc++, and Clang with assertions and the
#    sanitizers: everything built, every test passed (ctest);
#  - the game linked by GNU ld, gold and lld: its hash, and a failure's report the same on two runs;
#  - arm64, armhf, i386, ppc64el, s390x and riscv64, cross-built with Debian's cross compilers and
#    run under qemu-user: the game's hash, chessbench perft 5, perft --standard 5 on Kiwipete and
#    bench, a chess-uci session, the console's failure statuses (28, 32, 105, 104) and reports, the
#    engine tests (on arm64, armhf and s390x), and the Debian package that cpack makes.
# As root it installs what is missing; where the packages cannot be had it says so and exits 0
# (skipped). Each build has its own directory, build-clang*, build-ld-* and build-ARCH.
#   usage: tools/platforms.sh [--whole]
# Under emulation the engine tests leave out the standard perft table (perft 5 and Kiwipete's are
# checked on every target) and run a share of the differential shards, each target its own;
# --whole runs them all. i386 is linked statically: qemu-i386 7.2 hangs in the first thread of a
# dynamically linked program. A target's checks under qemu run while the next target builds. Ends
# with "N passed, N failed" and fails when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS
whole=${1:-}

# The targets: Debian's name, the GNU triplet of its compilers, qemu's name for the processor.
ARCHES=(arm64 armhf i386 ppc64el s390x riscv64)
declare -A TRIPLET=([arm64]=aarch64-linux-gnu [armhf]=arm-linux-gnueabihf [i386]=i686-linux-gnu
  [ppc64el]=powerpc64le-linux-gnu [s390x]=s390x-linux-gnu [riscv64]=riscv64-linux-gnu)
declare -A QEMU=([arm64]=aarch64 [armhf]=arm [i386]=i386 [ppc64el]=ppc64le [s390x]=s390x
  [riscv64]=riscv64)
# The targets whose engine tests run, and the differential shards each runs (of 20).
declare -A SHARDS=([arm64]="0 1" [armhf]="2 3" [s390x]="4 5")

# Prints how long the phase that just ended took.
Took() { echo "   ($1: $((SECONDS - phase)) s)"; }

# Ends the script as skipped, with the reason.
Skip() {
  echo "platforms.sh: SKIPPED, $1; the other compilers and processors are not checked" >&2
  exit 0
}

echo "== Platforms: tools"
phase=$SECONDS
tools/check_deps.sh --tests >&2
need=()
command -v clang++ >/dev/null 2>&1 || need+=(clang)
[ -f /usr/lib/llvm-14/include/c++/v1/vector ] || [ -f /usr/include/c++/v1/vector ] ||
  need+=(libc++-dev libc++abi-dev)
command -v ld.lld >/dev/null 2>&1 || need+=(lld)
command -v ld.gold >/dev/null 2>&1 || need+=(binutils)
command -v dpkg-shlibdeps >/dev/null 2>&1 || need+=(dpkg-dev)
command -v qemu-aarch64 >/dev/null 2>&1 || need+=(qemu-user)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
for arch in "${ARCHES[@]}"; do
  command -v "${TRIPLET[$arch]}-g++" >/dev/null 2>&1 || need+=("g++-${TRIPLET[$arch]}")
done
# shellcheck source=tools/install_needed.sh
source tools/install_needed.sh
InstallNeeded
Took install

# A check that goes wrong is counted, not the end of the script.
set +e
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Records one check (in $work/results, so that checks run in the background count too): the
# status of the test that decided it, then its name. Returns the status.
Check() {
  local verdict="ok  "
  [ "$1" = 0 ] || verdict=FAIL
  echo "$verdict $2" | tee -a "$work/results"
  return "$1"
}
# Runs a command quietly, showing its output's end when it fails; returns its status.
Quiet() {
  local log
  log=$(mktemp)
  "$@" >"$log" 2>&1
  local status=$?
  [ $status = 0 ] || tail -n 30 "$log" >&2
  rm -f "$log"
  return $status
}
# Prints the seconds since $1 (an $EPOCHREALTIME), to a hundredth.
Since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }'; }

expected=$(grep -o -E '^[0-9a-f]{64}$' README.md | head -n 1)
kiwipete='r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -'
# A GUI's session, the one windows.sh sends; it ends with its input (see windows.sh).
session=$(<tools/uci_session.txt)

# Writes what a build's programs print for the compared commands into $2.out.*, running them
# with the command prefix in $1 (qemu, or nothing); the time and speed fields are masked.
Outputs() {
  local run=$1 bin=$2 to=$3
  $run "$bin/chessbench" perft 5 >"$to.perft" 2>/dev/null
  $run "$bin/chessbench" perft --standard 5 "$kiwipete" >"$to.kiwipete" 2>/dev/null
  $run "$bin/chessbench" bench 2>/dev/null | sed -E 's/ ms [0-9]+ nps [0-9]+/ T/' >"$to.bench"
  $run "$bin/chess-uci" <<<"$session" | sed -E 's/ (time|nps) [0-9]+/ T/g' >"$to.uci"
}

# Tells whether file $1 is exactly one report of status $2, CR LF included, at an address of the
# form 004XXXXX: the statement's offset in the image from 0x400000.
IsReport() {
  [ "$(stat -c %s "$1")" = 31 ] &&
    grep -q -x "$(printf 'Runtime error %3d at 004' "$2")[0-9A-F]\{5\}"$'\r' "$1"
}

# Checks that the game of $2 (run with the prefix $1) fails on a full disk with status 28 and the
# same report on two runs, naming the build $3.
FullDiskCheck() {
  local run=$1 game=$2 name=$3 statuses=
  for attempt in 1 2; do
    $run "$game" </dev/null >/dev/full 2>"$work/full$attempt.err"
    statuses+=" $?"
  done
  [ "$statuses" = " 28 28" ] && IsReport "$work/full1.err" 28 &&
    cmp -s "$work/full1.err" "$work/full2.err"
  Check $? "$name: a full disk gives status 28 and the same report twice ($(tr -d '\r' \
    <"$work/full1.err"))"
}

echo "== Platforms: the x86-64 build the others are compared with"
phase=$SECONDS
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHESS_TESTS=OFF >/dev/null
fi
Quiet cmake --build build --target chess chessbench chess-uci
Outputs "" build/bin "$work/x86-64"
gameBytes=$(build/bin/chess </dev/null | wc -c)
echo "   $(tail -n 1 "$work/x86-64.bench")"
Took reference

echo "== Platforms: Clang"
# Builds and tests the tree with Clang in directory $1, with the CMake options that follow.
ClangBuild() {
  local out=$1
  shift
  local begin=$SECONDS
  CC=clang CXX=clang++ Quiet cmake -S . -B "$out" -G Ninja -DCHESS_TESTS=ON "$@" &&
    Quiet cmake --build "$out"
  Check $? "$out: Clang builds everything ($((SECONDS - begin)) s)"
  begin=$SECONDS
  ctest --test-dir "$out" --no-tests=error -j "$(nproc)" >"$work/ctest.log" 2>&1
  local status=$?
  [ $status = 0 ] || grep -E -A 30 'Failed|\*\*\*' "$work/ctest.log" | head -n 60 >&2
  Check $status \
    "$out: $(grep -E -o '[0-9]+% tests passed.*' "$work/ctest.log") ($((SECONDS - begin)) s)"
  [ "$("$out/bin/chess" </dev/null | sha256sum | cut -d ' ' -f 1)" = "$expected" ]
  Check $? "$out: the game hashes to the README's SHA-256"
}
phase=$SECONDS
ClangBuild build-clang -DCMAKE_BUILD_TYPE=Release
Took "Clang with libstdc++"
phase=$SECONDS
# GoogleTest built with libc++, since the system's is built with libstdc++.
libcxx=(-DCMAKE_CXX_FLAGS=-stdlib=libc++ -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++)
gtest=$root/build-clang-libcxx/googletest-install
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  CC=clang CXX=clang++ Quiet cmake -S /usr/src/googletest -B build-clang-libcxx/googletest -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" "${libcxx[@]}" &&
    Quiet cmake --build build-clang-libcxx/googletest &&
    Quiet cmake --install build-clang-libcxx/googletest
fi
ClangBuild build-clang-libcxx -DCMAKE_BUILD_TYPE=Release "${libcxx[@]}" \
  -DGTest_DIR="$gtest/lib/cmake/GTest"
Took "Clang with libc++"
phase=$SECONDS
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ClangBuild build-clang-sanitize \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O2" -DCHESS_SANITIZE=ON
Took "Clang with assertions and sanitizers"

echo "== Platforms: linkers"
phase=$SECONDS
FullDiskCheck "" build/bin/chess "GNU ld"
# gold takes GCC's link-time optimisation through its plugin, and leaves its version in a note;
# lld takes Clang's, and names itself in the comment section.
for linker in gold lld; do
  out=build-ld-$linker
  compiler=g++ mark='gold version'
  [ $linker = lld ] && compiler=clang++ mark='Linker: .*LLD'
  CXX=$compiler Quiet cmake -S . -B $out -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHESS_TESTS=OFF \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=$linker && Quiet cmake --build $out --target chess &&
    readelf -n -p .comment $out/bin/chess | grep -q "$mark" &&
    [ "$($out/bin/chess </dev/null | sha256sum | cut -d ' ' -f 1)" = "$expected" ]
  Check $? "$linker ($compiler) links the game, which hashes to the README's SHA-256"
  FullDiskCheck "" $out/bin/chess "$linker"
done
Took linkers

# The checks of one target under qemu, the game's time under emulation among them.
Emulated() {
  local arch=$1 out=build-$1 bin=build-$1/bin
  local run="qemu-${QEMU[$arch]} -L /usr/${TRIPLET[$arch]}"
  local begin=$EPOCHREALTIME
  local hash
  hash=$($run "$bin/chess" </dev/null | sha256sum | cut -d ' ' -f 1)
  local gameTime
  gameTime=$(Since "$begin")
  [ "$hash" = "$expected" ]
  Check $? "$arch: the game hashes to the README's SHA-256 (${gameTime} s emulated)"

  Outputs "$run" "$bin" "$work/$arch"
  for what in perft kiwipete bench uci; do
    diff "$work/$arch.$what" "$work/x86-64.$what" >&2
    Check $? "$arch: $what prints what x86-64 prints ($(tail -n 1 "$work/$arch.$what" | cut -c 1-40))"
  done

  FullDiskCheck "$run" "$bin/chess" "$arch"
  # A reader that has gone before the first write: a FIFO whose only reader is closed.
  rm -f "$work/fifo"
  mkfifo "$work/fifo"
  # shellcheck disable=SC2094  # the FIFO is opened twice on purpose, then its reader closed
  exec 5<>"$work/fifo" 6>"$work/fifo" 5<&-
  $run "$bin/chess" </dev/null >&6 2>"$work/gone.err"
  local gone=$?
  exec 6>&-
  [ $gone = 32 ] && IsReport "$work/gone.err" 32
  Check $? "$arch: a reader that has gone gives status 32 and the report on standard error"
  $run "$bin/chess" </dev/null >&- 2>"$work/none.err"
  [ $? = 105 ] && IsReport "$work/none.err" 105
  Check $? "$arch: no standard output gives status 105 and the report on standard error"
  $run "$bin/chess" <&- >"$work/noin.out" 2>"$work/noin.err"
  local noInput=$?
  [ $noInput = 104 ] && [ ! -s "$work/noin.err" ] &&
    [ "$(head -c "$gameBytes" "$work/noin.out" | sha256sum | cut -d ' ' -f 1)" = "$expected" ] &&
    tail -c +$((gameBytes + 1)) "$work/noin.out" >"$work/noin.report" &&
    IsReport "$work/noin.report" 104
  Check $? "$arch: no standard input gives the game, then status 104 and the report"

  if [ -n "${SHARDS[$arch]:-}" ]; then
    # Every test but the standard perft table and the differential shards not in this target's
    # share.
    local filter='-StandardPerft.*:'
    for shard in $(seq 0 19); do
      [[ " ${SHARDS[$arch]} " = *" $shard "* ]] || filter+="Shards/Differential.*/$shard:"
    done
    [ "$whole" = --whole ] && filter="*"
    begin=$SECONDS
    # Two halves side by side, one a core.
    local pids=()
    for half in 0 1; do
      GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$half $run "$bin/engine_tests" \
        --gtest_filter="$filter" >"$work/engine$half.log" 2>&1 &
      pids+=($!)
    done
    local engineFailed=0 count=0
    for half in 0 1; do
      if ! wait "${pids[$half]}" || ! grep -q '^\[  PASSED  \]' "$work/engine$half.log"; then
        engineFailed=1
        tail -n 40 "$work/engine$half.log" >&2
      fi
      count=$((count + $(grep -E -o '^\[  PASSED  \] [0-9]+' "$work/engine$half.log" |
        grep -E -o '[0-9]+$' || echo 0)))
    done
    Check $engineFailed "$arch: the engine tests pass ($count tests, $((SECONDS - begin)) s)"
  fi

  # The package: its architecture, its dependencies as the target names them (none when the
  # programs are linked statically), its files, and the game it installs.
  rm -rf "$out"/chess_*.deb "$work/$arch.package"
  local deb='' depends=''
  local libraries='^libc6 .*libstdc\+\+6'
  [ "$arch" = i386 ] && libraries='^$'
  (cd "$out" && Quiet cpack -G DEB) && deb=$(ls "$out"/chess_*_"$arch".deb) &&
    [ "$(dpkg-deb --field "$deb" Architecture)" = "$arch" ] &&
    depends=$(dpkg-deb --field "$deb" Depends) && [[ $depends =~ $libraries ]] &&
    ! [[ $depends =~ cross|: ]] && dpkg-deb -x "$deb" "$work/$arch.package" &&
    [ -x "$work/$arch.package/usr/bin/chess-uci" ] &&
    [ -s "$work/$arch.package/usr/share/man/man6/chess.6" ] &&
    [ "$($run "$work/$arch.package/usr/bin/chess" </dev/null | sha256sum | cut -d ' ' -f 1)" = \
      "$expected" ]
  Check $? "$arch: cpack makes ${deb##*/} (Depends: ${depends:-nothing}), whose game hashes right"
}

# Waits for the checks running in the background, if any, and shows what they printed.
checking=
FinishChecks() {
  [ -n "$checking" ] || return 0
  wait "$checking"
  cat "$work/checks.log"
  checking=
}

for arch in "${ARCHES[@]}"; do
  echo "== Platforms: $arch"
  phase=$SECONDS
  out=build-$arch
  targets=(chess chess-uci chessbench)
  options=(-DCHESS_TESTS=OFF)
  [ "$arch" = i386 ] && options+=(-DCMAKE_EXE_LINKER_FLAGS=-static)
  if [ -n "${SHARDS[$arch]:-}" ]; then
    # Debian has GoogleTest's sources, not its library for other processors.
    gtest=$root/$out/googletest-install
    if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
      Quiet cmake -S /usr/src/googletest -B "$out/googletest" -G Ninja \
        --toolchain "$root/cmake/debian-cross.cmake" -DCHESS_DEB_ARCH="$arch" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" &&
        Quiet cmake --build "$out/googletest" && Quiet cmake --install "$out/googletest"
    fi
    targets+=(engine_tests)
    options=(-DCHESS_TESTS=ON -DGTest_DIR="$gtest/lib/cmake/GTest")
  fi
  Quiet cmake -S . -B "$out" -G Ninja --toolchain cmake/debian-cross.cmake \
    -DCHESS_DEB_ARCH="$arch" -DCMAKE_BUILD_TYPE=Release "${options[@]}" &&
    Quiet cmake --build "$out" --target "${targets[@]}"
  built=$?
  FinishChecks
  if Check $built "$arch: ${TRIPLET[$arch]}-g++ builds ${targets[*]} ($((SECONDS - phase)) s)"; then
    # The checks under qemu, while the next target builds.
    (
      begin=$SECONDS
      Emulated "$arch"
      echo "   ($arch checks: $((SECONDS - begin)) s)"
    ) >"$work/checks.log" 2>&1 &
    checking=$!
  fi
done
FinishChecks

passed=$(grep -c '^ok' "$work/results")
failed=$(grep -c '^FAIL' "$work/results")
echo "== Platforms: $((SECONDS - started)) s in all"
echo "platforms: $passed passed, $failed failed"
[ "$failed" = 0 ]
