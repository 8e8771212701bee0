#!/usr/bin/env bash
# Installs what is needed, builds everything (program, tests, benchmarks) and
# runs all tests. Window tests run on Qt's offscreen platform; no display needed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/configure.sh
cmake --build build --parallel "$(nproc)"
# Every test waits for what it is about, never for a fixed time, so the
# suite holds on a machine whose every core is busy: a failure is a failure,
# and is not run again.
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
