#!/usr/bin/env bash
# Builds the project and runs every test: an optimised build (with one brief run of the
# benchmarks), the same tests under AddressSanitizer with UndefinedBehaviorSanitizer, the
# threaded suites under ThreadSanitizer, the fuzzer's seed corpus in each of them, and a
# minute of coverage-guided fuzzing of the preset and chunk readers.
#
# The configurations are the presets of CMakePresets.json (the sanitizer builds are -O1 with
# line tables only, which is all a report needs, at half the build time). Each next build
# runs while the tests of the one before run, which spend most of their time waiting on
# windows, helper programs and threads; a build's output goes to build/<preset>.log and is
# shown when it fails.
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
background=()
cleanup() {
  for pid in "${background[@]}"; do kill "$pid" 2>/dev/null || true; done
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X${display}" ] && break
  sleep 0.1
done
export DISPLAY=":${display}"

# Every effect reads the user's preferences when it is created: keep the tests away from
# the real ones.
export XDG_CONFIG_HOME="$PWD/build/test-config"
mkdir -p "$XDG_CONFIG_HOME"
# Some tests fork a child that creates instances, and every instance's diagnostic writer is
# a thread: ThreadSanitizer lets a child of a threaded parent start threads only when asked.
export TSAN_OPTIONS="die_after_fork=0${TSAN_OPTIONS:+ $TSAN_OPTIONS}"

configure() {
  local preset=$1
  shift
  bash scripts/configure.sh "$preset" -DTAVOLA_WERROR=ON "$@"
}

build() {
  local preset=$1
  echo "== Building $preset"
  if ! cmake --build --preset "$preset" -j"$jobs" >"build/$preset.log" 2>&1; then
    tail -n 60 "build/$preset.log"
    echo "== The $preset build failed (build/$preset.log)" >&2
    return 1
  fi
}

# Starts a build in the background; finish_build waits for it and fails with it.
start_build() {
  build "$1" &
  background+=($!)
  building=$!
}
finish_build() {
  wait "$building"
}

run_tests() {
  echo "== Testing $1"
  ctest --preset "$1" -j"$jobs"
}

configure release -DTAVOLA_BUILD_BENCHMARKS=ON
configure asan-ubsan
configure tsan
configure fuzz -DTAVOLA_WERROR=OFF

build release
start_build asan-ubsan
run_tests release
# The benchmarks are built with the release tests and run once, briefly, so that none of
# them rots; their figures are measured on purpose, not here (bench/RESULTS.md).
echo "== Running the benchmarks once"
build/release/bench/tavola_bench --benchmark_min_time=0.01 >/dev/null
build/release/bench/tavola_fixed_work fast 44100 sat_on 512 44100 >/dev/null
finish_build

start_build tsan
run_tests asan-ubsan
finish_build

start_build fuzz
run_tests tsan
finish_build

echo "== Fuzzing the preset and chunk readers"
bash scripts/fuzz.sh 60
