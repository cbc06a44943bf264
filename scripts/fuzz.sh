#!/usr/bin/env bash
# Fuzzes the model-file, JSON and windIO readers with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#   scripts/fuzz.sh [seconds per target, default 600]
# Corpora stay in build-fuzz/corpus-<target>; an input that fails is kept
# as build-fuzz/crash-* and stops the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
scripts/install-deps.sh
if ! command -v clang++ >/dev/null; then
  sudo=""; [[ $(id -u) -ne 0 ]] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang >/dev/null
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DFOLVANE_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"
cd build-fuzz
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=minimal
for target in fuzz_modelfile fuzz_json fuzz_windio; do
  mkdir -p corpus-$target
  max_len=65536
  # The reference blade seeds the windIO reader; it is longer than the others.
  if [[ $target == fuzz_windio ]]; then
    cp ../../shared/data/windio/IEA-15-240-RWT.yaml corpus-$target/ 2>/dev/null || true
    max_len=262144
  fi
  FOLVANE_FUZZ_SEEDS=$PWD/corpus-$target tests/fuzz/$target -max_total_time="$seconds" -rss_limit_mb=4096 \
    -timeout=30 -max_len=$max_len -print_final_stats=1 corpus-$target 2>&1 | tail -20
done
