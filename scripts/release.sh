#!/usr/bin/env bash
# Makes a release of the wizard: the 32-bit product with the maker's firmware container and USB driver
# package inside, checked at build time, optionally Authenticode-signed, with checksums and a record.
#   scripts/release.sh --firmware FILE --driver FILE [--sign-key KEY --sign-cert CERT] --out DIR
#   scripts/release.sh --firmware FILE --allow-stand-in --out DIR     (our stand-in driver package)
# DIR must be empty or absent. Writes krt-upgrade.exe, SHA256SUMS and release.txt; a failed step leaves
# DIR without a half-made release. KRT_RELEASE_BUILD names the build folder (default build-release);
# KRT_RELEASE_TOOLCHAIN=cmake/mingw-x86_64.cmake makes the same release as a 64-bit build, for the tests of
# machines that cannot run 32-bit programs (the product is the 32-bit build). KRT_RELEASE_HOST names the
# native build that checks the container and draws the artwork (default: host/ in the build folder).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

usage() {
    sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
}
fail() { echo "release: $*" >&2; exit 1; }

FIRMWARE="" DRIVER="" KEY="" CERT="" OUT="" STAND_IN=0
while [ $# -gt 0 ]; do
    case "$1" in
    --firmware) FIRMWARE="${2:-}"; shift 2 ;;
    --driver) DRIVER="${2:-}"; shift 2 ;;
    --sign-key) KEY="${2:-}"; shift 2 ;;
    --sign-cert) CERT="${2:-}"; shift 2 ;;
    --out) OUT="${2:-}"; shift 2 ;;
    --allow-stand-in) STAND_IN=1; shift ;;
    -h|--help) usage ;;
    *) echo "release: unknown argument '$1'" >&2; usage ;;
    esac
done
[ -n "$FIRMWARE" ] && [ -n "$OUT" ] || usage
[ -f "$FIRMWARE" ] || fail "no such firmware container: $FIRMWARE"
if [ -z "$DRIVER" ] && [ $STAND_IN -eq 0 ]; then
    fail "no --driver given: the build would carry the stand-in package resources/driver/krt_usb_driver.wxs" \
         "(no driver at all); give the maker's MSI, or --allow-stand-in for a test release"
fi
[ -z "$DRIVER" ] || [ -f "$DRIVER" ] || fail "no such driver package: $DRIVER"
if [ -n "$KEY$CERT" ] && { [ -z "$KEY" ] || [ -z "$CERT" ]; }; then fail "--sign-key and --sign-cert go together"; fi
if [ -e "$OUT" ] && { [ ! -d "$OUT" ] || [ -n "$(ls -A "$OUT")" ]; }; then
    fail "$OUT exists and is not an empty folder; nothing was written"
fi
FIRMWARE="$(realpath "$FIRMWARE")"
[ -z "$DRIVER" ] || DRIVER="$(realpath "$DRIVER")"
OUT="$(realpath -m "$OUT")"

BUILD="${KRT_RELEASE_BUILD:-$ROOT/build-release}"
HOST="${KRT_RELEASE_HOST:-$BUILD/host}"
JOBS="$(nproc)"
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)

# The container check is a native tool of this tree: the same parser the download runs.
[ -f "$HOST/CMakeCache.txt" ] || cmake -S . -B "$HOST" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$HOST" -j "$JOBS" --target krt_check_container >/dev/null
table="$("$HOST/resources/mkimage/krt_check_container" "$FIRMWARE")" || fail "the firmware container was refused"

payload_args=(-DKRT_FIRMWARE_CONTAINER="$FIRMWARE" -DKRT_DRIVER_PACKAGE="$DRIVER")
[ -f "$BUILD/product/CMakeCache.txt" ] && gen=()
cmake -S . -B "$BUILD/product" "${gen[@]}" -DCMAKE_TOOLCHAIN_FILE="${KRT_RELEASE_TOOLCHAIN:-cmake/mingw-i686.cmake}" -DCMAKE_BUILD_TYPE=Release \
    -DKRT_RELEASE=ON -DKRT_BENCHMARKS=OFF -DKRT_HOST_TOOLS_DIR="$HOST" "${payload_args[@]}" >/dev/null
cmake --build "$BUILD/product" -j "$JOBS" --target krt-upgrade || fail "the build failed"

# Everything is made beside DIR first and moved into place at the end.
mkdir -p "$(dirname "$OUT")"
STAGE="$(mktemp -d "$(dirname "$OUT")/.release.XXXXXX")"
trap 'rm -rf "$STAGE"' EXIT
cp "$BUILD/product/app/krt-upgrade.exe" "$STAGE/krt-upgrade.exe"
if [ -n "$KEY" ]; then
    command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (Debian package osslsigncode)"
    osslsigncode sign -certs "$CERT" -key "$KEY" -n "Velmora SW Upgrade for KRT-P940" -h sha256 \
        -in "$STAGE/krt-upgrade.exe" -out "$STAGE/signed.exe" >/dev/null || fail "signing failed"
    mv "$STAGE/signed.exe" "$STAGE/krt-upgrade.exe"
    osslsigncode verify -CAfile "$CERT" -in "$STAGE/krt-upgrade.exe" >"$STAGE/verify.log" 2>&1 ||
        { cat "$STAGE/verify.log" >&2; fail "the signature does not verify"; }
    rm -f "$STAGE/verify.log"
fi

version="$(sed -n 's/^#define KRT_VERSION_TEXT "\(.*\)"/\1/p' "$BUILD/product/generated/krt_version.h")"
{
    [ -z "$DRIVER" ] && echo "STAND-IN driver package: not for users"
    echo "tool version: $version"
    echo "firmware container: $(basename "$FIRMWARE"), $(stat -c %s "$FIRMWARE") bytes, MD5 $(md5sum <"$FIRMWARE" | cut -d' ' -f1)"
    echo "$table" | tail -n +2 | sed 's/^/  /'
    package="${DRIVER:-$BUILD/product/resources/driver/krt_usb_driver.msi}"
    product_version="$(msiinfo export "$package" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p')"
    echo "driver package: $(basename "$package"), $(stat -c %s "$package") bytes," \
         "SHA-256 $(sha256sum <"$package" | cut -d' ' -f1), ProductVersion $product_version"
    [ -n "$KEY" ] && echo "signed: $(openssl x509 -in "$CERT" -noout -subject 2>/dev/null || echo "$CERT")"
} >"$STAGE/release.txt"
(cd "$STAGE" && sha256sum krt-upgrade.exe release.txt >SHA256SUMS)

[ -d "$OUT" ] && rmdir "$OUT"
mv "$STAGE" "$OUT"
trap - EXIT
chmod 755 "$OUT"
echo "release: $OUT"
cat "$OUT/release.txt"
