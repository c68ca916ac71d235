#!/usr/bin/env bash
# Instructions per stereo frame of the effect's processing, reference signal path against fast,
# counted by callgrind over 16384 frames after a warm-up: a figure that does not depend on the
# load of the machine.
#
#   bench/callgrind.sh [BUILD_DIR]     (default build-fast; needs its tavola_fixed_work target)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fast}
program=$build/bench/tavola_fixed_work
[ -x "$program" ] || { echo "build $program first (-DTAVOLA_BUILD_BENCHMARKS=ON)" >&2; exit 1; }

frames=16384
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

count() {  # kind rate sat block gliding|"" [extra] -> instructions per frame
  valgrind --tool=callgrind --callgrind-out-file="$out/cg.out" \
    --toggle-collect='measuredBlocks*' "$program" ${6:-} "$1" "$2" "$3" "$4" "$frames" "$5" \
    >/dev/null 2>"$out/log" ||
    { cat "$out/log" >&2; exit 1; }
  local total
  total=$(awk '/^totals:/ {print $2}' "$out/cg.out")
  awk -v t="$total" -v f="$frames" 'BEGIN {printf "%.0f", t / f}'
}

# fast: the widest instruction set this processor runs; SSE2: the fast path as on a processor
# without AVX2.
printf '%-26s %10s %10s %8s %10s %8s\n' "case (stereo float)" reference fast ratio SSE2 ratio
for args in "44100 sat_on 512" "44100 sat_off 512" "44100 sat_on 64" "96000 sat_on 512" \
  "192000 sat_on 512" "44100 sat_on 512 gliding"; do
  set -- $args
  ref=$(count reference "$1" "$2" "$3" "${4:-}")
  fast=$(count fast "$1" "$2" "$3" "${4:-}")
  sse2=$(count fast "$1" "$2" "$3" "${4:-}" --fast_instruction_set=sse2)
  printf '%-26s %10s %10s %7.2fx %10s %7.2fx\n' "$args" "$ref" "$fast" \
    "$(awk -v a="$ref" -v b="$fast" 'BEGIN {print a / b}')" "$sse2" \
    "$(awk -v a="$ref" -v b="$sse2" 'BEGIN {print a / b}')"
done
