#!/usr/bin/env bash
# A trial of the plug-in's editor in Ardour 7 on a virtual display, automated as far as a
# mouse can be: Ardour on its dummy audio backend with a session whose one track holds
# ZEB Tavola, the plug-in window opened from the mixer strip, a switch clicked, a knob
# dragged, a name typed, the preset menu opened and used, the window hidden and shown ten
# times, and the plug-in deleted while its window is open. Screenshots go to out/ardour/
# (out/ardour-lv2/ for the LV2 bundle).
#
#   bash scripts/ardour-trial.sh        # Tavola.so as a LinuxVST plug-in
#   bash scripts/ardour-trial.sh lv2    # the Tavola.lv2 bundle; the session is also saved
#                                       # after the click and drag, and the port values
#                                       # Ardour stored must show them
#
# Needs root (or sudo) to install Ardour and the X tools the first time. The clicks are
# placed for Ardour 7.3's default layout on a 1600 x 1200 screen.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
format=${1:-vst}
case "$format" in
  vst) plugin_id='"ZEB Tavola", ARDOUR.PluginType.LXVST'; target=Tavola; out="$root/out/ardour" ;;
  lv2)
    plugin_id='"http://www.tavola.audio/lv2/tavola", ARDOUR.PluginType.LV2'
    target=Tavola_lv2
    out="$root/out/ardour-lv2"
    ;;
  *) echo "usage: bash scripts/ardour-trial.sh [vst|lv2]" >&2; exit 2 ;;
esac

packages=(ardour xdotool x11-utils imagemagick xvfb)
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
cmake --build build/release -j"$(nproc)" --target "$target"

mkdir -p "$out"
home=$(mktemp -d /tmp/tavola-ardour-XXXXXX)
export HOME="$home" LXVST_PATH="$home/.vst" LV2_PATH="$home/.lv2"
mkdir -p "$home/.vst" "$home/.lv2" "$home/.config/ardour7"
if [ "$format" = vst ]; then
  cp build/release/Tavola.so "$home/.vst/"
else
  cp -r build/release/lv2-bundles/Tavola.lv2 "$home/.lv2/"
fi
# Ardour's own answers to its first-run questions, and its dummy backend shown.
cat > "$home/.config/ardour7/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="default-session-parent-dir" value="/tmp"/>
  </Config>
</Ardour>
XML
touch "$home/.config/ardour7/.a7"  # the marker of a finished first-run wizard

# Ardour notes a new LinuxVST plug-in at its first start and indexes it with its scanner
# (which the GUI would offer to run); an LV2 bundle needs no scan. Then the session is made
# with Ardour's Lua tool.
if [ "$format" = vst ]; then
  cat > "$home/discover.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
local s = create_session("$home/discovery", "discovery", 48000)
ARDOUR.LuaAPI.new_plugin(s, $plugin_id, "")
close_session()
LUA
  (cd "$home" && ardour7-lua discover.lua >/dev/null 2>&1 || true)
  LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -f "$home/.vst/Tavola.so" \
    2>/dev/null | grep -E "Found|Saved" || true
fi
cat > "$home/make.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
local s = create_session("$home/session", "trial", 48000)
local t = s:new_audio_track(2, 2, nil, 1, "Mix", ARDOUR.PresentationInfo.max_order,
                            ARDOUR.TrackMode.Normal, true):front()
local p = ARDOUR.LuaAPI.new_plugin(s, $plugin_id, "")
assert(not p:isnil(), "Ardour does not know ZEB Tavola")
t:add_processor_by_index(p, 0, nil, true)
s:save_state("", false, false, false, false, false)
close_session()
LUA
(cd "$home" && ardour7-lua make.lua 2>/dev/null | grep -v "^Tavola::" || true)

display=70
while [ -e "/tmp/.X${display}-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1600x1200x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
ardour=""
# Only what this script started: Ardour runs in a process group of its own (its scanner
# and helpers with it), which ends as a whole.
cleanup() {
  if [ -n "$ardour" ]; then kill -TERM -- "-$ardour" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
sleep 1
setsid ardour -n -a "$home/session/trial.ardour" >"$out/ardour.log" 2>&1 &
ardour=$!

shot() { import -window root "$out/$1.png"; echo "screenshot ${out#"$root"/}/$1.png"; }
# Clicks at screen pixels.
click() { xdotool mousemove "$1" "$2" sleep 0.3 click --repeat "${3:-1}" --delay 80 1; sleep "${4:-2}"; }
alive() { kill -0 $ardour 2>/dev/null || { echo "Ardour is gone"; exit 1; }; }

sleep 25
shot 01-start
click 971 639 1 5       # OK to "Engine I/O device has changed"
click 806 458           # Audio System
click 790 502           # None (Dummy)
click 1019 760 1 14     # Start
click 1325 72 1 3       # the mixer
click 330 207 2 4       # double click on ZEB Tavola in the strip
alive
panel=$(xwininfo -root -tree | grep "720x352" | head -1 | awk '{print $NF}')
echo "the editor's window is at $panel on the screen"
px=$(echo "$panel" | cut -d+ -f2); py=$(echo "$panel" | cut -d+ -f3)
shot 02-editor
click $((px + 634)) $((py + 99))  # SAT
xdotool mousemove $((px + 638)) $((py + 250)) mousedown 1 sleep 0.2 \
  mousemove $((px + 638)) $((py + 200)) sleep 0.2 mousemove $((px + 638)) $((py + 150)) \
  sleep 0.2 mouseup 1
sleep 1
if [ "$format" = lv2 ]; then
  # What Ardour itself holds: the session saved now must store the clicked and dragged
  # values among its port values.
  session="$home/session/trial.ardour"
  before=$(stat -c %Y "$session")
  sleep 1
  click 1000 900 1 1  # Ardour's own window (an empty part of the mixer) takes the keys
  xdotool key ctrl+s
  sleep 3
  shot 02-saved
  after=$(stat -c %Y "$session")
  [ "$after" != "$before" ] || { echo "Ardour did not save the session"; exit 1; }
  grep -o '<Port symbol="[a-z_]*" value="[^"]*"/>' "$session" >"$out/ports-after-click.txt"
  cat "$out/ports-after-click.txt"
  grep -q 'symbol="sat" value="1"' "$session" || { echo "Ardour did not store sat = 1"; exit 1; }
fi
click $((px + 233)) $((py + 343)) 1 1  # the name field
xdotool type --delay 60 "Ardour take"
xdotool key Return
sleep 1
click $((px + 299)) $((py + 343))      # the preset menu
shot 03-menu
for _ in 1 2 3 4 5; do xdotool key Down; sleep 0.2; done
xdotool key Return
sleep 1
shot 04-chosen
alive
plugin=$(xwininfo -root -tree | grep "Mix: ZEB Tavola" | awk '{print $1}')
xdotool windowmove "$plugin" 700 600
sleep 1
for _ in $(seq 10); do click 330 207 2 1; done  # hidden and shown five times each
alive
click 330 207 1 1                              # select the plug-in in the strip ...
xdotool key Delete                             # ... and delete it with its window open
sleep 3
alive
shot 05-deleted
echo "Ardour ran the whole trial; screenshots and Ardour's log are in ${out#"$root"/}/"
