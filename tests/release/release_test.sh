#!/usr/bin/env bash
# scripts/release.sh as the maker runs it: a container, an MSI and a certificate chain of the test's own,
# a time-stamp authority on the loopback address and a key in a SoftHSM token; two builds compared byte
# for byte, refused inputs, an interrupted release, and the signed wizard under Wine.
#   release_test.sh KRT_MKIMAGE WINE_DRIVER_EXE [TOOLCHAIN]
# WINE_DRIVER_EXE is the wizard tests' driver program of the Windows build whose word size TOOLCHAIN gives.
# With KRT_RELEASE_WAIT_FOR=FILE the Wine step waits until FILE holds that build's exit status, so that
# the release builds can start before that build is done.
set -uo pipefail
MKIMAGE="$(realpath "$1")"; DRIVER_EXE="$(realpath -m "$2")"; TOOLCHAIN="${3:-cmake/mingw-i686.cmake}"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
WORK="$(mktemp -d)"
# On the way out, also on INT or TERM: every process started here ends (releases, builds, the time-stamp
# server, Wine), then the folder goes.
source "$ROOT/scripts/run-mark.sh"
trap 'stop_children; rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM
run() { "$@" & wait $!; }
export KRT_RELEASE_TOOLCHAIN="$TOOLCHAIN"
failures=0; passes=0
pass() { echo "ok   $1"; passes=$((passes + 1)); }
fail() { echo "FAIL $1"; [ -n "${2:-}" ] && sed 's/^/    /' "$2" | tail -20; failures=$((failures + 1)); }

# The releases come from a copy of the tree as it stands, committed, in a folder whose name holds a space.
SRC="$WORK/src tree"
git clone -q --shared --no-checkout "$ROOT" "$SRC"
(cd "$ROOT" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp -a --parents -t "$SRC" 2>/dev/null)
git -C "$SRC" add -A && git -C "$SRC" -c user.name=test -c user.email=test@localhost commit -q --allow-empty -m "tree under test"
RELEASE="$SRC/scripts/release.sh"
COMMIT="$(git -C "$SRC" rev-parse HEAD)"

"$MKIMAGE" "$WORK/fw.bin" --block-size 16384 --partition BOOT:0:1:1 --partition SBL1:2:3:1 --partition SBL2:4:5:1 \
    --partition SBL3:6:7:1 --partition APPS:8:40:20 --partition DATA:41:60:10 >/dev/null

# A test PKI: root, intermediate, the maker's code-signing certificate, three it must refuse, and a
# time-stamp authority.
PKI="$WORK/pki"; mkdir -p "$PKI"
cat >"$PKI/ca.cnf" <<'CNF'
[ca]
default_ca = ca
[ca]
database = index.txt
new_certs_dir = .
rand_serial = yes
default_md = sha256
policy = any
unique_subject = no
[any]
commonName = supplied
[ca_ext]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
[sign_ext]
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
[server_ext]
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
[tsa_ext]
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
CNF
: >"$PKI/index.txt"
when() { date -u -d "$1" +%Y%m%d%H%M%SZ; }
issue() {  # name issuer extensions from until common-name
    local signer=(-cert "$2.crt" -keyfile "$2.key")
    [ "$2" = "$1" ] && signer=(-selfsign -keyfile "$1.key")
    (cd "$PKI" && openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1.key" &&
        openssl req -new -key "$1.key" -subj "/CN=$6" -out "$1.csr" &&
        openssl ca -batch -notext -config ca.cnf "${signer[@]}" -extensions "$3" -startdate "$4" -enddate "$5" \
            -in "$1.csr" -out "$1.crt") >/dev/null 2>&1 || fail "test certificate $1"
}
issue root root ca_ext "$(when '-1 day')" "$(when '+3 days')" "KRT test root"
issue int root ca_ext "$(when '-1 day')" "$(when '+3 days')" "KRT test intermediate"
issue leaf int sign_ext "$(when '-1 hour')" "$(when '+2 days')" "KRT test maker"
issue server int server_ext "$(when '-1 hour')" "$(when '+2 days')" "KRT test server"
issue expired int sign_ext 20200101000000Z 20210101000000Z "KRT test expired"
issue early int sign_ext "$(when '+1 day')" "$(when '+2 days')" "KRT test early"
issue tsa root tsa_ext "$(when '-1 day')" "$(when '+3 days')" "KRT test time-stamp authority"
for c in leaf server expired early; do cat "$PKI/$c.crt" "$PKI/int.crt" >"$PKI/$c-chain.pem"; done

