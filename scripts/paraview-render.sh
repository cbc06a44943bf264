#!/usr/bin/env bash
# The default blade analysed for load case 1, written as a ParaView file and
# rendered by ParaView itself (pvpython under a virtual display) into
# build/screenshots/paraview-vonmises.png and paraview-thickness.png.
# ParaView is a large install and Debian's python3-paraview replaces
# python3-vtk9, which the test suite reads files with: this script installs
# it when missing, and ./test.sh puts python3-vtk9 back.
# Usage: scripts/paraview-render.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
if ! command -v pvpython >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends python3-paraview >/dev/null
fi
out="$build/screenshots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/home"
printf '%s\nccx\n2\n2\n' "$work" > "$work/home/FVanalysis.setting"
(
  cd "$work"
  export HOME="$work/home"
  "$build/folvane" -autowebopt no-input.fvm NewBlade.fvm > resave.log 2>&1
  "$build/folvane" -vtk NewBlade.fvm NewBlade-1.vtu 1 > vtk.log 2>&1
)
xvfb-run -a -s "-screen 0 1920x1080x24" pvpython scripts/paraview_render.py "$work/NewBlade-1.vtu" \
  "$out/paraview-vonmises.png" VonMises 20 2>/dev/null
xvfb-run -a -s "-screen 0 1920x1080x24" pvpython scripts/paraview_render.py "$work/NewBlade-1.vtu" \
  "$out/paraview-thickness.png" Thickness 0 2>/dev/null
echo "ParaView pictures in $out: paraview-vonmises.png, paraview-thickness.png"
