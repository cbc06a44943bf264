#!/usr/bin/env bash
# The program's main job: the built-in default blade, analysed for its first
# load case by CalculiX, and its result table. It runs with a home folder
# (and so analysis settings) of its own: the user's settings file is never
# touched.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/home" "$demo/work"
printf '%s\nccx\n2\n2\n' "$demo/work" > "$demo/home/FVanalysis.setting"
cd "$demo"
export HOME="$demo/home"
"$build/folvane" -autowebopt no-input.fvm NewBlade.fvm > resave.log 2>&1
echo "Analysing the default blade (load case 1) with CalculiX ..."
"$build/folvane" -analyse NewBlade.fvm 1 > analysis.log 2>&1
grep -E "^(Reading blade file|Starting analysis|Analysis finished|Reading results finished|Cannot read the results)" analysis.log
echo
cat NewBlade-1.out
"$build/folvane" -vtk NewBlade.fvm NewBlade-1.vtu 1 > vtk.log 2>&1
"$build/folvane" -plot NewBlade-1.svg NewBlade-1.out > plot.log 2>&1
echo
echo "The result table is in $demo/NewBlade-1.out (solver files in $demo/work, log in $demo/analysis.log);"
echo "open $demo/NewBlade-1.vtu in ParaView (the deformed blade: Warp By Vector on Displacement, colour by VonMises)"
echo "and $demo/NewBlade-1.svg for the curves along the span."
