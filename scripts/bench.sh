#!/usr/bin/env bash
# Builds and runs the benchmarks (after scripts/test.sh has set the build up).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/configure.sh
cmake --build build --parallel "$(nproc)"
for bench in build/bench/bench_*; do
  [ -x "$bench" ] && "$bench" "$@"
done
