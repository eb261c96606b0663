#!/usr/bin/env bash
# The main job: build the flasher, flash the embedded firmware image into the simulated device at real
# speed, and show the verification of the device's flash against the image.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target krt-flash
exec build/cli/krt-flash --simulate "$@"