# The time-stamp authority, on 127.0.0.1 only.
cat >"$PKI/ts.cnf" <<CNF
[tsa]
default_tsa = tsa
[tsa]
serial = $PKI/ts.serial
signer_cert = $PKI/tsa.crt
signer_key = $PKI/tsa.key
certs = $PKI/root.crt
signer_digest = sha256
default_policy = 1.3.6.1.4.1.55555.1
digests = sha256, sha384, sha512
ess_cert_id_alg = sha256
CNF
echo 01 >"$PKI/ts.serial"
python3 "$ROOT/tests/release/timestamp_server.py" "$PKI/ts.cnf" "$WORK/ts.port" 2>"$WORK/ts.log" &
for _ in $(seq 300); do [ -s "$WORK/ts.port" ] && break; sleep 0.1; done
export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1  # the queries never go through a proxy
TSA_URL="http://127.0.0.1:$(cat "$WORK/ts.port" 2>/dev/null)/"

# The maker's key in a SoftHSM token of the test's own.
export SOFTHSM2_CONF="$WORK/softhsm2.conf"
mkdir -p "$WORK/tokens"; printf 'directories.tokendir = %s\nobjectstore.backend = file\n' "$WORK/tokens" >"$SOFTHSM2_CONF"
P11_MODULE=/usr/lib/softhsm/libsofthsm2.so
PIN="pin-4711-test"
{ softhsm2-util --init-token --free --label "KRT signing" --so-pin 0000-so --pin "$PIN" &&
  openssl pkcs8 -topk8 -nocrypt -in "$PKI/leaf.key" -outform DER -out "$WORK/leaf.p8" &&
  openssl pkey -in "$PKI/leaf.key" -pubout -outform DER -out "$WORK/leaf.pub" &&
  for kind in privkey:leaf.p8 pubkey:leaf.pub; do
      pkcs11-tool --module "$P11_MODULE" --token-label "KRT signing" --login --pin "$PIN" \
          --write-object "$WORK/${kind#*:}" --type "${kind%%:*}" --label maker --id 01 || exit 1
  done; } >"$WORK/token.log" 2>&1 || fail "SoftHSM token" "$WORK/token.log"

# The maker's German licence, as Windows editors save it.
printf 'LIZENZVERTRAG F\xc3\x9cR DAS KRT-P940-UPGRADE\r\nBitte sorgf\xc3\xa4ltig lesen.\r\n\r\n* 1. NUTZUNG\r\nNur f\xc3\xbcr Ihr Ger\xc3\xa4t.\r\n' \
    >"$WORK/de-licence.txt"

# The maker's driver package, signed by the maker.
(cd "$ROOT/resources/driver" && wixl --arch x86 --output "$WORK/unsigned.msi" krt_usb_driver.wxs) || fail "no driver package (wixl)"
osslsigncode sign -certs "$PKI/leaf-chain.pem" -key "$PKI/leaf.key" -h sha256 -in "$WORK/unsigned.msi" \
    -out "$WORK/driver.msi" >/dev/null || fail "signing the driver package"
MSI="$WORK/driver.msi"

# A signed, time-stamped release, started from another folder with relative paths.
cd "$WORK"
KRT_RELEASE_BUILD=a run "$RELEASE" --firmware fw.bin --driver driver.msi --sign-key pki/leaf.key --sign-cert pki/leaf-chain.pem \
    --ca-file pki/root.crt --timestamp "$TSA_URL" --tsa-ca-file pki/root.crt --license de=de-licence.txt --out out >"$WORK/a.log" 2>&1
rc=$?
cd - >/dev/null
if [ $rc -eq 0 ] && [ "$(ls "$WORK/out" | tr '\n' ' ')" = "SHA256SUMS krt-flash.exe krt-upgrade.exe release.txt " ]; then
    pass "signed release made"
else
    fail "signed release" "$WORK/a.log"
