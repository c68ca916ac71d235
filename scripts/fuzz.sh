#!/usr/bin/env bash
# Fuzzes the preset image and chunk readers with libFuzzer for a bounded time.
#
#   bash scripts/fuzz.sh [SECONDS]      (default 60 seconds in all)
#
# Builds with clang in build/fuzz (AddressSanitizer and UndefinedBehaviorSanitizer),
# starts from the seeds in fuzz/corpus/ and keeps what it learns in build/fuzz/corpus/.
# Fails when the fuzzer finds a crash (a sanitizer report, or one of the readers' promises
# broken, see fuzz/ImageReaderFuzzer.cpp); the input is then in build/fuzz/artifacts/ and
# replaying it shows the report in full:  build/fuzz/fuzz/image_reader_fuzzer FILE
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

build=build/fuzz
bash scripts/configure.sh fuzz
cmake --build --preset fuzz -j"$(nproc 2>/dev/null || echo 2)"

mkdir -p "$build/corpus" "$build/artifacts"
# Every effect the fuzzer makes reads the user's preferences: keep it away from the real
# ones.
export XDG_CONFIG_HOME="$PWD/$build/config"
mkdir -p "$XDG_CONFIG_HOME"
# -close_fd_mask=2 silences the effect's diagnostic line per parameter change; libFuzzer
# and the sanitizers still report on their own copy of standard error.
if ! "$build/fuzz/image_reader_fuzzer" \
  -max_total_time="$seconds" \
  -max_len=12000 \
  -timeout=10 \
  -close_fd_mask=2 \
  -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/" \
  "$build/corpus" fuzz/corpus; then
  echo "== The fuzzer found a crash: inputs in $build/artifacts/;" \
    "replay one with $build/fuzz/image_reader_fuzzer FILE" >&2
  exit 1
fi
echo "== No crash in $seconds seconds"
