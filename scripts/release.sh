#!/usr/bin/env bash
# Makes a release: the 32-bit wizard with the maker's firmware container and USB driver package inside,
# checked at build time, and the 32-bit krt-flash, both optionally Authenticode-signed and time-stamped,
# with checksums and a record of what went in.
#   scripts/release.sh --firmware FILE --driver FILE --out DIR
#       [--sign-cert CHAIN --sign-key KEY|PKCS11-URI [--pkcs11-module LIB] --ca-file ROOT
#        [--timestamp URL [--tsa-ca-file FILE]]] [--license LANG=FILE]... [--allow-dirty]
#   scripts/release.sh --firmware FILE --allow-stand-in --out DIR     (our stand-in driver package)
# CHAIN: the signing certificate first, then its intermediates; ROOT: the root it must lead to. A key in a
# token is named by a URI "pkcs11:token=...;object=..." with LIB the token's PKCS#11 module. The PIN or
# passphrase is read from KRT_SIGN_PIN, else asked on the terminal. Relative paths are from the caller's
# folder. DIR must be empty or absent; a tree with local changes is refused unless --allow-dirty.
# --license LANG=FILE: the wizard shows FILE instead of its own licence when it speaks LANG ("en" or a
# language of resources/translations: "de", "pt_BR", ...; once each). FILE is UTF-8 plain text, lines
# ending in CRLF or LF; its first line (the title) and every line beginning with "* " (a section heading)
# are shown in bold, the rest as written.
# Writes krt-upgrade.exe, krt-flash.exe, SHA256SUMS and release.txt; a refusal or a failed step leaves
# no half-made release. KRT_RELEASE_BUILD names the build folder (default build-release in the tree);
# KRT_RELEASE_TOOLCHAIN=cmake/mingw-x86_64.cmake makes the same release as a 64-bit build, for the tests of
# machines that cannot run 32-bit programs (the product is the 32-bit build). KRT_RELEASE_HOST names the
# native build that checks the container and draws the artwork (default: host/ in the build folder).
set -euo pipefail
CALLER="$PWD"
# The PIN stays in this shell: no child inherits it.
PIN_GIVEN="${KRT_SIGN_PIN+1}" SIGN_PIN="${KRT_SIGN_PIN-}"
export -n SIGN_PIN
unset KRT_SIGN_PIN
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