fi
for exe in krt-upgrade.exe krt-flash.exe; do
    osslsigncode verify -CAfile "$PKI/root.crt" -TSA-CAfile "$PKI/root.crt" -in "$WORK/out/$exe" >"$WORK/verify-$exe.log" 2>&1 &&
        grep -q "^Timestamp Server Signature verification: ok" "$WORK/verify-$exe.log" &&
        grep -q "Subject: /CN=KRT test maker" "$WORK/verify-$exe.log" \
        && pass "osslsigncode verify $exe: chain to the root, time stamp" || fail "osslsigncode verify $exe" "$WORK/verify-$exe.log"
done
(cd "$WORK/out" && sha256sum -c --quiet SHA256SUMS && grep -c -E " (krt-upgrade|krt-flash)\.exe$" SHA256SUMS | grep -qx 2) \
    && pass "SHA256SUMS" || fail "SHA256SUMS"
txt="$WORK/out/release.txt"
grep -q "^  5  DATA blocks 41 to 60, 10 written$" "$txt" \
    && grep -q "^driver package: driver.msi, $(stat -c %s "$MSI") bytes, SHA-256 $(sha256sum <"$MSI" | cut -d' ' -f1), ProductVersion 5.16.0.0$" "$txt" \
    && grep -q "^firmware container: fw.bin, $(stat -c %s "$WORK/fw.bin") bytes, MD5 $(md5sum <"$WORK/fw.bin" | cut -d' ' -f1)$" "$txt" \
    && ! grep -q STAND-IN "$txt" \
    && pass "release.txt: container, partitions, package" || fail "release.txt" "$txt"
fingerprint="$(openssl x509 -in "$PKI/leaf.crt" -noout -fingerprint -sha256 | cut -d= -f2)"
grep -qx "source: commit $COMMIT, clean" "$txt" && grep -q "^compiler: .*-w64-mingw32-g++-posix (GCC) [0-9]" "$txt" \
    && grep -q "^linker: GNU ld (GNU Binutils) [0-9]" "$txt" && grep -q "^osslsigncode: [0-9]" "$txt" \
    && grep -qx "signing certificate: CN=KRT test maker" "$txt" && grep -qx "  issuer: CN=KRT test intermediate" "$txt" \
    && grep -qx "  valid from $(openssl x509 -in "$PKI/leaf.crt" -noout -startdate | cut -d= -f2) to $(openssl x509 -in "$PKI/leaf.crt" -noout -enddate | cut -d= -f2)" "$txt" \
    && grep -qx "  SHA-256 fingerprint: $fingerprint" "$txt" \
    && grep -qx "time-stamp authority: /CN=KRT test time-stamp authority at $TSA_URL" "$txt" \
    && grep -qx "driver package signature: /CN=KRT test maker, verified against root.crt" "$txt" \
    && pass "release.txt: source, tools, certificate, time-stamp authority, driver signer" || fail "release.txt: signing record" "$txt"
sed 's/^/    /' "$txt" 2>/dev/null
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

# The German licence: resource "LICENSE" 1 alone, "de", a NUL and the file's bytes; its record; a
# language the wizard lacks and a file that is not UTF-8 are refused before anything is built.
/usr/bin/python3 - "$WORK/out/krt-upgrade.exe" "$WORK/de-licence.txt" <<'PY' \
    && grep -qx "licence de: de-licence.txt, $(stat -c %s "$WORK/de-licence.txt") bytes, SHA-256 $(sha256sum <"$WORK/de-licence.txt" | cut -d' ' -f1)" "$txt" \
    && pass "the German licence embedded and recorded" || fail "the German licence" "$txt"
import sys, pefile
pe = pefile.PE(sys.argv[1])
found = {}
for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    if kind.name is not None and str(kind.name).upper() == "LICENSE":
        for res in kind.directory.entries:
            data = res.directory.entries[0].data.struct
            found[res.id] = pe.get_data(data.OffsetToData, data.Size)
sys.exit(0 if found == {1: b"de\0" + open(sys.argv[2], "rb").read()} else 1)
PY

# The same release with the key in the token, the PIN from the environment: it never shows.
KRT_SIGN_PIN="$PIN" KRT_RELEASE_BUILD="$WORK/a" run "$RELEASE" --firmware "$WORK/fw.bin" --driver "$MSI" \
    --sign-key "pkcs11:token=KRT%20signing;object=maker" --pkcs11-module "$P11_MODULE" --sign-cert "$PKI/leaf-chain.pem" \
    --ca-file "$PKI/root.crt" --license de="$WORK/de-licence.txt" --out "$WORK/out-token" >"$WORK/token-release.log" 2>&1 \
    || fail "release with the token" "$WORK/token-release.log"
