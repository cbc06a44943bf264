#!/usr/bin/env bash
# Screenshots of the main window, every editor, the FE view, the default
# blade's results view and span plots after a CalculiX run from the window,
# taken on a virtual X display with ImageMagick's import; then the span
# plots as -plot writes them and, when ParaView is installed, its pictures
# of the blade's .vtu (scripts/paraview-render.sh).
# Usage: scripts/screenshots.sh [folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-build/screenshots}" && cd "${1:-build/screenshots}" && pwd)
cmake --build build --target folvane_screens >/dev/null
cmake --build build --target folvane >/dev/null
home=$(mktemp -d)
mkdir -p "$home/work"
printf '%s\nccx\n2\n2\n' "$home/work" > "$home/FVanalysis.setting"
HOME="$home" xvfb-run -a -s "-screen 0 1280x1024x24" build/folvane_screens "$out" 2>/dev/null
root=$(pwd)
HOME="$home" build/folvane -autowebopt none.fvm "$home/NewBlade.fvm" >/dev/null 2>&1
(cd "$home/work" && HOME="$home" "$root/build/folvane" -analyse "$home/NewBlade.fvm" 1 >/dev/null 2>&1)
build/folvane -plot "$out/span-plots.svg" "$home/work/NewBlade-1.out" >/dev/null 2>&1
build/folvane -plot "$out/span-plots.png" "$home/work/NewBlade-1.out" >/dev/null 2>&1
rm -rf "$home"
if command -v pvpython >/dev/null; then
  scripts/paraview-render.sh build
else
  echo "ParaView is not installed: scripts/paraview-render.sh installs it and renders the blade's .vtu"
fi
