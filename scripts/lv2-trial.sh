#!/usr/bin/env bash
# A trial of the LV2 bundle's panel in jalv (its GTK 3 host) on a virtual display: jalv on
# JACK's dummy backend loads Tavola.lv2 from the build, the panel must open embedded at
# 720 x 352, SAT is clicked with xdotool, and the whole start, click and quit is repeated
# 20 times; any X error or crash in jalv's output fails the trial. Screenshots of the first
# and last rounds go to out/lv2/ when ImageMagick's import is there.
#
#   bash scripts/lv2-trial.sh
#
# Needs root (or sudo) to install jalv, JACK and the X tools the first time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

packages=(jalv jackd2 xdotool x11-utils xvfb)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}"
fi

bash scripts/configure.sh release
cmake --build build/release -j"$(nproc)" --target Tavola_lv2 >/dev/null

out="$root/out/lv2"
mkdir -p "$out"
work=$(mktemp -d /tmp/tavola-lv2-XXXXXX)
export HOME="$work" XDG_CONFIG_HOME="$work/.config" LV2_PATH="$root/build/release/lv2-bundles"
export JACK_DEFAULT_SERVER="tavola-trial-$$"

display=90
while [ -e "/tmp/.X${display}-lock" ]; do display=$((display + 1)); done
Xvfb ":${display}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids=($!)
export DISPLAY=":${display}"
jackd -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
pids+=($!)
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 2

uri=http://www.tavola.audio/lv2/tavola
for round in $(seq 1 20); do
  jalv.gtk3 "$uri" >"$work/jalv.log" 2>&1 &
  jalv=$!
  panel=""
  for _ in $(seq 50); do
    panel=$(xwininfo -root -tree 2>/dev/null | awk '/ 720x352\+0\+0 /{print $1}' | tail -1)
    [ -n "$panel" ] && break
    sleep 0.2
  done
  if [ -z "$panel" ]; then
    echo "round $round: no 720 x 352 panel appeared" >&2
    cat "$work/jalv.log" >&2
    exit 1
  fi
  # SAT, then give the idle time to draw the lamp.
  xdotool mousemove --window "$panel" 630 100 click 1
  sleep 0.5
  if [ "$round" = 1 ] || [ "$round" = 20 ]; then
    command -v import >/dev/null && import -window root "$out/jalv-round-$round.png" || true
  fi
  kill "$jalv"
  wait "$jalv" 2>/dev/null || true
  if grep -E -i "X Error|BadWindow|BadMatch|segmentation|abort" "$work/jalv.log" >&2; then
    echo "round $round: jalv reported the errors above" >&2
    exit 1
  fi
done
echo "jalv: the panel opened at 720 x 352 and took a click in each of 20 rounds"