for exe in krt-upgrade.exe krt-flash.exe; do
    osslsigncode verify -CAfile "$PKI/root.crt" -in "$WORK/out-token/$exe" 2>&1 | grep -q "Subject: /CN=KRT test maker" ||
        fail "token signature on $exe"
done
grep -qx "time-stamp authority: none (WARNING: the signatures end with the certificate)" "$WORK/out-token/release.txt" \
    && ! grep -r -q -e "$PIN" "$WORK/token-release.log" "$WORK/out-token/release.txt" \
    && pass "release signed with the key in the token" || fail "release with the token: record" "$WORK/out-token/release.txt"

# Refused before anything is built, and nothing written: certificates that are not for code signing,
# expired, not yet valid, or do not lead to the root (no intermediate); a wrong PIN; local changes.
refused() {  # name, text the refusal names, release arguments...
    local name="$1" want="$2"; shift 2
    KRT_RELEASE_BUILD="$WORK/never" run "$RELEASE" --firmware "$WORK/fw.bin" --driver "$MSI" --out "$WORK/out-$name" "$@" \
        >"$WORK/$name.log" 2>&1
    local rc=$?
    [ $rc -ne 0 ] && grep -q -e "$want" "$WORK/$name.log" && ! [ -e "$WORK/out-$name" ] && ! [ -e "$WORK/never" ] \
        && ! ls -A "$WORK" | grep -q '^\.release' && pass "refused: $name" || fail "refused: $name (exit $rc)" "$WORK/$name.log"
}
for bad in server:"CN=KRT test server in .* is not for code signing (extended key usage: TLS Web Server Authentication)" \
           expired:"CN=KRT test expired in .* expired on Jan  1 00:00:00 2021 GMT" early:"CN=KRT test early in .* is not valid before"; do
    refused "${bad%%:*}" "${bad#*:}" --sign-key "$PKI/${bad%%:*}.key" --sign-cert "$PKI/${bad%%:*}-chain.pem" --ca-file "$PKI/root.crt"
done
refused no-intermediate "does not lead to the root in $PKI/root.crt (unable to get local issuer certificate)" \
    --sign-key "$PKI/leaf.key" --sign-cert "$PKI/leaf.crt" --ca-file "$PKI/root.crt"
KRT_SIGN_PIN=1234 refused wrong-pin "PIN or passphrase for pkcs11:token=KRT%20signing;object=maker is wrong" \
    --sign-key "pkcs11:token=KRT%20signing;object=maker" --pkcs11-module "$P11_MODULE" --sign-cert "$PKI/leaf-chain.pem" --ca-file "$PKI/root.crt"
printf 'Lizenz f\xfcr\n' >"$WORK/latin1.txt"
refused license-language 'no language "xx"' --license xx="$WORK/de-licence.txt"
refused license-not-utf8 "licence text for de is not UTF-8: $WORK/latin1.txt, line 1" --license de="$WORK/latin1.txt"
echo "local change" >>"$SRC/README.md"
refused modified-tree "has local changes" --allow-stand-in

# A second build in another folder, later, of the tree with that change (--allow-dirty): the same bytes
# before signing. It takes the first one's native tools and artwork; that artwork is compared with the
# one the test run's native build drew apart, in another folder at another time.
KRT_RELEASE_BUILD="$WORK/b" KRT_RELEASE_HOST="$WORK/a/host" run "$RELEASE" --firmware "$WORK/fw.bin" --driver "$WORK/driver.msi" \
    --license de="$WORK/de-licence.txt" --allow-dirty --out "$WORK/out2" >"$WORK/b.log" 2>&1 || fail "second release" "$WORK/b.log"
grep -qx "source: commit $COMMIT, modified" "$WORK/out2/release.txt" && grep -qx "   M README.md" "$WORK/out2/release.txt" \
    && grep -qx "signed: no" "$WORK/out2/release.txt" \
    && pass "--allow-dirty: release.txt says modified, names the file" || fail "--allow-dirty record" "$WORK/out2/release.txt"
