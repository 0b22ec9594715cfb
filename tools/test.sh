#!/usr/bin/env bash
# Builds everything and runs every test twice: in the Release build, then in a build with
# assertions, AddressSanitizer and UndefinedBehaviorSanitizer; then builds the UCI engine and its
# tests, the ones with a reading thread, with ThreadSanitizer and runs them again. Each build is
# configured with the tests on, whatever an earlier configuration (tools/play.sh turns them off)
# left in its cache, and ctest fails when it finds no test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/check_deps.sh --tests
jobs=$(nproc 2>/dev/null || echo 2)

echo "== Release build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHESS_TESTS=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"

echo "== Sanitizer build (assertions, ASan, UBSan) and tests"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O2" \
  -DCHESS_SANITIZE=ON -DCHESS_TESTS=ON >/dev/null
cmake --build build-sanitize
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j "$jobs"

echo "== ThreadSanitizer build of the UCI engine and its tests"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O2" \
  -DCHESS_SANITIZE_THREAD=ON -DCHESS_TESTS=ON >/dev/null
cmake --build build-tsan --target uci_tests
# Any report fails the test that caused it, in the engine under test or in the test itself.
TSAN_OPTIONS="halt_on_error=1 exitcode=66" \
  ctest --test-dir build-tsan --output-on-failure --no-tests=error -j "$jobs" -R '^Uci'
