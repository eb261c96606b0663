#!/usr/bin/env bash
# Runs beside a Windows program under Wine (scripts/wine-run.sh, KRT_WINE_PEER): two simulated devices,
# on COM7 and COM8 of the prefix, each verifying its flash against IMAGE when it exits. Exits 0 only when
# both verified.
#   wine_two_sims_peer.sh DEVSIM IMAGE [krt-devsim options...]
set -uo pipefail
DEVSIM="$1"; IMAGE="$2"; shift 2
OUT="$(mktemp -d "${TMPDIR:-/tmp}/krt-two-sims.XXXXXX")"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$OUT"' EXIT
for port in 7 8; do
    "$DEVSIM" --link "$WINEPREFIX/dosdevices/com$port" --verify "$IMAGE" "$@" > "$OUT/com$port" 2>&1 &
    pids+=($!)
    # COM8 last: the runner waits for its link before it starts the program.
    for _ in $(seq 1 100); do [ -e "$WINEPREFIX/dosdevices/com$port" ] && break; sleep 0.05; done
done
rc=0
for i in 0 1; do
    wait "${pids[$i]}" || rc=1
done
for port in 7 8; do sed "s/^/device COM$port: /" "$OUT/com$port" | tail -3; done
exit $rc
