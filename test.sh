#!/usr/bin/env bash
# Installs what is missing, builds Folvane and runs the whole suite twice:
# the Release build, then a build under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/), where any report fails a test.
# FOLVANE_SKIP_SANITIZERS=1 runs the Release suite only.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
# A Slurm cluster of this machine for the optimisation's cluster test,
# stopped however the suite ends.
slurm_dir=$(mktemp -d /tmp/folvane-slurm.XXXXXX)
slurm_script=$PWD/scripts/slurm-single-node.sh
trap '"$slurm_script" stop "$slurm_dir" || true; rm -rf "$slurm_dir"' EXIT
slurm_conf=$("$slurm_script" start "$slurm_dir" | tail -n 1)
export "$slurm_conf"
(cd build && ctest --output-on-failure -j"$(nproc)")
"$slurm_script" stop "$slurm_dir"
unset SLURM_CONF
[[ "${FOLVANE_SKIP_SANITIZERS:-0}" == 1 ]] && exit 0
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
      -DFOLVANE_SANITIZE=ON -DFOLVANE_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
cd build-asan
ctest --output-on-failure -j"$(nproc)"
