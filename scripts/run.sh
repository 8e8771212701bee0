#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it. Arguments are
# passed to the program (a library name, or "TV").
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/configure.sh
cmake --build build --target reelwise --parallel "$(nproc)"
exec ./build/app/reelwise "$@"
