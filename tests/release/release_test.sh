#!/usr/bin/env bash
# scripts/release.sh as the maker runs it: a container and an MSI of the test's own, a self-signed
# certificate, two builds compared byte for byte, refused inputs, and the signed wizard under Wine.
#   release_test.sh KRT_MKIMAGE WINE_DRIVER_EXE [TOOLCHAIN]
# WINE_DRIVER_EXE is the wizard tests' driver program of the Windows build whose word size TOOLCHAIN gives.
# With KRT_RELEASE_WAIT_FOR=FILE the Wine step waits until FILE holds that build's exit status, so that
# the release builds can start before that build is done.
set -uo pipefail
MKIMAGE="$(realpath "$1")"; DRIVER_EXE="$(realpath -m "$2")"; TOOLCHAIN="${3:-cmake/mingw-i686.cmake}"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
WORK="$(mktemp -d)"; trap 'rm -rf "$WORK"' EXIT
export KRT_RELEASE_TOOLCHAIN="$TOOLCHAIN"
failures=0; passes=0
pass() { echo "ok   $1"; passes=$((passes + 1)); }
fail() { echo "FAIL $1"; [ -n "${2:-}" ] && sed 's/^/    /' "$2" | tail -20; failures=$((failures + 1)); }

"$MKIMAGE" "$WORK/fw.bin" --block-size 16384 --partition BOOT:0:1:1 --partition SBL1:2:3:1 --partition SBL2:4:5:1 \
    --partition SBL3:6:7:1 --partition APPS:8:40:20 --partition DATA:41:60:10 >/dev/null
MSI="$WORK/driver.msi"
(cd "$ROOT/resources/driver" && wixl --arch x86 --output "$MSI" krt_usb_driver.wxs) || fail "no driver package (wixl)"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/sign.key" -out "$WORK/sign.crt" -days 2 \
    -subj "/CN=KRT release test" -addext "extendedKeyUsage=codeSigning" 2>/dev/null

# A signed release.
KRT_RELEASE_BUILD="$WORK/a" "$ROOT/scripts/release.sh" --firmware "$WORK/fw.bin" --driver "$WORK/driver.msi" \
    --sign-key "$WORK/sign.key" --sign-cert "$WORK/sign.crt" --out "$WORK/out" >"$WORK/a.log" 2>&1
if [ $? -eq 0 ] && [ "$(ls "$WORK/out" | tr '\n' ' ')" = "SHA256SUMS krt-upgrade.exe release.txt " ]; then
    pass "signed release made"
else
    fail "signed release" "$WORK/a.log"
fi
osslsigncode verify -CAfile "$WORK/sign.crt" -in "$WORK/out/krt-upgrade.exe" >"$WORK/verify.log" 2>&1 \
    && pass "osslsigncode verify" || fail "osslsigncode verify" "$WORK/verify.log"
(cd "$WORK/out" && sha256sum -c --quiet SHA256SUMS) && pass "SHA256SUMS" || fail "SHA256SUMS"
grep -q "^  5  DATA blocks 41 to 60, 10 written$" "$WORK/out/release.txt" \
    && grep -q "^driver package: driver.msi, $(stat -c %s "$MSI") bytes, SHA-256 $(sha256sum <"$MSI" | cut -d' ' -f1), ProductVersion 5.16.0.0$" "$WORK/out/release.txt" \
    && grep -q "^firmware container: fw.bin, $(stat -c %s "$WORK/fw.bin") bytes, MD5 $(md5sum <"$WORK/fw.bin" | cut -d' ' -f1)$" "$WORK/out/release.txt" \
    && ! grep -q STAND-IN "$WORK/out/release.txt" \
    && pass "release.txt: container, partitions, package" || fail "release.txt" "$WORK/out/release.txt"
sed 's/^/    /' "$WORK/out/release.txt" 2>/dev/null
# The resources inside are the given files, byte for byte.
/usr/bin/python3 - "$WORK/out/krt-upgrade.exe" "$WORK/fw.bin" "$WORK/driver.msi" <<'PY' && pass "File 132 and FILE 135 are the given files" || fail "embedded payloads"
import sys, pefile
pe = pefile.PE(sys.argv[1])
want = {132: open(sys.argv[2], "rb").read(), 135: open(sys.argv[3], "rb").read()}
found = {}
for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    if kind.name is None or str(kind.name).upper() != "FILE":
        continue
    for res in kind.directory.entries:
        data = res.directory.entries[0].data.struct
        found[res.id] = pe.get_data(data.OffsetToData, data.Size)
sys.exit(0 if all(found.get(i) == b for i, b in want.items()) else 1)
PY

# A second build in another folder, later: the same bytes before signing. It takes the first one's
# native tools and artwork; that artwork is compared with the one the test run's native build drew
# apart, in another folder at another time.
KRT_RELEASE_BUILD="$WORK/b" KRT_RELEASE_HOST="$WORK/a/host" "$ROOT/scripts/release.sh" --firmware "$WORK/fw.bin" --driver "$WORK/driver.msi" \
    --out "$WORK/out2" >"$WORK/b.log" 2>&1 || fail "second release" "$WORK/b.log"
