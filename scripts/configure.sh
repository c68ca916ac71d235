#!/usr/bin/env bash
# Configures build/PRESET from a preset of CMakePresets.json, quietly:
#
#   bash scripts/configure.sh PRESET [CMAKE_ARGUMENTS...]
#
# A build folder made by another generator (an older checkout's Makefiles) is made anew,
# since CMake refuses to change the generator of a folder.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=$1
shift
cache="build/$preset/CMakeCache.txt"
if [ -f "$cache" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache"; then
  rm -rf "build/$preset"
fi
cmake --preset "$preset" "$@" >/dev/null
