#!/usr/bin/env bash
# Regenerates the default blade's golden files from a build (default build/):
# its CalculiX deck and result table of load case 1, as `folvane -analyse`
# writes them. Review the diff it prints before committing the new files.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home" "$tmp/work"
printf '%s\nccx\n2\n1\n' "$tmp/work" > "$tmp/home/FVanalysis.setting"
cd "$tmp"
export HOME="$tmp/home"
"$build/folvane" -autowebopt no-input.fvm blade.fvm > resave.log 2>&1
if ! "$build/folvane" -analyse blade.fvm 1 > analysis.log 2>&1; then
  cat analysis.log
  exit 1
fi
cp work/NewBlade.inp "$top/tests/blade/golden/NewBlade-1.inp"
cp NewBlade-1.out "$top/tests/blade/golden/NewBlade-1.out"
git -C "$top" diff --stat -- tests/blade/golden
