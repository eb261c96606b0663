#!/usr/bin/env bash
# Runs beside a Windows program under Wine (scripts/wine-run.sh, KRT_WINE_PEER): registers COMn as the
# device's diagnostic port in the prefix's serial-port map, as the USB driver would, then serves the
# simulated device on a pty that COMn links to. KRT_SIM_UNREGISTERED=1 leaves the map alone (a port the
# user names with --port).
#   wine_sim_peer.sh DEVSIM PORT [krt-devsim options...]
set -euo pipefail
DEVSIM="$1"; PORT="$2"; shift 2
wineserver -p >/dev/null 2>&1 || true
if [ "${KRT_SIM_UNREGISTERED:-0}" != "1" ]; then
    wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\qzcdserd0' /t REG_SZ /d "COM$PORT" /f >/dev/null 2>&1
fi
exec "$DEVSIM" --link "$WINEPREFIX/dosdevices/com$PORT" "$@"
