#!/usr/bin/env bash
# Screenshots of the main window, every editor and the FE view, taken on a
# virtual X display with ImageMagick's import. Usage: scripts/screenshots.sh [folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-build/screenshots}" && cd "${1:-build/screenshots}" && pwd)
cmake --build build --target folvane_screens >/dev/null
home=$(mktemp -d)
HOME="$home" xvfb-run -a -s "-screen 0 1280x1024x24" build/folvane_screens "$out" 2>/dev/null
rm -rf "$home"