usage() {
    sed -n '5,16p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
}
fail() { echo "release: $*" >&2; exit 1; }
# A path as the caller meant it: relative ones from the folder the script was started in.
from_caller() { case "$1" in /*) echo "$1" ;; "") echo "" ;; *) echo "$CALLER/$1" ;; esac; }

# Long steps run as children that a signal can reach at once; on INT or TERM every process started
# from here ends (stop_children) and the stage folder goes.
source "$ROOT/scripts/run-mark.sh"
STAGE="" PROBE=""
cleanup() { rm -rf ${STAGE:+"$STAGE"} ${PROBE:+"$PROBE"}; }
trap cleanup EXIT
trap 'trap - INT TERM; stop_children; cleanup; echo "release: interrupted; nothing was written" >&2; exit 130' INT TERM
run() { "$@" & wait $!; }

LICENSES=() FIRMWARE="" DRIVER="" KEY="" CERT="" CA="" TSA_URL="" TSA_CA="" MODULE="" OUT="" STAND_IN=0 ALLOW_DIRTY=0
need() { [ $# -ge 2 ] && [ -n "$2" ] || { echo "release: $1 needs a value" >&2; usage; }; }
while [ $# -gt 0 ]; do
    case "$1" in
    --firmware) need "$@"; FIRMWARE="$(from_caller "$2")"; shift 2 ;;
    --driver) need "$@"; DRIVER="$(from_caller "$2")"; shift 2 ;;
    --sign-key) need "$@"; case "$2" in pkcs11:*) KEY="$2" ;; *) KEY="$(from_caller "$2")" ;; esac; shift 2 ;;
    --sign-cert) need "$@"; CERT="$(from_caller "$2")"; shift 2 ;;
    --ca-file) need "$@"; CA="$(from_caller "$2")"; shift 2 ;;
    --timestamp) need "$@"; TSA_URL="$2"; shift 2 ;;
    --tsa-ca-file) need "$@"; TSA_CA="$(from_caller "$2")"; shift 2 ;;
    --pkcs11-module) need "$@"; MODULE="$(from_caller "$2")"; shift 2 ;;
    --out) need "$@"; OUT="$(from_caller "$2")"; shift 2 ;;
    --license) need "$@"; [[ "$2" == *=* ]] || fail "--license takes LANG=FILE, not '$2'"
        LICENSES+=("${2%%=*}=$(from_caller "${2#*=}")"); shift 2 ;;
    --allow-stand-in) STAND_IN=1; shift ;;
    --allow-dirty) ALLOW_DIRTY=1; shift ;;
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
if [ ${#LICENSES[@]} -gt 0 ]; then
    # Languages the wizard carries, each once; files the build can take. Sorted, so the order given
    # does not change the release.
    languages="en$(cd "$ROOT/resources/translations" && for po in *.po; do printf ',%s' "${po%.po}"; done)"
    refusals="$(python3 "$ROOT/resources/license/license_tool.py" check "$languages" "${LICENSES[@]}" 2>&1)" ||
        { echo "$refusals" | sed 's/^/release: /' >&2; fail "nothing was written"; }
    mapfile -t LICENSES < <(printf '%s\n' "${LICENSES[@]}" | LC_ALL=C sort)
fi
if [ -n "$KEY$CERT" ] && { [ -z "$KEY" ] || [ -z "$CERT" ]; }; then fail "--sign-key and --sign-cert go together"; fi
if [ -z "$KEY" ] && [ -n "$CA$TSA_URL$TSA_CA$MODULE" ]; then
    fail "--ca-file, --timestamp, --tsa-ca-file and --pkcs11-module belong to signing (--sign-key, --sign-cert)"
fi
if [ -e "$OUT" ] && { [ ! -d "$OUT" ] || [ -n "$(ls -A "$OUT")" ]; }; then
    fail "$OUT exists and is not an empty folder; nothing was written"
fi
OUT="$(realpath -m "$OUT")"
cd "$ROOT"

# The source: its commit, and whether the tree holds anything that commit does not.
commit="$(git rev-parse --verify -q HEAD 2>/dev/null)" || commit=""
changes="$(git status --porcelain --untracked-files=normal 2>/dev/null)" || changes="(not a git checkout)"
if [ -z "$commit" ] || [ -n "$changes" ]; then
    if [ $ALLOW_DIRTY -eq 0 ]; then
        echo "release: the tree in $ROOT has local changes; nothing was written (--allow-dirty releases it anyway," \
             "marked \"modified\"):" >&2
        echo "$changes" | sed 's/^/  /' >&2
        exit 1
    fi
    source_line="source: commit ${commit:-none}, modified"
else
    source_line="source: commit $commit, clean"
fi

# Signing: the certificate, its chain and the key are checked before anything is built.
command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (Debian package osslsigncode)"
if [ -n "$KEY" ]; then
    [ -f "$CERT" ] || fail "no such certificate file: $CERT"
    [ -n "$CA" ] || fail "--ca-file names the root certificate that the signing certificate must lead to"
    [ -f "$CA" ] || fail "no such root certificate file: $CA"
    [ -z "$TSA_CA" ] || [ -f "$TSA_CA" ] || fail "no such file: $TSA_CA"
    leaf_name="$(openssl x509 -in "$CERT" -noout -subject -nameopt RFC2253 2>/dev/null)" ||
        fail "$CERT holds no PEM certificate"
    leaf_name="${leaf_name#subject=}"
    eku="$(openssl x509 -in "$CERT" -noout -ext extendedKeyUsage 2>/dev/null | tail -n +2 | sed 's/^ *//')"
    case "$eku" in
    *"Code Signing"*) ;;
    *) fail "the certificate $leaf_name in $CERT is not for code signing (extended key usage: ${eku:-none});" \
            "nothing was written" ;;
    esac
    not_after="$(openssl x509 -in "$CERT" -noout -enddate | cut -d= -f2)"
    not_before="$(openssl x509 -in "$CERT" -noout -startdate | cut -d= -f2)"
    openssl x509 -in "$CERT" -noout -checkend 0 >/dev/null ||
        fail "the certificate $leaf_name in $CERT expired on $not_after; nothing was written"
    [ "$(date -u -d "$not_before" +%s)" -le "$(date -u +%s)" ] ||
        fail "the certificate $leaf_name in $CERT is not valid before $not_before; nothing was written"
    chain_check="$(openssl verify -CAfile "$CA" -untrusted "$CERT" "$CERT" 2>&1)" ||
        fail "the certificate $leaf_name in $CERT does not lead to the root in $CA" \
             "($(echo "$chain_check" | grep -m1 '^error' | sed 's/^error [0-9]* at [0-9]* depth lookup: //'));" \
             "nothing was written"

    case "$KEY" in
    pkcs11:*)
        [ -n "$MODULE" ] || fail "a key in a token needs --pkcs11-module (the token's PKCS#11 library)"
        [ -f "$MODULE" ] || fail "no such PKCS#11 module: $MODULE"
        ENGINE="$(openssl version -e | sed 's/^ENGINESDIR: "\(.*\)"$/\1/')/pkcs11.so"
        [ -f "$ENGINE" ] || fail "no PKCS#11 engine for OpenSSL at $ENGINE (Debian package libengine-pkcs11-openssl)"
        key_args=(-pkcs11engine "$ENGINE" -pkcs11module "$MODULE" -key "$KEY")
        probe_args=(-engine pkcs11 -keyform engine -inkey "$KEY")
        needs_pin=1 ;;
    *)
        [ -f "$KEY" ] || fail "no such key file: $KEY"
        key_args=(-key "$KEY")
        probe_args=(-inkey "$KEY")
        needs_pin=0
        openssl pkey -in "$KEY" -noout -passin pass: >/dev/null 2>&1 || needs_pin=1 ;;
    esac
    # The PIN goes to the tools through a pipe, never on a command line; the children do not inherit it.
    if [ $needs_pin -eq 1 ]; then
        if [ -n "$PIN_GIVEN" ]; then
            :
        elif { : </dev/tty; } 2>/dev/null; then
            read -r -s -p "PIN or passphrase for $KEY: " SIGN_PIN </dev/tty >/dev/tty 2>&1 || SIGN_PIN=""
            echo >/dev/tty
        else
            fail "the key needs a PIN or passphrase: set KRT_SIGN_PIN or run on a terminal"
        fi
    fi
    pass_args=() passin_args=()
    [ $needs_pin -eq 0 ] || { pass_args=(-readpass /dev/fd/3); passin_args=(-passin fd:3); }
    # A signature made with the key must verify with the certificate: a wrong PIN, a missing key or a key
    # of another certificate shows now, not after the build.
    PROBE="$(mktemp -d)"
    head -c 32 /dev/urandom >"$PROBE/digest"
    if ! PKCS11_MODULE_PATH="$MODULE" run openssl pkeyutl -sign "${probe_args[@]}" "${passin_args[@]}" \
            -in "$PROBE/digest" -out "$PROBE/sig" 3< <(printf '%s' "$SIGN_PIN") >"$PROBE/log" 2>&1; then
        if grep -q -i -E 'pin incorrect|bad decrypt|maybe wrong password' "$PROBE/log"; then
            fail "the PIN or passphrase for $KEY is wrong; nothing was written"
        fi
        grep -i -m1 -E 'not found|no such|unable|error' "$PROBE/log" >&2 || true
        fail "the key $KEY cannot sign; nothing was written"
    fi
    if ! openssl pkeyutl -verify -certin -inkey "$CERT" -in "$PROBE/digest" -sigfile "$PROBE/sig" >/dev/null 2>&1; then
        rm -rf "$PROBE"
        fail "the key $KEY does not belong to the certificate $leaf_name, the first one in $CERT" \
             "(the signing certificate comes first, then its intermediates); nothing was written"
    fi
    rm -rf "$PROBE"; PROBE=""
