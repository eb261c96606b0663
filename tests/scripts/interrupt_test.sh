#!/usr/bin/env bash
# Ctrl-C on scripts/test.sh ends everything the run started. A run with a stage beside the others (fuzz,
# in a session of its own) and a Wine stage (win64) gets SIGINT while both go on and Wine programs run;
# afterwards no process of the run may be left (Xvfb and wineserver included) and no Wine prefix of it.
# Run after scripts/test.sh, so that the builds are there and the stages start their tests at once.
set -uo pipefail
cd "$(dirname "$0")/../.."
WORK="$(mktemp -d)"
MARK="KRT_INTERRUPT_CHECK=$$.$(date +%s%N)"
pass=0 fail=0
ok() { echo "PASS: $1"; pass=$((pass + 1)); }
bad() { echo "FAIL: $1"; fail=$((fail + 1)); }

# The processes whose environment holds the mark (every process of the run inherits it), one a line:
# pid, name, and whether it belongs to the beside stage.
run_processes() {
    local files=(/proc/[0-9]*/environ) file dir
    for file in $(grep -lsxzF -- "$MARK" "${files[@]}"); do
        dir="${file%/environ}"
        [ "${dir#/proc/}" != "$BASHPID" ] || continue
        printf '%s %s' "${dir#/proc/}" "$(cat "$dir/comm" 2>/dev/null)"
        grep -qsxzF KRT_BESIDE_NAME=fuzz "$file" && printf ' beside'
        echo
    done
}
finish() {
    local left
    left="$(run_processes | cut -d' ' -f1)"
    # shellcheck disable=SC2086
    [ -z "$left" ] || kill -KILL $left 2>/dev/null
    rm -rf "$WORK"
}
trap finish EXIT

# A script started in the background ignores SIGINT unless told otherwise; Ctrl-C in a terminal does not.
t0=$SECONDS
env "$MARK" TMPDIR="$WORK" KRT_STAGES="fuzz win64" env --default-signal=INT scripts/test.sh >"$WORK/run.log" 2>&1 &
run=$!
seen=""
while [ $((SECONDS - t0)) -lt 240 ] && kill -0 $run 2>/dev/null; do
    seen="$(run_processes)"
    grep -q ' beside' <<<"$seen" && grep -qE ' (wineserver|Xvfb)' <<<"$seen" && break
    sleep 0.5
done
if grep -q ' beside' <<<"$seen" && grep -qE ' (wineserver|Xvfb)' <<<"$seen"; then
    ok "the beside stage and Wine run together ($(wc -l <<<"$seen") processes) after $((SECONDS - t0)) s"
else
    bad "the beside stage and Wine never ran together within $((SECONDS - t0)) s"
    tail -20 "$WORK/run.log"
fi

t1=$(date +%s%N)
kill -INT $run
for _ in $(seq 1 300); do kill -0 $run 2>/dev/null || break; sleep 0.1; done
if kill -0 $run 2>/dev/null; then
    bad "scripts/test.sh still runs 30 s after SIGINT"
else
    wait $run
    rc=$?
    [ $rc -eq 130 ] && ok "scripts/test.sh ended with exit status 130 after $((($(date +%s%N) - t1) / 1000000)) ms" ||
        bad "scripts/test.sh ended with exit status $rc (130 expected)"
fi
left="$(run_processes)"
[ -z "$left" ] && ok "no process of the run left" || bad "processes of the run left: $(tr '\n' ',' <<<"$left")"
prefixes="$(find "$WORK" -maxdepth 1 -name 'krt-*' | wc -l)"
[ "$prefixes" -eq 0 ] && ok "no Wine prefix or X server folder of the run left" || bad "$prefixes folders of the run left in its TMPDIR"
echo "$pass passed, $fail failed"
[ $fail -eq 0 ]
