#!/usr/bin/env bash
# Builds the project and runs every test: first a normal optimised build (with one brief
# run of the benchmarks), then the same tests under AddressSanitizer with
# UndefinedBehaviorSanitizer, then under ThreadSanitizer, and finally a minute of
# coverage-guided fuzzing of the preset and chunk readers.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

# The embedded-editor tests open their windows on a virtual X server of their own.
display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$((display + 1))
done
# -noreset: a server resets when its last client goes, and a test that connects meanwhile
# has its connection reset; one test closes its connections just before the next opens.
Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X${display}" ] && break
  sleep 0.1
done
export DISPLAY=":${display}"

# Every effect reads the user's preferences when it is created: keep the tests away from
# the real ones.
export XDG_CONFIG_HOME="$PWD/build/test-config"
mkdir -p "$XDG_CONFIG_HOME"

run_suite() {
  local dir=$1
  shift
  echo "== Building in $dir ($*)"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVOLA_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  echo "== Testing in $dir"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

run_suite build/release -DTAVOLA_BUILD_BENCHMARKS=ON
# The benchmarks are built with the release tests and run once, briefly, so that none of
# them rots; their figures are measured on purpose, not here (bench/RESULTS.md).
echo "== Running the benchmarks once"
build/release/bench/tavola_bench --benchmark_min_time=0.01 >/dev/null
build/release/bench/tavola_fixed_work fast 44100 sat_on 512 44100 >/dev/null
run_suite build/asan-ubsan -DTAVOLA_SANITIZE=address,undefined
# Some tests fork a child that creates instances, and every instance's diagnostic writer is
# a thread: ThreadSanitizer lets a child of a threaded parent start threads only when asked.
export TSAN_OPTIONS="die_after_fork=0${TSAN_OPTIONS:+ $TSAN_OPTIONS}"
run_suite build/tsan -DTAVOLA_SANITIZE=thread

echo "== Fuzzing the preset and chunk readers"
bash scripts/fuzz.sh 60
