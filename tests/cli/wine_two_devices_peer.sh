#!/usr/bin/env bash
# Runs beside krt-flash.exe under Wine (scripts/wine-run.sh, KRT_WINE_PEER): two simulated devices on
# COM7 and COM9, both entered in the prefix's serial-port map as the device's diagnostic port, as the USB
# driver would for two devices. Exits 0 only when both devices verified their flash against the image.
#   wine_two_devices_peer.sh DEVSIM IMAGE [krt-devsim options...]
set -uo pipefail
DEVSIM="$1"; IMAGE="$2"; shift 2
wineserver -p >/dev/null 2>&1 || true
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\qzcdserd0' /t REG_SZ /d COM7 /f >/dev/null 2>&1
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\qzcdserd1' /t REG_SZ /d COM9 /f >/dev/null 2>&1
# The runner waits for the last link before it starts the program.
"$DEVSIM" --link "$WINEPREFIX/dosdevices/com7" --verify "$IMAGE" "$@" > "$WINEPREFIX/com7.devsim" 2>&1 &
first=$!
for _ in $(seq 1 100); do [ -e "$WINEPREFIX/dosdevices/com7" ] && break; sleep 0.05; done
"$DEVSIM" --link "$WINEPREFIX/dosdevices/com9" --verify "$IMAGE" "$@" > "$WINEPREFIX/com9.devsim" 2>&1 &
second=$!
trap 'kill $first $second 2>/dev/null' TERM INT
wait $first; rc_first=$?
wait $second; rc_second=$?
tail -n 1 "$WINEPREFIX/com7.devsim" "$WINEPREFIX/com9.devsim"
[ $rc_first -eq 0 ] && [ $rc_second -eq 0 ]