git -C "$SRC" checkout -q README.md
/usr/bin/python3 "$ROOT/tests/release/pe_windows_version.py" "$WORK/out2/krt-upgrade.exe" "$WORK/out2/krt-flash.exe" \
    >"$WORK/pe.log" 2>&1 && pass "both programs ask for Windows 7" || fail "Windows version in the PE headers" "$WORK/pe.log"
for exe in app/krt-upgrade.exe cli/krt-flash.exe; do
    a="$(sha256sum <"$WORK/a/product/$exe" | cut -d' ' -f1)"; b="$(sha256sum <"$WORK/b/product/$exe" | cut -d' ' -f1)"
    [ -n "$a" ] && [ "$a" = "$b" ] && pass "reproducible $exe: $a" || fail "reproducible $exe: $a vs $b"
done

art_here="$(dirname "$MKIMAGE")/../artwork"
if [ -f "$art_here/artwork.rc" ]; then
    { diff -r "$art_here/png" "$WORK/a/host/resources/artwork/png" &&
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
    KRT_RELEASE_BUILD="$WORK/a" run "$RELEASE" --firmware "$WORK/$name.bin" --driver "$WORK/driver.msi" \
        --out "$WORK/out-$name" >"$WORK/$name.log" 2>&1
    rc=$?
    [ $rc -ne 0 ] && grep -q "$WORK/$name.bin" "$WORK/$name.log" && grep -q "$want" "$WORK/$name.log" && ! [ -e "$WORK/out-$name" ] \
        && pass "container refused: $name" || fail "container refused: $name (exit $rc)" "$WORK/$name.log"
done
run "$RELEASE" --firmware "$WORK/fw.bin" --driver "$WORK/driver.msi" --out "$WORK/out" >"$WORK/full.log" 2>&1 \
    && fail "a non-empty output folder was taken" || { grep -q "not an empty folder" "$WORK/full.log" && pass "non-empty folder refused"; }
run "$RELEASE" --firmware "$WORK/fw.bin" --out "$WORK/out3" >"$WORK/nodrv.log" 2>&1 \
    && fail "a release without --driver" || { grep -q "stand-in" "$WORK/nodrv.log" && ! [ -e "$WORK/out3" ] && pass "no --driver refused, names the stand-in"; }

# Ended while it builds: every process it started ends with it, and nothing is left behind.
KRT_RELEASE_BUILD="$WORK/c" "$RELEASE" --firmware "$WORK/fw.bin" --driver "$MSI" --out "$WORK/out-int" >"$WORK/int.log" 2>&1 &
rel=$!
for _ in $(seq 600); do pgrep -P "$rel" cmake >/dev/null && break; sleep 0.05; done
sleep 1
started="$(descendants "$rel")"
kill -TERM "$rel"; wait "$rel"; rc=$?
sleep 0.5
alive=""; for p in $started; do kill -0 "$p" 2>/dev/null && alive="$alive $p"; done
[ $rc -eq 130 ] && grep -q "interrupted; nothing was written" "$WORK/int.log" && [ -n "$started" ] && [ -z "$alive" ] && ! [ -e "$WORK/out-int" ] && ! ls -A "$WORK" | grep -q '^\.release' \
    && pass "interrupted release: $(echo $started | wc -w) processes ended, nothing written" \
    || fail "interrupted release (exit $rc, still running:$alive)" "$WORK/int.log"

# The signed wizard under Wine: its first page, its version, and no test switch.
if [ -n "${KRT_RELEASE_WAIT_FOR:-}" ]; then
    for _ in $(seq 1 3600); do [ -s "$KRT_RELEASE_WAIT_FOR" ] && break; sleep 1; done
    [ "$(cat "$KRT_RELEASE_WAIT_FOR" 2>/dev/null)" = 0 ] || echo "the Windows build that drives the wizard failed or never ended"
fi
shots="$WORK/shots"; mkdir -p "$shots"
KRT_WINE_X=1 KRT_TIME_SCALE=1000 KRT_WIZARD_EXE="Z:$WORK/out/krt-upgrade.exe" KRT_E2E_SHOTS="Z:${shots//\//\\}" \
    run "$ROOT/scripts/wine-run.sh" "$DRIVER_EXE" --gtest_color=no --gtest_filter='WizardRelease.*' >"$WORK/wine.log" 2>&1 \
    && grep -q "\[  PASSED  \] 1 test" "$WORK/wine.log" && pass "signed release under Wine" || fail "signed release under Wine" "$WORK/wine.log"

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
