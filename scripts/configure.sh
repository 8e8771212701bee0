#!/usr/bin/env bash
# Installs the dependencies and configures the build folder ./build (Ninja,
# ccache when present). Shared by run.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
