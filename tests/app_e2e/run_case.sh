#!/usr/bin/env bash
# One case of the wizard's end-to-end tests: the driver program under Wine (a fresh prefix, a private X
# display and, when KRT_WINE_PEER names one, the simulated device beside it), then its screenshots
# turned into PNG files.
#   run_case.sh WINE_RUN SHOTS_DIR DRIVER_EXE GTEST_FILTER
set -uo pipefail
WINE_RUN="$1"; SHOTS="$2"; DRIVER="$3"; FILTER="$4"
mkdir -p "$SHOTS"
"$WINE_RUN" "$DRIVER" --gtest_color=no --gtest_filter="$FILTER"
rc=$?
for bmp in "$SHOTS"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
exit $rc