fi

BUILD="$(from_caller "${KRT_RELEASE_BUILD:-$ROOT/build-release}")"
HOST="$(from_caller "${KRT_RELEASE_HOST:-$BUILD/host}")"
JOBS="$(nproc)"
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)

# The container check is a native tool of this tree: the same parser the download runs.
[ -f "$HOST/CMakeCache.txt" ] || run cmake -S . -B "$HOST" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
run cmake --build "$HOST" -j "$JOBS" --target krt_check_container >/dev/null
table="$("$HOST/resources/mkimage/krt_check_container" "$FIRMWARE")" || fail "the firmware container was refused"

payload_args=(-DKRT_FIRMWARE_CONTAINER="$FIRMWARE" -DKRT_DRIVER_PACKAGE="$DRIVER"
              -DKRT_LICENSE_FILES="$(IFS=';'; echo "${LICENSES[*]}")")
[ -f "$BUILD/product/CMakeCache.txt" ] && gen=()
run cmake -S . -B "$BUILD/product" "${gen[@]}" -DCMAKE_TOOLCHAIN_FILE="${KRT_RELEASE_TOOLCHAIN:-cmake/mingw-i686.cmake}" \
    -DCMAKE_BUILD_TYPE=Release -DKRT_RELEASE=ON -DKRT_BENCHMARKS=OFF -DKRT_HOST_TOOLS_DIR="$HOST" "${payload_args[@]}" >/dev/null
