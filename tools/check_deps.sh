#!/usr/bin/env bash
# Makes sure the build tools are here: a C++20 compiler, CMake, Ninja and GoogleTest. On a Debian
# machine where we are root, missing packages are installed; otherwise we say what is missing.
set -euo pipefail

need=()
command -v g++ >/dev/null 2>&1 || need+=(g++)
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v ninja >/dev/null 2>&1 || need+=(ninja-build)
if [ "${1:-}" = "--tests" ] && [ ! -f /usr/include/gtest/gtest.h ]; then need+=(libgtest-dev); fi

if [ ${#need[@]} -gt 0 ]; then
  if command -v apt-get >/dev/null 2>&1 && [ "$(id -u)" = 0 ]; then
    echo "Installing ${need[*]} ..." >&2
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
  else
    echo "error: missing ${need[*]}; install them (on Debian: apt-get install ${need[*]}) and run again" >&2
    exit 1
  fi
fi
