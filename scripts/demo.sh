#!/usr/bin/env bash
# The main job. Until the flasher exists this builds the native tree and runs the protocol-stack tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
cd build && ctest --output-on-failure