run cmake --build "$BUILD/product" -j "$JOBS" --target krt-upgrade krt-flash || fail "the build failed"

# Everything is made beside DIR first and moved into place at the end.
mkdir -p "$(dirname "$OUT")"
STAGE="$(mktemp -d "$(dirname "$OUT")/.release.XXXXXX")"
cp "$BUILD/product/app/krt-upgrade.exe" "$BUILD/product/cli/krt-flash.exe" "$STAGE/"

signature_line="signed: no"
if [ -n "$KEY" ]; then
    ts_args=()
    [ -z "$TSA_URL" ] || ts_args=(-ts "$TSA_URL")
    verify_args=(-CAfile "$CA")
    [ -z "$TSA_CA" ] || verify_args+=(-TSA-CAfile "$TSA_CA")
    for exe in krt-upgrade.exe krt-flash.exe; do
        PKCS11_MODULE_PATH="$MODULE" run osslsigncode sign -certs "$CERT" "${key_args[@]}" "${pass_args[@]}" \
            -n "Velmora SW Upgrade for KRT-P940" -h sha256 "${ts_args[@]}" \
            -in "$STAGE/$exe" -out "$STAGE/signed.exe" 3< <(printf '%s' "$SIGN_PIN") >"$STAGE/sign.log" 2>&1 </dev/null ||
            { grep -v -i pin "$STAGE/sign.log" | tail -5 >&2; fail "signing $exe failed"; }
        mv "$STAGE/signed.exe" "$STAGE/$exe"
        run osslsigncode verify "${verify_args[@]}" -in "$STAGE/$exe" >"$STAGE/verify.log" 2>&1 ||
            { cat "$STAGE/verify.log" >&2; fail "the signature of $exe does not verify against $CA"; }
        if [ -n "$TSA_URL" ] && ! grep -q "^Timestamp Server Signature verification: ok" "$STAGE/verify.log"; then
            cat "$STAGE/verify.log" >&2; fail "the time stamp on $exe does not verify"
        fi
    done
    # The authority named in the time stamp: the first signer under "Timestamp verified using".
    tsa_name="$(sed -n '/^Timestamp verified using:/,/^Timestamp Server Signature/{/Signer #0:/{n;s/^[[:space:]]*Subject: //p}}' \
        "$STAGE/verify.log")"
    rm -f "$STAGE/sign.log" "$STAGE/verify.log"
    SIGN_PIN=""
    cert_info="$(openssl x509 -in "$CERT" -noout -issuer -nameopt RFC2253 -fingerprint -sha256)"
    signature_line="$(printf '%s\n' "signed: krt-upgrade.exe and krt-flash.exe, SHA-256, verified against $(basename "$CA")" \
        "signing certificate: $leaf_name" \
        "  issuer: $(echo "$cert_info" | sed -n 's/^issuer=//p')" \
        "  valid from $not_before to $not_after" \
        "  SHA-256 fingerprint: $(echo "$cert_info" | sed -n 's/^.*Fingerprint=//p')")"
    if [ -n "$TSA_URL" ]; then
        signature_line+=$'\n'"time-stamp authority: ${tsa_name:-unnamed} at $TSA_URL"
    else
        signature_line+=$'\n'"time-stamp authority: none (WARNING: the signatures end with the certificate)"
    fi
