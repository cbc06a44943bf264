#!/usr/bin/env bash
# Installs what is missing, builds Folvane (Release, into build/) and runs
# its main job.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
scripts/main-job.sh build
