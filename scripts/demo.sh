#!/usr/bin/env bash
# Builds the plug-in and shows it as a host sees it: identity, latency, capabilities,
# programs and the parameter table.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j"$jobs" --target Tavola tavola-host
echo
echo "Built build/release/Tavola.so (copy it into ~/.vst to use it in a host)."
echo
./build/release/tools/tavola-host "$@" build/release/Tavola.so 2>/dev/null
