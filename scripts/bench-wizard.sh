#!/usr/bin/env bash
# Benchmark of the wizard under Wine at real speed: its flash phase against krt-flash.exe on the same
# simulated link, how fast its window answers while it flashes, and its peak working set. Not a test:
# it prints the figures and the targets they meet or miss.
#   scripts/bench-wizard.sh [WINDOWS_BUILD_DIR] [NATIVE_TOOLS_DIR]
# Defaults: build-e2e-win and build-tools. The Windows build must have built krt-upgrade, krt-flash and
# bench_wizard; the native one krt-devsim.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
BUILD="$(cd "${1:-build-e2e-win}" && pwd)"
TOOLS="$(cd "${2:-build-tools}" && pwd)"
for f in "$BUILD/app/krt-upgrade.exe" "$BUILD/cli/krt-flash.exe" "$BUILD/bench/bench_wizard.exe" \
         "$TOOLS/sim/krt-devsim"; do
    [ -e "$f" ] || { echo "bench-wizard: $f is missing; build it first" >&2; exit 2; }
done
win() { echo "Z:$1" | tr / '\\'; }
export KRT_WINE_X=1 KRT_SIM_UNREGISTERED=1
export KRT_WIZARD_EXE="$(win "$BUILD/app/krt-upgrade.exe")"
export KRT_FLASH_EXE="$(win "$BUILD/cli/krt-flash.exe")"
# One device, two sessions: the wizard's, then the CLI's.
export KRT_WINE_PEER="'$ROOT/tests/e2e/wine_sim_peer.sh' '$TOOLS/sim/krt-devsim' 7 --runs 2"
export KRT_WINE_PEER_WAIT="{prefix}/dosdevices/com7"
unset KRT_TIME_SCALE
exec "$ROOT/scripts/wine-run.sh" "$BUILD/bench/bench_wizard.exe"
