#!/usr/bin/env bash
# The program's main job: the built-in default blade written as a model file.
# It runs with a home folder of its own, so the user's analysis settings
# file is never touched.
set -euo pipefail
build=${1:-build}
demo="$build/demo"
mkdir -p "$demo/home"
HOME="$(cd "$demo/home" && pwd)" "$build/folvane" -autowebopt "$demo/no-input.fvm" "$demo/NewBlade.fvm" 2>&1
echo "The default blade is in $demo/NewBlade.fvm"
