#!/usr/bin/env bash
# krt-flash on a service bench: several simulated devices at once, --json events, the time left, --log.
#   multi_flash_test.sh PART KRT_FLASH KRT_DEVSIM KRT_MKIMAGE
# PART: devices (several at once, failures, command line), reports (--json, time left) or logs (--log,
# Ctrl-C); three parts so that ctest can run them side by side.
set -uo pipefail
PART="$1"; FLASH="$2"; DEVSIM="$3"; MKIMAGE="$4"
WORK="$(mktemp -d)"; trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$WORK"' EXIT
export TMPDIR="$WORK/tmp"; mkdir -p "$TMPDIR"
# A tenth of the time: the 15 s reboot wait takes 1.5 s, and time-outs stay well above a busy machine's
# delays. Several devices at once load the machine more: they get a fifth.
export KRT_TIME_SCALE=0.1
[ "$PART" = devices ] && export KRT_TIME_SCALE=0.2
failures=0; passes=0
fail() { echo "FAIL $1"; [ -n "${2:-}" ] && sed 's/^/    /' "$2" | tail -25; failures=$((failures + 1)); }
pass() { echo "ok   $1"; passes=$((passes + 1)); }
leftovers() {  # the temporary folder must be empty after every run
    if [ -n "$(ls -A "$TMPDIR")" ]; then echo "    left behind: $(ls -A "$TMPDIR")"; rm -rf "${TMPDIR:?}"/*; return 0; fi
    return 1
}

# APPS4 of 20 blocks and DATA5 of 10 are written; the boot partitions never are.
"$MKIMAGE" "$WORK/small.bin" --block-size 16384 --partition BOOT:0:1:1 --partition SBL1:2:3:1 \
    --partition SBL2:4:5:1 --partition SBL3:6:7:1 --partition APPS:8:40:20 --partition DATA:41:60:10 > /dev/null
BLOCKS=30

# start_device NAME [krt-devsim options...]: a simulated device on a pty linked at $WORK/NAME.
start_device() {
    local name="$1"; shift
    rm -f "$WORK/$name"
    "$DEVSIM" --time-scale "$KRT_TIME_SCALE" --link "$WORK/$name" --verify "$WORK/small.bin" "$@" > "$WORK/$name.devsim" 2>&1 &
    eval "pid_$name=$!"
    for _ in $(seq 1 200); do [ -e "$WORK/$name" ] && return; sleep 0.05; done
    echo "device $name did not come up"; cat "$WORK/$name.devsim"
}
# device_status NAME: krt-devsim's exit status (0: verification passed).
device_status() { local var="pid_$1"; wait "${!var}"; }

if [ "$PART" = devices ]; then
# --- Two devices, then four, at once; every one verifies its flash.
for count in 2 4; do
    ports=(); names=()
    for n in $(seq 1 $count); do start_device "dev$n"; ports+=(--port "$WORK/dev$n"); names+=("dev$n"); done
    "$FLASH" --image "$WORK/small.bin" "${ports[@]}" > "$WORK/out" 2>&1; rc=$?
    ok=1
    [ $rc -eq 0 ] || { fail "$count devices: exit status $rc" "$WORK/out"; ok=0; }
    for name in "${names[@]}"; do
        device_status "$name" || { fail "$count devices: $name did not verify" "$WORK/$name.devsim"; ok=0; }
        grep -qF "$WORK/$name: Software Download Complete." "$WORK/out" || { fail "$count devices: no final text for $name" "$WORK/out"; ok=0; }
    done
    grep -qF "$count of $count devices flashed" "$WORK/out" || { fail "$count devices: no summary" "$WORK/out"; ok=0; }
    leftovers && { fail "$count devices: staged files left"; ok=0; }
    [ $ok -eq 1 ] && pass "$count devices at once, all verified"
done

# --- Four devices, the third refuses every write: the others complete and verify, the exit status is its.
for n in 1 2 4; do start_device "dev$n"; done
start_device dev3 --status write=5
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --port "$WORK/dev2" --port "$WORK/dev3" --port "$WORK/dev4" \
    > "$WORK/out" 2>&1; rc=$?
ok=1
[ $rc -eq 8 ] || { fail "refused write: exit status $rc, expected 8" "$WORK/out"; ok=0; }
for n in 1 2 4; do
    device_status "dev$n" || { fail "refused write: dev$n did not verify" "$WORK/dev$n.devsim"; ok=0; }
    grep -qF "$WORK/dev$n: Software Download Complete." "$WORK/out" || { fail "refused write: dev$n not complete" "$WORK/out"; ok=0; }
done
kill "$pid_dev3" 2>/dev/null; wait "$pid_dev3" 2>/dev/null
grep -qF "$WORK/dev3: Flash download error!" "$WORK/out" || { fail "refused write: dev3's text" "$WORK/out"; ok=0; }
grep -qF "3 of 4 devices flashed" "$WORK/out" || { fail "refused write: summary" "$WORK/out"; ok=0; }
leftovers && { fail "refused write: staged files left"; ok=0; }
[ $ok -eq 1 ] && pass "one device of four refuses a write; the others complete; its exit status"

# --- One of two devices is unplugged half-way: the other completes.
start_device dev1; start_device dev2 --unplug-after 5
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --port "$WORK/dev2" > "$WORK/out" 2>&1; rc=$?
ok=1
device_status dev1 || { fail "unplugged: dev1 did not verify" "$WORK/dev1.devsim"; ok=0; }
wait "$pid_dev2" 2>/dev/null
[ $rc -ne 0 ] || { fail "unplugged: exit status 0" "$WORK/out"; ok=0; }
grep -qF "$WORK/dev1: Software Download Complete." "$WORK/out" || { fail "unplugged: dev1 not complete" "$WORK/out"; ok=0; }
grep -q "^$WORK/dev2: .*\(error\|Error\|Unable\)" "$WORK/out" || { fail "unplugged: dev2's failure text" "$WORK/out"; ok=0; }
leftovers && { fail "unplugged: staged files left"; ok=0; }
[ $ok -eq 1 ] && pass "one of two devices unplugged; the other completes"

# --- Command-line combinations and --all without any device port.
"$FLASH" --all > "$WORK/out" 2>&1; rc=$?
[ $rc -eq 3 ] && grep -qF "Error in Finding Com Port!" "$WORK/out" && pass "--all without device ports" || fail "--all without device ports: $rc" "$WORK/out"
"$FLASH" --all --port "$WORK/dev1" > "$WORK/out" 2>&1; [ $? -eq 2 ] && pass "--all with --port refused" || fail "--all with --port" "$WORK/out"
"$FLASH" --port "$WORK/a" --port "$WORK/a" > "$WORK/out" 2>&1; [ $? -eq 2 ] && pass "a port twice refused" || fail "a port twice" "$WORK/out"
"$FLASH" --help > "$WORK/out" 2>&1
grep -q -- "--all" "$WORK/out" && grep -q -- "--json" "$WORK/out" && grep -q -- "--log" "$WORK/out" && grep -qF "run-COM7.log" "$WORK/out" \
    && pass "help documents --all, --json, --log" || fail "help" "$WORK/out"

fi

if [ "$PART" = reports ]; then
# --- --json: every line is an event, in order; "done" says what the text mode says.
# check_json FILE EXPECTED_EXIT EXPECTED_TEXT
check_json() {
    python3 - "$@" <<'PY'
import json, sys
path, want_exit, want_text = sys.argv[1], int(sys.argv[2]), sys.argv[3]
events = []
for n, line in enumerate(open(path), 1):
    try:
        events.append(json.loads(line))
    except ValueError:
        sys.exit(f"line {n} is no JSON: {line!r}")
kinds = [e["event"] for e in events]
if kinds.count("done") != 1 or kinds[-1] != "done":
    sys.exit(f"'done' must come once, last: {kinds[-5:]}")
done = events[-1]
if done["exit"] != want_exit or done["text"] != want_text:
    sys.exit(f"done says {done['exit']} {done['text']!r}, expected {want_exit} {want_text!r}")
last = {}
elapsed = 0.0
for e in events:
    if e["event"] == "progress":
        p = e["partition"]
        if p in last and e["percent"] < last[p]:
            sys.exit(f"percent of {p} went back from {last[p]} to {e['percent']}")
        last[p] = e["percent"]
        if e["elapsed_s"] < elapsed or not 0 <= e["bytes_done"] <= e["bytes_total"]:
            sys.exit(f"bad progress event {e}")
        elapsed = e["elapsed_s"]
    elif e["event"] == "status" and not e["text"]:
        sys.exit("empty status")
print(f"{len(events)} events, partitions {sorted(last)}")
PY
}
start_device dev1
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --json > "$WORK/json" 2> "$WORK/json.err"; rc=$?
device_status dev1 >/dev/null
if msg=$(check_json "$WORK/json" 0 "Software Download Complete." 2>&1) && [ $rc -eq 0 ] \
    && grep -q '"progress".*"partition":"DATA5".*"percent":100\|"percent":100.*"partition":"DATA5"' "$WORK/json"; then
    pass "--json of a complete run ($msg)"
else
    fail "--json of a complete run: $rc $msg" "$WORK/json"
fi
leftovers && fail "--json: staged files left"
# The same failure in both modes: the text and the exit status agree.
# The device answers at once; the five attempts' pauses are what take the time.
start_device dev1 --status startup=1
KRT_TIME_SCALE=0.02 "$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" > "$WORK/text" 2>&1; text_rc=$?
kill "$pid_dev1" 2>/dev/null; wait "$pid_dev1" 2>/dev/null
start_device dev1 --status startup=1
KRT_TIME_SCALE=0.02 "$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --json > "$WORK/json" 2> "$WORK/json.err"; rc=$?
kill "$pid_dev1" 2>/dev/null; wait "$pid_dev1" 2>/dev/null
text="Unrecognized Response. Unrecognized ACK Value: 1."
if grep -qF "$text" "$WORK/text" && [ $rc -eq $text_rc ] && msg=$(check_json "$WORK/json" $text_rc "$text" 2>&1); then
    pass "--json and the text mode agree on a refused startup (exit $rc)"
else
    fail "--json vs text mode: $rc vs $text_rc ${msg:-}" "$WORK/json"
fi
# Several devices with --json: the children's events pass through, each with its port.
start_device dev1; start_device dev2
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --port "$WORK/dev2" --json > "$WORK/json" 2> "$WORK/json.err"; rc=$?
device_status dev1 >/dev/null; device_status dev2 >/dev/null
n_done=$(python3 -c 'import json,sys; print(sorted(e["port"] for e in map(json.loads, open(sys.argv[1])) if e["event"] == "done" and e["exit"] == 0))' "$WORK/json" 2>&1)
[ $rc -eq 0 ] && [ "$n_done" = "['$WORK/dev1', '$WORK/dev2']" ] && pass "--json with two devices" || fail "--json with two devices: $rc $n_done" "$WORK/json"
leftovers && fail "--json with two devices: staged files left"

# --- The time left: over a throttled link (460800 baud) the first estimate, given after 3 s of writing,
# is within 25% of the time the writing then really took. In real time: scaled, the first 3 s would be a
# few hundred milliseconds, in which one hiccup of a busy machine weighs too much. Once the device
# reboots, Ctrl-C spares the test the 15 s wait (the download is complete: exit status 0).
KRT_TIME_SCALE=1 start_device dev1 --throttle 46080
KRT_TIME_SCALE=1 "$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --json > "$WORK/json" 2> "$WORK/json.err" &
flash=$!
for _ in $(seq 1 600); do grep -q '"Rebooting phone"' "$WORK/json" && break; sleep 0.05; done
kill -INT $flash; wait $flash; rc=$?
device_status dev1 >/dev/null
msg=$(python3 - "$WORK/json" <<'PY'
import json, sys
events = [json.loads(l) for l in open(sys.argv[1])]
progress = [e for e in events if e["event"] == "progress"]
first = next(e for e in progress if e["eta_s"] is not None)
end = next(e for e in progress if e["bytes_done"] == e["bytes_total"])
start = progress[0]  # the first partition is erased, its first block goes out
real_left = end["elapsed_s"] - first["elapsed_s"]
err = abs(first["eta_s"] - real_left) / real_left
print(f"estimate {first['eta_s']} s at {first['elapsed_s']} s, really {real_left:.1f} s ({err:.0%} off)")
sys.exit(0 if err <= 0.25 and first["elapsed_s"] - start["elapsed_s"] >= 2.9 else 1)
PY
)
[ $? -eq 0 ] && [ $rc -eq 0 ] && pass "time left within 25%: $msg" || fail "time left: $rc $msg" "$WORK/json"
# The text display shows it too, and the closing summary.
start_device dev1 --throttle 23040
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" > "$WORK/out" 2>&1; rc=$?
device_status dev1 >/dev/null
grep -q "s left" "$WORK/out" && grep -q "^Wrote 491520 bytes in 2 partitions in [0-9]* s ([0-9.]* KB/s)" "$WORK/out" \
    && pass "text display: time left and summary" || fail "text display: time left and summary" "$WORK/out"

fi

if [ "$PART" = logs ]; then
# --- --log: one record per block written, a retried block shows both attempts; the log is appended to.
echo "kept: an earlier line" > "$WORK/run.log"
start_device dev1 --no-reply write:first=1
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --log "$WORK/run.log" > "$WORK/out" 2>&1; rc=$?
device_status dev1 >/dev/null
writes=$(grep -c " write tag=" "$WORK/run.log")
ok=1
[ $rc -eq 0 ] || { fail "log: exit status $rc" "$WORK/out"; ok=0; }
head -1 "$WORK/run.log" | grep -qx "kept: an earlier line" || { fail "log: earlier content lost" "$WORK/run.log"; ok=0; }
[ "$writes" -eq $((BLOCKS + 1)) ] || { fail "log: $writes write records for $BLOCKS blocks and one retry" "$WORK/run.log"; ok=0; }
grep -q "write tag=2 address=0x00020000 length=16384 attempt=1 -> time-out after 2000 ms" "$WORK/run.log" \
    && grep -q "write tag=2 address=0x00020000 length=16384 attempt=2 (retry) -> status=2 ok rtt=[0-9]*ms" "$WORK/run.log" \
    || { fail "log: the retried block's two attempts" "$WORK/run.log"; ok=0; }
for want in "krt-flash 1.0.019 run begins" "host: " "port: $WORK/dev1" "image: $WORK/small.bin, $(stat -c %s "$WORK/small.bin") bytes, md5 $(md5sum < "$WORK/small.bin" | cut -d' ' -f1)" \
    "port opened: COM" "startup tag=0 payload=1 attempt=1 -> status=2 ok" "erase tag=1 address=0x00020000 length=327680 attempt=1" \
    "final: Software Download Complete." "exit status 0 after"; do
    grep -qF -- "$want" "$WORK/run.log" || { fail "log lacks '$want'" "$WORK/run.log"; ok=0; }
done
[ $ok -eq 1 ] && pass "log: $BLOCKS blocks, one retried, appended to"
start_device dev1
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --log "$WORK/run.log" > "$WORK/out" 2>&1
device_status dev1 >/dev/null
[ "$(grep -c "run begins" "$WORK/run.log")" -eq 2 ] && [ "$(grep -c " write tag=" "$WORK/run.log")" -eq $((2 * BLOCKS + 1)) ] \
    && pass "log: a second run appends" || fail "log: second run" "$WORK/run.log"
# One log per device, the port in its name.
start_device dev1; start_device dev2
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --port "$WORK/dev2" --log "$WORK/bench.log" > "$WORK/out" 2>&1; rc=$?
device_status dev1 >/dev/null; device_status dev2 >/dev/null
[ $rc -eq 0 ] && [ "$(grep -c " write tag=" "$WORK/bench-dev1.log")" -eq $BLOCKS ] && [ "$(grep -c " write tag=" "$WORK/bench-dev2.log")" -eq $BLOCKS ] \
    && ! [ -e "$WORK/bench.log" ] && pass "one log per device" || fail "one log per device: $rc" "$WORK/out"

# --- Ctrl-C stops every device: the children close their ports and remove their files, the parent waits.
start_device dev1 --throttle 23040; start_device dev2 --throttle 23040
"$FLASH" --image "$WORK/small.bin" --port "$WORK/dev1" --port "$WORK/dev2" --log "$WORK/int.log" > "$WORK/out" 2>&1 &
flash=$!
for _ in $(seq 1 200); do
    grep -q " write tag=" "$WORK/int-dev1.log" 2>/dev/null && grep -q " write tag=" "$WORK/int-dev2.log" 2>/dev/null && break
    sleep 0.05
done
kill -INT $flash; wait $flash; rc=$?
ok=1
[ $rc -eq 130 ] || { fail "Ctrl-C: exit status $rc" "$WORK/out"; ok=0; }
pgrep -f -- "--log $WORK/int-dev" > /dev/null && { fail "Ctrl-C: a child is still running"; ok=0; }
leftovers && { fail "Ctrl-C: staged files left"; ok=0; }
grep -q "exit status 130" "$WORK/int-dev1.log" && grep -q "exit status 130" "$WORK/int-dev2.log" || { fail "Ctrl-C: children's logs" "$WORK/int-dev1.log"; ok=0; }
kill "$pid_dev1" "$pid_dev2" 2>/dev/null; wait "$pid_dev1" "$pid_dev2" 2>/dev/null
[ $ok -eq 1 ] && pass "Ctrl-C stops every device cleanly"
fi

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
