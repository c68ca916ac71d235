#!/usr/bin/env bash
# Builds the plug-in and the offline renderer, shows the plug-in briefly as a host sees it,
# then renders a test signal through every factory preset and plots the presets' magnitude
# responses, measured through the built plug-in itself.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
bash scripts/configure.sh release
cmake --build build/release -j"$jobs" --target Tavola tavola-host tavola-render tavola-preset
echo
echo "Built build/release/Tavola.so (copy it into ~/.vst to use it in a host)."
echo
echo "== The plug-in as a host sees it (build/release/tools/tavola-host shows the rest)"
# Identity, channels, flags, latency, tail and editor size: the report up to the editor line.
./build/release/tools/tavola-host "$@" build/release/Tavola.so 2>/dev/null | sed -n '1,/^Editor size/p'
echo
echo "== The editor panel: build/release/tools/tavola-host --editor-shot out/demo/panel.png"
mkdir -p out/demo
./build/release/tools/tavola-host --editor-shot out/demo/panel.png --set LFgain=3dB \
  --set HFgain=2dB --set SAT=On build/release/Tavola.so 2>/dev/null
echo "Wrote out/demo/panel.png (the panel as the editor draws it, with a few knobs turned)."
echo
echo "== Rendering the demo: build/release/tools/tavola-render --demo out/demo"
./build/release/tools/tavola-render --demo out/demo
echo
echo "Listen to out/demo/input.wav and its renders out/demo/01-Default.wav ... 07-Bright-Vox.wav;"
echo "out/demo/responses.png plots the seven presets' magnitude responses."
