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
(cd build && ctest --output-on-failure -j"$(nproc)")
[[ "${FOLVANE_SKIP_SANITIZERS:-0}" == 1 ]] && exit 0
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
      -DFOLVANE_SANITIZE=ON -DFOLVANE_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
cd build-asan
ctest --output-on-failure -j"$(nproc)"