cmake --build "$WORK/a/product" --target krt-flash >/dev/null && cmake --build "$WORK/b/product" --target krt-flash >/dev/null
/usr/bin/python3 "$ROOT/tests/release/pe_windows_version.py" "$WORK/out/krt-upgrade.exe" "$WORK/a/product/cli/krt-flash.exe" \
    >"$WORK/pe.log" 2>&1 && pass "both programs ask for Windows 7" || fail "Windows version in the PE headers" "$WORK/pe.log"
for exe in app/krt-upgrade.exe cli/krt-flash.exe; do
    a="$(sha256sum <"$WORK/a/product/$exe" | cut -d' ' -f1)"; b="$(sha256sum <"$WORK/b/product/$exe" | cut -d' ' -f1)"
    [ -n "$a" ] && [ "$a" = "$b" ] && pass "reproducible $exe: $a" || fail "reproducible $exe: $a vs $b"
done

art_here="$(dirname "$MKIMAGE")/../artwork"
if [ -f "$art_here/artwork.rc" ]; then
    { diff -r "$art_here/bmp" "$WORK/a/host/resources/artwork/bmp" && diff -r "$art_here/png" "$WORK/a/host/resources/artwork/png" &&
      cmp "$art_here/app.ico" "$WORK/a/host/resources/artwork/app.ico"; } >"$WORK/art.log" 2>&1 \
        && pass "reproducible artwork" || fail "reproducible artwork" "$WORK/art.log"
fi

# Refused inputs: nothing is written.
cp "$WORK/fw.bin" "$WORK/digest.bin"; printf 'X' | dd of="$WORK/digest.bin" bs=1 seek=5000 conv=notrunc 2>/dev/null
head -c 300000 "$WORK/fw.bin" >"$WORK/short.bin"
"$MKIMAGE" "$WORK/overlap.bin" --block-size 16384 --partition BOOT:0:1:1 --partition SBL1:2:3:1 --partition SBL2:4:5:1 \
    --partition SBL3:6:7:1 --partition APPS:8:40:20 --partition DATA:30:60:10 >/dev/null
for bad in digest:"do not match the digest" short:"shorter than its partition table" \
           overlap:"Partitions APPS (blocks 8 to 40) and DATA (blocks 30 to 60) overlap in flash"; do
    name="${bad%%:*}"; want="${bad#*:}"
    KRT_RELEASE_BUILD="$WORK/a" "$ROOT/scripts/release.sh" --firmware "$WORK/$name.bin" --driver "$WORK/driver.msi" \
        --out "$WORK/out-$name" >"$WORK/$name.log" 2>&1
    rc=$?
    [ $rc -ne 0 ] && grep -q "$WORK/$name.bin" "$WORK/$name.log" && grep -q "$want" "$WORK/$name.log" && ! [ -e "$WORK/out-$name" ] \
        && pass "container refused: $name" || fail "container refused: $name (exit $rc)" "$WORK/$name.log"
done
"$ROOT/scripts/release.sh" --firmware "$WORK/fw.bin" --driver "$WORK/driver.msi" --out "$WORK/out" >"$WORK/full.log" 2>&1 \
    && fail "a non-empty output folder was taken" || { grep -q "not an empty folder" "$WORK/full.log" && pass "non-empty folder refused"; }
"$ROOT/scripts/release.sh" --firmware "$WORK/fw.bin" --out "$WORK/out3" >"$WORK/nodrv.log" 2>&1 \
    && fail "a release without --driver" || { grep -q "stand-in" "$WORK/nodrv.log" && ! [ -e "$WORK/out3" ] && pass "no --driver refused, names the stand-in"; }

# The signed wizard under Wine: its first page, its version, and no test switch.
if [ -n "${KRT_RELEASE_WAIT_FOR:-}" ]; then
    for _ in $(seq 1 3600); do [ -s "$KRT_RELEASE_WAIT_FOR" ] && break; sleep 1; done
    [ "$(cat "$KRT_RELEASE_WAIT_FOR" 2>/dev/null)" = 0 ] || echo "the Windows build that drives the wizard failed or never ended"
fi
shots="$WORK/shots"; mkdir -p "$shots"
KRT_WINE_X=1 KRT_TIME_SCALE=1000 KRT_WIZARD_EXE="Z:$WORK/out/krt-upgrade.exe" KRT_E2E_SHOTS="Z:${shots//\//\\}" \
    "$ROOT/scripts/wine-run.sh" "$DRIVER_EXE" --gtest_color=no --gtest_filter='WizardRelease.*' >"$WORK/wine.log" 2>&1 \
    && grep -q "\[  PASSED  \] 1 test" "$WORK/wine.log" && pass "signed release under Wine" || fail "signed release under Wine" "$WORK/wine.log"

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
