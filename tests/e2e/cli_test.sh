#!/usr/bin/env bash
# krt-flash as a user runs it: exit statuses, what it prints, and what it leaves in the temporary folder.
#   cli_test.sh KRT_FLASH KRT_DEVSIM KRT_MKIMAGE
set -uo pipefail
FLASH="$1"; DEVSIM="$2"; MKIMAGE="$3"
WORK="$(mktemp -d)"; trap 'rm -rf "$WORK"; kill $(jobs -p) 2>/dev/null' EXIT
export TMPDIR="$WORK/tmp"; mkdir -p "$TMPDIR"
failures=0; passes=0

check() {  # name, expected status, actual status, [output file, expected text]
    local name="$1" want="$2" got="$3"
    if [ "$got" != "$want" ]; then
        echo "FAIL $name: exit status $got, expected $want"; [ -n "${4:-}" ] && sed 's/^/    /' "$4" | tail -20
        failures=$((failures + 1)); return
    fi
    if [ -n "${4:-}" ] && ! grep -qF -- "$5" "$4"; then
        echo "FAIL $name: output lacks '$5'"; sed 's/^/    /' "$4" | tail -20
        failures=$((failures + 1)); return
    fi
    if [ -n "$(ls -A "$TMPDIR")" ]; then
        echo "FAIL $name: left in the temporary folder: $(ls -A "$TMPDIR")"; rm -rf "${TMPDIR:?}"/*
        failures=$((failures + 1)); return
    fi
    echo "ok   $name"; passes=$((passes + 1))
}

"$FLASH" --version > "$WORK/out" 2>&1; check version 0 $? "$WORK/out" "krt-flash 1.0.019"
"$FLASH" --help > "$WORK/out" 2>&1; check help 0 $? "$WORK/out" "KRT_TIME_SCALE"
# The folder a killed run left goes at the next start; that of a run still going stays.
true & dead=$!; wait $dead
sleep 30 & alive=$!
mkdir -p "$TMPDIR/krt-p940.$dead.x1" "$TMPDIR/krt-p940.$alive.x2"
touch "$TMPDIR/krt-p940.$dead.x1/AMSS4" "$TMPDIR/krt-p940.$alive.x2/AMSS4"
"$FLASH" --version > /dev/null 2>&1
if [ ! -e "$TMPDIR/krt-p940.$dead.x1" ] && [ -e "$TMPDIR/krt-p940.$alive.x2/AMSS4" ]; then
    echo "ok   orphaned-folders"; passes=$((passes + 1))
else
    echo "FAIL orphaned-folders: $(ls -R "$TMPDIR")"; failures=$((failures + 1))
fi
kill $alive 2>/dev/null; wait $alive 2>/dev/null; rm -rf "${TMPDIR:?}"/*
"$FLASH" --bogus > "$WORK/out" 2>&1; check bad-option 2 $? "$WORK/out" "bogus"
"$FLASH" --info > "$WORK/out" 2>&1; check info 0 $? "$WORK/out" "6  DSP2     78    483    391  0x009C0000 0x03AA0000 0x00800000 0x038E0000 yes"
"$FLASH" --check-driver > "$WORK/out" 2>&1; check driver-linux 0 $? "$WORK/out" "No USB driver is needed"

# Time-outs of a tenth: a reply later than its scaled time-out would pass for the next command's, and the
# verification would (rightly) fail; a loaded machine must not get there.
KRT_TIME_SCALE=0.1 "$FLASH" --simulate > "$WORK/out" 2>&1; check simulate 0 $? "$WORK/out" "Verification passed"
export KRT_TIME_SCALE=0.01
grep -qF "Software Download Complete." "$WORK/out" || { echo "FAIL simulate: no final text"; failures=$((failures + 1)); }

head -c 5000 /dev/urandom > "$WORK/junk.bin"
"$FLASH" --simulate --image "$WORK/junk.bin" > "$WORK/out" 2>&1
check invalid-image 5 $? "$WORK/out" "Binary Selected is not a valid KVZ Binary."

# A table whose APPS region reaches over a boot partition: refused by --info and before any command.
"$MKIMAGE" "$WORK/overlap.bin" --block-size 16384 --partition BOOT:0:1:1 --partition SBL1:2:3:1 \
    --partition SBL2:4:5:1 --partition SBL3:6:7:1 --partition APPS:2:40:20 > /dev/null
"$FLASH" --info --image "$WORK/overlap.bin" > "$WORK/out" 2>&1
check overlapping-layout-info 5 $? "$WORK/out" "Partitions SBL1 (blocks 2 to 3) and APPS (blocks 2 to 40) overlap in flash."
"$FLASH" --simulate --image "$WORK/overlap.bin" > "$WORK/out" 2>&1
check overlapping-layout-flash 5 $? "$WORK/out" "not a valid KVZ Binary. Partitions SBL1"
rm -f "$WORK/overlap.bin"

"$FLASH" --port "$WORK/no-such-tty" > "$WORK/out" 2>&1; check port-setup 4 $? "$WORK/out" "Cannot Open ComPort!"
"$FLASH" > "$WORK/out" 2>&1; check no-port 3 $? "$WORK/out" "Error in Finding Com Port!"
# A disk too small for the run (a private tmpfs in a user namespace, where the system allows one): its own
# exit status, and the message names the folder, whether the staged image or the partition files overflow.
if unshare -rm true 2>/dev/null; then
    small_disk() {  # size, krt-flash arguments...
        local size="$1"; shift
        unshare -rm bash -c 'mount -t tmpfs -o size="$0" tmpfs "$TMPDIR" && exec "$@"' "$size" "$FLASH" "$@"
    }
    small_disk 64m --simulate > "$WORK/out" 2>&1
    check disk-full-partition-files 12 $? "$WORK/out" "Cannot write the partition files to $TMPDIR/krt-p940."
    small_disk 16m --simulate > "$WORK/out" 2>&1
    check disk-full-staging 12 $? "$WORK/out" "cannot write the staged image $TMPDIR/krt-p940."
else
    echo "skip disk-full: no user namespace for a private tmpfs"
fi

# Numbers the port object cannot open are refused before anything is staged.
"$FLASH" --port COM129 > "$WORK/out" 2>&1; check port-above-128 2 $? "$WORK/out" "only COM1 to COM128"
"$FLASH" --port 'COM255' > "$WORK/out" 2>&1; check port-255 2 $? "$WORK/out" "only COM1 to COM128"
"$FLASH" --port com0 > "$WORK/out" 2>&1; check port-0 2 $? "$WORK/out" "only COM1 to COM128"
"$FLASH" --port COM7 --port COM200 > "$WORK/out" 2>&1; check port-200-of-several 2 $? "$WORK/out" "COM200: only COM1"
KRT_TIME_SCALE=abc "$FLASH" > "$WORK/out" 2>&1; check bad-time-scale 2 $? "$WORK/out" "KRT_TIME_SCALE"

# A device that refuses the startup command, on its own pty.
"$DEVSIM" --time-scale 0.01 --status startup=1 --link "$WORK/dev" > "$WORK/devsim.out" 2>&1 &
for _ in $(seq 1 100); do [ -e "$WORK/dev" ] && break; sleep 0.05; done
"$FLASH" --port "$WORK/dev" > "$WORK/out" 2>&1; check refused 7 $? "$WORK/out" "Unrecognized Response. Unrecognized ACK Value: 1."
kill %1 2>/dev/null; wait 2>/dev/null

# A container of our own and a device link, both named relative to the folder krt-flash starts in (it
# changes folder to stage the image).
"$MKIMAGE" "$WORK/small.bin" --block-size 16384 --partition BOOT:0:1:1 --partition SBL1:2:3:1 \
    --partition SBL2:4:5:1 --partition SBL3:6:7:1 --partition APPS:8:15:3 > /dev/null
"$DEVSIM" --time-scale 0.1 --link "$WORK/dev" --verify "$WORK/small.bin" > "$WORK/devsim.out" 2>&1 &
devsim=$!
for _ in $(seq 1 100); do [ -e "$WORK/dev" ] && break; sleep 0.05; done
(cd "$WORK" && exec env KRT_TIME_SCALE=0.1 "$FLASH" --image small.bin --port dev --no-rebuild) > "$WORK/out" 2>&1 &
flash=$!
# A flasher needs a block buffer, not an image: its anonymous memory stays far below the image's size.
anon_peak=0
while kill -0 $flash 2>/dev/null; do
    anon=$(awk '/^RssAnon:/{print $2}' /proc/$flash/status 2>/dev/null)
    [ -n "$anon" ] && [ "$anon" -gt "$anon_peak" ] && anon_peak=$anon
    sleep 0.02
done
wait $flash; check relative-paths 0 $? "$WORK/out" "Software Download Complete."
if ldd "$FLASH" 2>/dev/null | grep -qE 'lib(a|t)san'; then
    echo "skip anonymous-memory: a sanitizer build carries shadow memory"
elif [ "$anon_peak" -ge 32768 ]; then
    echo "FAIL anonymous-memory: peak RssAnon ${anon_peak} kB, expected under 32 MB"; failures=$((failures + 1))
else
    echo "ok   anonymous-memory (peak RssAnon ${anon_peak} kB)"; passes=$((passes + 1))
fi
wait $devsim; check relative-paths-verified 0 $? "$WORK/devsim.out" "verification passed"

# Nobody reads the output after its third line: the flash goes on to the end (the exit status still says
# whether the device verified) and nothing is left behind.
KRT_TIME_SCALE=0.1 "$FLASH" --simulate --image "$WORK/small.bin" 2>&1 | head -3 > "$WORK/out"
check closed-pipe 0 "${PIPESTATUS[0]}"

# Ctrl-C in the middle of a real-speed run: the port is closed, nothing is left behind.
unset KRT_TIME_SCALE
"$FLASH" --simulate > "$WORK/out" 2>&1 &
pid=$!
for _ in $(seq 1 200); do grep -q "Flash Writing" "$WORK/out" 2>/dev/null && break; sleep 0.05; done
kill -INT $pid; wait $pid; check interrupt 130 $? "$WORK/out" "interrupted"

# Ctrl-C while the flashed device reboots: the download is complete, and that is what counts. A small
# image gets there quickly, in a sanitizer build too.
KRT_TIME_SCALE=0.2 "$FLASH" --simulate --image "$WORK/small.bin" > "$WORK/out" 2>&1 &
pid=$!
for _ in $(seq 1 600); do grep -q "Rebooting phone" "$WORK/out" 2>/dev/null && break; sleep 0.05; done
sleep 0.5
kill -INT $pid; wait $pid; check interrupt-while-rebooting 0 $? "$WORK/out" "Verification passed"

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