fi

version="$(sed -n 's/^#define KRT_VERSION_TEXT "\(.*\)"/\1/p' "$BUILD/product/generated/krt_version.h")"
cxx="$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$BUILD"/product/CMakeFiles/*/CMakeCXXCompiler.cmake | head -1)"
package="${DRIVER:-$BUILD/product/resources/driver/krt_usb_driver.msi}"
# The driver package's own signature: Windows names its publisher when the driver is installed.
package_check="$(osslsigncode verify -CAfile "${CA:-/etc/ssl/certs/ca-certificates.crt}" -in "$package" 2>&1)" &&
    package_ok=1 || package_ok=0
roots="$(basename "${CA:-/etc/ssl/certs/ca-certificates.crt}")"
package_signer="$(echo "$package_check" | sed -n '/^Signer.s certificate:/,/^$/{s/^[[:space:]]*Subject: //p}' | head -1)"
{
    [ -z "$DRIVER" ] && echo "STAND-IN driver package: not for users"
    echo "tool version: $version"
    echo "$source_line"
    [ -z "$changes" ] || echo "$changes" | sed 's/^/  /'
    echo "compiler: $("$cxx" --version | head -1)"
    echo "linker: $("$("$cxx" -print-prog-name=ld)" --version | head -1)"
    echo "osslsigncode: $(osslsigncode --version 2>&1 | head -1 | sed 's/^osslsigncode //; s/,.*//')"
    echo "firmware container: $(basename "$FIRMWARE"), $(stat -c %s "$FIRMWARE") bytes, MD5 $(md5sum <"$FIRMWARE" | cut -d' ' -f1)"
    echo "$table" | tail -n +2 | sed 's/^/  /'
    product_version="$(msiinfo export "$package" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p')"
    echo "driver package: $(basename "$package"), $(stat -c %s "$package") bytes," \
         "SHA-256 $(sha256sum <"$package" | cut -d' ' -f1), ProductVersion $product_version"
    if [ -z "$package_signer" ]; then
        echo "driver package signature: unsigned (WARNING: Windows shows no publisher when it installs the driver)"
    elif [ $package_ok -eq 1 ]; then
        echo "driver package signature: $package_signer, verified against $roots"
    else
        echo "driver package signature: $package_signer (WARNING: does not verify against $roots)"
    fi
    for license in "${LICENSES[@]}"; do
        file="${license#*=}"
        echo "licence ${license%%=*}: $(basename "$file"), $(stat -c %s "$file") bytes, SHA-256 $(sha256sum <"$file" | cut -d' ' -f1)"
    done
    echo "$signature_line"
} >"$STAGE/release.txt"
(cd "$STAGE" && sha256sum krt-upgrade.exe krt-flash.exe release.txt >SHA256SUMS)

[ -d "$OUT" ] && rmdir "$OUT"
mv "$STAGE" "$OUT"
STAGE=""
chmod 755 "$OUT"
echo "release: $OUT"
cat "$OUT/release.txt"
