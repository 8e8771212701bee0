#!/usr/bin/env bash
# Builds and runs the benchmarks (after scripts/test.sh has set the build up).
# Every benchmark program runs, even after one fails; those that failed are
# named at the end and the script then exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/configure.sh
cmake --build build --parallel "$(nproc)"

ran=0
failed=()
for bench in build/bench/bench_*; do
  # Only the programs: the build also leaves folders named bench_*_autogen.
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  ran=$((ran + 1))
  if ! "$bench" "$@"; then
    echo "bench: $bench failed" >&2
    failed+=("$bench")
  fi
done

if [ "$ran" -eq 0 ]; then
  echo "bench: no benchmark programs in build/bench" >&2
  exit 1
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "bench: ${#failed[@]} of $ran failed: ${failed[*]}" >&2
  exit 1
fi
echo "bench: all $ran benchmark programs ran"
