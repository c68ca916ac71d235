#!/usr/bin/env bash
# Builds the plug-in and its manual and installs them for the current user: Tavola.so into
# ~/.vst, where LinuxVST hosts look, the LV2 bundle Tavola.lv2 into ~/.lv2, where LV2 hosts
# look, and the manual where the panel's manual key opens it,
# "Tavola Audio/ZEB Tavola/ZEB Tavola Manual.pdf" in the documents folder. With --tools,
# also tavola-render, tavola-preset and tavola-host into ~/.local/bin.
#
#   bash scripts/install.sh [--tools]
set -euo pipefail
cd "$(dirname "$0")/.."
tools=no
case "${1:-}" in
  "") ;;
  --tools) tools=yes ;;
  *) echo "usage: bash scripts/install.sh [--tools]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
bash scripts/configure.sh release
targets=(Tavola Tavola_lv2 tavola_manual_pdf)
[ "$tools" = no ] || targets+=(tavola-render tavola-preset tavola-host)
cmake --build build/release -j"$jobs" --target "${targets[@]}"

documents=""
if command -v xdg-user-dir >/dev/null 2>&1; then
  documents=$(xdg-user-dir DOCUMENTS 2>/dev/null || true)
fi
# xdg-user-dir answers the home folder for a documents folder never set up.
if [ -z "$documents" ] || [ "$documents" = "$HOME" ]; then
  documents="$HOME/Documents"
fi
manual_folder="$documents/Tavola Audio/ZEB Tavola"

# The build's install rules put the plug-in and the manual in a staging folder first.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install build/release --prefix "$stage" --component plugin >/dev/null
cmake --install build/release --prefix "$stage" --component manual >/dev/null
plugin=$(find "$stage" -path '*/vst/Tavola.so' -print -quit)
bundle=$(find "$stage" -type d -name Tavola.lv2 -print -quit)
manual=$(find "$stage" -name 'ZEB Tavola Manual.pdf' -print -quit)

mkdir -p "$HOME/.vst" "$manual_folder"
# Copied beside the old file and renamed over it: a host that has the old one loaded keeps
# a whole file, and an interrupted copy leaves nothing half-written.
install -m 0644 "$plugin" "$HOME/.vst/.Tavola.so.partial"
mv -f "$HOME/.vst/.Tavola.so.partial" "$HOME/.vst/Tavola.so"
# The LV2 bundle is a folder: the new one is copied whole beside the old, then swapped in.
mkdir -p "$HOME/.lv2"
rm -rf "$HOME/.lv2/.Tavola.lv2.partial" "$HOME/.lv2/.Tavola.lv2.old"
cp -R "$bundle" "$HOME/.lv2/.Tavola.lv2.partial"
if [ -e "$HOME/.lv2/Tavola.lv2" ]; then mv "$HOME/.lv2/Tavola.lv2" "$HOME/.lv2/.Tavola.lv2.old"; fi
mv "$HOME/.lv2/.Tavola.lv2.partial" "$HOME/.lv2/Tavola.lv2"
rm -rf "$HOME/.lv2/.Tavola.lv2.old"
install -m 0644 "$manual" "$manual_folder/.manual.partial"
mv -f "$manual_folder/.manual.partial" "$manual_folder/ZEB Tavola Manual.pdf"

echo "Installed $HOME/.vst/Tavola.so"
echo "Installed $HOME/.lv2/Tavola.lv2"
echo "Installed $manual_folder/ZEB Tavola Manual.pdf"
if [ "$tools" = yes ]; then
  cmake --install build/release --prefix "$stage" --component tools >/dev/null
  mkdir -p "$HOME/.local/bin"
  for tool in tavola-render tavola-preset tavola-host; do
    install -m 0755 "$(find "$stage" -path "*/bin/$tool" -print -quit)" "$HOME/.local/bin/.$tool.partial"
    mv -f "$HOME/.local/bin/.$tool.partial" "$HOME/.local/bin/$tool"
    echo "Installed $HOME/.local/bin/$tool"
  done
  case ":$PATH:" in
    *":$HOME/.local/bin:"*) ;;
    *) echo "Note: add ~/.local/bin to your PATH to run the tools by name." ;;
  esac
fi
command -v xdg-open >/dev/null 2>&1 ||
  echo "Note: the manual key needs xdg-open (apt-get install xdg-utils)."
command -v zenity >/dev/null 2>&1 || command -v kdialog >/dev/null 2>&1 ||
  echo "Note: the preset strip's file dialogs need zenity or kdialog (apt-get install zenity)."
