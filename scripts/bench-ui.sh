#!/usr/bin/env bash
# Runs the user-interface benchmark of a Windows build under Wine with a private X server.
#   scripts/bench-ui.sh [build dir]      (default build-win; builds bench_ui first)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$ROOT/build-win}"
cmake --build "$BUILD" --target bench_ui -j2 >/dev/null
exe="$(find "$BUILD" -name bench_ui.exe -print -quit)"
KRT_WINE_X=1 "$ROOT/scripts/wine-run.sh" "$exe"
