#!/usr/bin/env bash
# Builds everything and runs every test suite:
#   native (build/), sanitizers (build-asan/), fuzzers (build-fuzz/), Windows under Wine: the 32-bit
#   product (build-win/) and the 64-bit test build (build-win64/).
# Both Windows builds are always compiled. The 64-bit suite runs on every machine; the 32-bit suite runs
# where the kernel starts 32-bit programs natively (Wine's 32-bit loader is one), which is found out here.
# KRT_WIN32_TESTS=off leaves the 32-bit suite out as a kernel without 32-bit support would.
# Exits non-zero when anything fails; the last line sums up all suites.
# Ctrl-C (SIGINT) or SIGTERM ends the run with every process it started.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

# The run goes on in a second instance of this script while this one waits for it: a signal reaches
# this one at once, not only when the command in the foreground ends. Every process of the run carries
# KRT_TEST_RUN in its environment, so this one finds and ends them all, also the stages beside the
# others (sessions of their own), Xvfb and wineserver (a daemon of its own).
source "$ROOT/scripts/run-mark.sh"
# The run's temporary folders (each suite's, and the Wine prefixes in them) lie in one, which goes at the
# end in either case.
if [ -z "${KRT_TEST_RUN:-}" ]; then
    export KRT_TEST_RUN="$$.$(date +%s%N)"
    KRT_RUN_TMP="$(mktemp -d "${TMPDIR:-/tmp}/krt-run.XXXXXX")"
    export KRT_RUN_TMP
    end_run() {  # exit status
        trap '' INT TERM HUP
        echo "=== interrupted: ending every process of the run" >&2
        end_marked "KRT_TEST_RUN=$KRT_TEST_RUN"
        rm -rf "$KRT_RUN_TMP"
        exit "$1"
    }
    trap 'end_run 130' INT
    trap 'end_run 143' TERM
    trap 'end_run 129' HUP
    bash "$ROOT/scripts/test.sh" "$@" &
    wait $!
    rc=$?
    rm -rf "$KRT_RUN_TMP"
    exit $rc
fi
JOBS="${KRT_JOBS:-$(nproc)}"
# Most tests wait on simulated devices and Wine rather than compute: twice as many as there are cores.
TEST_JOBS="${KRT_TEST_JOBS:-$((2 * JOBS))}"
STAGES="${KRT_STAGES:-fuzz native asan tsan win release win64}"
# Line tables only in the Linux builds: sanitizer reports and backtraces keep their file and line, and
# the compiles take a third less time than with full debug information.
LINES_ONLY="${KRT_DEBUG_INFO:--g1}"

total_pass=0
total_fail=0
failed_stages=()
timings=()
windows_suites=()
# Seconds, test and build of every test run, for the slowest five at the end.
mkdir -p build
TEST_TIMES="$ROOT/build/test-times.txt"
[ -n "${KRT_BESIDE_NAME:-}" ] || : >"$TEST_TIMES"

# A suite runs with a temporary folder and a mark of its own: what a test that ctest had to kill leaves
# behind (Wine's server and programs, a simulated device, a prefix) goes when the suite ends.
run_ctest() {  # dir label
    local dir="$1" label="$2" log="$1/ctest.log" tmp mark
    tmp="$(mktemp -d "${KRT_RUN_TMP:-${TMPDIR:-/tmp}}/ctest.XXXXXX")"
    mark="KRT_CTEST_RUN=$label.$$.$(date +%s%N)"
    (cd "$dir" && env "$mark" TMPDIR="$tmp" ctest --output-on-failure -j "$TEST_JOBS" ${KRT_CTEST_ARGS:-}) 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    end_marked "$mark"
    rm -rf "$tmp"
    sed -nE "s|.*Test +#[0-9]+: ([^ ]+) [.* ]+[A-Za-z*]+ *[A-Za-z]* +([0-9.]+) sec.*|\\2 \\1 ($dir)|p" "$log" >>"$TEST_TIMES"
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
    if [ -n "$line" ]; then
        local failed total
        failed=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
        total=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
        total_pass=$((total_pass + total - failed))
        total_fail=$((total_fail + failed))
    elif [ $rc -ne 0 ]; then
        total_fail=$((total_fail + 1))
    fi
    return $rc
}

# run_script NAME COMMAND...: a scripted suite outside ctest; its "N passed, M failed" line counts.
run_script() {
    local name="$1" log="$ROOT/build/$1-test.log" t0=$SECONDS
    shift
    "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local line
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
    if [ -n "$line" ]; then
        total_pass=$((total_pass + ${line%% *}))
        total_fail=$((total_fail + $(echo "$line" | sed -E 's/.* ([0-9]+) failed/\1/')))
    fi
    [ $rc -eq 0 ] || [ -n "$line" ] || total_fail=$((total_fail + 1))
    echo "$((SECONDS - t0)) $name (script)" >>"$TEST_TIMES"
    return $rc
}

# stage NAME BUILD [TESTS]: two commands (the functions below), timed apart; the tests run only after
# a build that succeeded.
stage() {
    local name="$1" build="$2" tests="${3:-}"
    local t0=$SECONDS t1 ok=1
    echo "=== stage: $name"
    if ! "$build"; then
        ok=0
    fi
    t1=$SECONDS
    if [ $ok -eq 1 ] && [ -n "$tests" ] && ! "$tests"; then
        ok=0
    fi
    [ $ok -eq 1 ] || failed_stages+=("$name")
    if [ -n "$tests" ]; then
        timings+=("$name $((SECONDS - t0))s (build $((t1 - t0))s, tests $((SECONDS - t1))s)")
    else
        timings+=("$name $((SECONDS - t0))s")
    fi
    echo "=== $name: ${timings[-1]#"$name "}"
}

# Can the kernel start 32-bit x86 programs by itself? A tiny static i386 program answers. An emulator
# registered with binfmt_misc would answer too, but Wine does not survive it, so such an entry counts
# as "no".
WIN32_REASON=""
win32_tests_can_run() {
    if [ "${KRT_WIN32_TESTS:-auto}" = "off" ]; then
        WIN32_REASON="turned off by KRT_WIN32_TESTS=off"
        return 1
    fi
    local entry
    for entry in /proc/sys/fs/binfmt_misc/*; do
        [ -f "$entry" ] || continue
        case "$(basename "$entry")" in register|status) continue ;; esac
        grep -qx enabled "$entry" || continue
        local magic
        magic=$(sed -n 's/^magic //p' "$entry")
        # 32-bit little-endian ELF for machine 3 (i386) or 6 (i486)
        if [[ "$magic" == 7f454c4601* ]] && [[ "${magic:36:4}" == 0300 || "${magic:36:4}" == 0600 ]]; then
            WIN32_REASON="32-bit programs would run through the emulator of binfmt_misc entry $(basename "$entry")"
            return 1
        fi
    done
    local dir rc
    dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/probe.s"
    if ! as --32 -o "$dir/probe.o" "$dir/probe.s" 2>/dev/null ||
       ! ld -m elf_i386 -static -o "$dir/probe" "$dir/probe.o" 2>/dev/null; then
        rm -rf "$dir"
        WIN32_REASON="no 32-bit probe program could be built (binutils)"
        return 1
    fi
    "$dir/probe" 2>/dev/null
    rc=$?
    rm -rf "$dir"
    if [ $rc -ne 0 ]; then
        WIN32_REASON="this kernel does not start 32-bit programs (no IA-32 emulation)"
        return 1
    fi
    return 0
}

# background NAME COMMAND...: a stage that needs only the processor runs beside the stages that mostly wait
# (the Wine suites), at the lowest priority, so it takes only what they leave; its output and results are
# collected at the end. It runs as this script again, in a session of its own: where the kernel shares
# the processor between sessions first (autogroups), only the nice value of its own session keeps it
# behind the Wine programs, which start sessions of their own.
bg_names=()
bg_pids=()
background() {
    local name="$1"
    shift
    KRT_BESIDE_NAME="$name" setsid -w bash "$ROOT/scripts/test.sh" "$@" >"$ROOT/build/$name-stage.log" 2>&1 &
    bg_names+=("$name")
    bg_pids+=($!)
    echo "=== stage: $name runs beside the next stages (output at the end)"
}
collect_background() {
    local i name result
    for i in "${!bg_pids[@]}"; do
        name="${bg_names[$i]}"
        wait "${bg_pids[$i]}"
        cat "$ROOT/build/$name-stage.log"
        result="$ROOT/build/$name-stage.result"
        if [ ! -f "$result" ]; then
            failed_stages+=("$name")
            continue
        fi
        local counts failed
        counts=$(sed -n 1p "$result"); failed=$(sed -n 2p "$result")
        total_pass=$((total_pass + ${counts% *})); total_fail=$((total_fail + ${counts#* }))
        [ -z "$failed" ] || failed_stages+=($failed)
        while IFS= read -r line; do [ -n "$line" ] && timings+=("$line (beside)"); done < <(sed -n '3,$p' "$result")
        rm -f "$result"
    done
}

fuzz_build() {
    configure build-fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="$LINES_ONLY" -DKRT_FUZZ=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ &&
        cmake --build build-fuzz -j "$JOBS" --target krt_fuzzers
}
fuzz_tests() { KRT_CTEST_ARGS="-L fuzz" run_ctest build-fuzz fuzz; }
fuzz_stage() { stage fuzz fuzz_build fuzz_tests; }
release_args=()
release_tests() {
    run_script release bash tests/release/release_test.sh build/resources/mkimage/krt_mkimage "${release_args[@]}"
}
release_stage() {  # wizard test driver [, toolchain]
    release_args=("$@")
    stage release true release_tests
}

# The release check starts beside the others once the native build is there: its two release builds
# need only the native tools; its last step, the signed wizard under Wine, waits for the test driver of
# the Windows build that runs here (the status file that the build writes when it ends): the 32-bit
# one where the kernel runs 32-bit programs, else the 64-bit one with a 64-bit release.
release_started=0
start_release_beside() {
    [[ " $STAGES " == *" release "* ]] && [ "$release_started" = 0 ] || return 0
    release_started=1
    local -x KRT_RELEASE_WAIT_FOR=""
    if win32_tests_can_run; then
        [[ " $STAGES " == *" win "* ]] && KRT_RELEASE_WAIT_FOR="$ROOT/build-win/krt-build.status"
        background release release_stage build-win/tests/app_e2e/app_e2e_wizard_tests.exe
    else
        [[ " $STAGES " == *" win64 "* ]] && KRT_RELEASE_WAIT_FOR="$ROOT/build-win64/krt-build.status"
        background release release_stage build-win64/tests/app_e2e/app_e2e_wizard_tests.exe cmake/mingw-x86_64.cmake
    fi
}

# Ninja for a new build folder (it schedules the six builds' compiles better than make); a folder that
# was made with another generator keeps it.
configure() {  # build dir, cmake arguments...
    local dir="$1"; shift
    local gen=()
    [ -f "$dir/CMakeCache.txt" ] || { command -v ninja >/dev/null && gen=(-G Ninja); }
    cmake -S . -B "$dir" "${gen[@]}" "$@" >/dev/null
}

configure_native() {
    configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 $LINES_ONLY -DNDEBUG"
}
# The native tools the other builds run (a stage run without the native one builds just these).
native_tools() {
    { [ -f build/CMakeCache.txt ] || configure_native; } &&
        cmake --build build -j "$JOBS" --target krt-devsim krt_mkimage krt_check_container >/dev/null
}

# The 32-bit build writes its status where the release check, beside the others, waits for it.
win_build() {
    local rc targets=()
    # Where its tests cannot run, the 32-bit build makes the two programs only.
    win32_tests_can_run || targets=(--target krt-upgrade krt-flash)
    configure build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
        -DCMAKE_BUILD_TYPE=Release -DKRT_FAST_LINK=ON -DKRT_HOST_TOOLS_DIR="$ROOT/build" &&
        cmake --build build-win -j "$JOBS" "${targets[@]}"
    rc=$?
    mkdir -p build-win
    echo $rc >build-win/krt-build.status
    [ $rc -eq 0 ]
}
# Where the kernel runs no 32-bit programs the 32-bit build is only compiled: work for the processor
# alone, so it runs beside the others.
win_programs_stage() { stage win win_build; }

if [ -n "${KRT_BESIDE_NAME:-}" ]; then
    echo 19 >/proc/self/autogroup 2>/dev/null
    chrt -i -p 0 $$ >/dev/null 2>&1 || renice -n 19 -p $$ >/dev/null 2>&1
    "$@"
    {
        echo "$total_pass $total_fail"
        echo "${failed_stages[*]}"
        printf '%s\n' "${timings[@]}"
    } >"$ROOT/build/$KRT_BESIDE_NAME-stage.result"
    exit 0
fi

rm -f build-win/krt-build.status build-win64/krt-build.status
t0=$SECONDS
scripts/bootstrap.sh || failed_stages+=(bootstrap)
echo "=== bootstrap: $((SECONDS - t0))s (not counted in the total)"
t_start=$SECONDS
# The pristine Wine prefix that every Windows test run copies takes wineboot a quarter of a minute:
# made beside the first stages at idle priority, it is ready when the first Windows test asks for it
# (which waits for it otherwise).
if [[ " $STAGES " == *" win"* ]] && command -v wine >/dev/null; then
    setsid bash -c 'chrt -i -p 0 $$ >/dev/null 2>&1 || renice -n 19 -p $$ >/dev/null 2>&1
                    exec bash scripts/wine-run.sh --prepare' >/dev/null 2>&1 &
fi

native_build() { configure_native && cmake --build build -j "$JOBS"; }
native_tests() {
    start_release_beside
    run_ctest build native
}
# The engine, the simulator and krt-flash under ASan and UBSan; the service-bench runs of several
# krt-flash processes (label process) test process handling and run natively only. The simulated
# device's program and the image builder are the native build's (test tools, not the engine).
asan_build() {
    native_tools &&
        configure build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="$LINES_ONLY" -DKRT_SANITIZE=ON \
            -DKRT_BENCHMARKS=OFF -DKRT_HOST_TOOLS_DIR="$ROOT/build" &&
        cmake --build build-asan -j "$JOBS"
}
asan_tests() {
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        KRT_CTEST_ARGS="-LE slow|process" run_ctest build-asan asan
}
# The engine's threads (worker, receive thread, simulator) under ThreadSanitizer; krt-flash is left out
# of this build.
tsan_build() {
    native_tools &&
        configure build-tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="$LINES_ONLY" -DKRT_TSAN=ON \
            -DKRT_BENCHMARKS=OFF -DKRT_CLI=OFF -DKRT_HOST_TOOLS_DIR="$ROOT/build" &&
        cmake --build build-tsan -j "$JOBS"
}
tsan_tests() {
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 KRT_CTEST_ARGS="-LE slow" run_ctest build-tsan tsan
}
win_tests() {
    if win32_tests_can_run; then
        windows_suites+=("32-bit (build-win) ran")
        WIN32_RAN=1
        run_ctest build-win win
    else
        windows_suites+=("32-bit (build-win) built, tests left out: $WIN32_REASON")
        echo "=== win: the 32-bit Windows tests are left out: $WIN32_REASON"
    fi
}
win64_build() {
    local rc
    configure build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release -DKRT_FAST_LINK=ON -DKRT_BENCHMARKS=OFF -DKRT_HOST_TOOLS_DIR="$ROOT/build" &&
        cmake --build build-win64 -j "$JOBS"
    rc=$?
    mkdir -p build-win64
    echo $rc >build-win64/krt-build.status
    [ $rc -eq 0 ]
}
# The wizard's run at real speed (label slow) and its runs driven from outside (label product) are the
# product's: the 32-bit build runs them where it can, else this one.
win64_tests() {
    windows_suites+=("64-bit (build-win64) ran")
    if [ "${WIN32_RAN:-0}" = 1 ]; then KRT_CTEST_ARGS="-LE slow|product" run_ctest build-win64 win64
    else run_ctest build-win64 win64; fi
}

for s in $STAGES; do
    case "$s" in
    native) stage native native_build native_tests ;;
    asan) stage asan asan_build asan_tests ;;
    tsan) stage tsan tsan_build tsan_tests ;;
    fuzz) background fuzz fuzz_stage ;;
    win)
        WIN32_RAN=0
        if win32_tests_can_run; then
            stage win win_build win_tests
        else
            windows_suites+=("32-bit (build-win) built beside, tests left out: $WIN32_REASON")
            background win win_programs_stage
        fi ;;
    win64) stage win64 win64_build win64_tests ;;
    release)
        # scripts/release.sh as the maker runs it, beside the others (started after the native build
        # when that comes first); the wizard check under Wine in the 32-bit build where it runs, else in
        # a 64-bit release made the same way.
        start_release_beside ;;
    esac
done
collect_background

echo "=== timings (bootstrap not counted): $(IFS=';'; echo "${timings[*]}" | sed 's/;/; /g')"
echo "=== total: $((SECONDS - t_start))s"
# The five slowest tests of the whole run, with their build.
echo "=== slowest tests:"
sort -rn "$TEST_TIMES" | head -5 | awk '{printf "    %6.1f s  %s %s\n", $1, $2, $3}'
windows_line=""
if [ ${#windows_suites[@]} -ne 0 ]; then
    windows_line="; Windows suites: $(IFS=';'; echo "${windows_suites[*]}" | sed 's/;/, /g')"
    echo "=== Windows suites: $(IFS=';'; echo "${windows_suites[*]}" | sed 's/;/; /g')"
fi
if [ ${#failed_stages[@]} -ne 0 ]; then
    echo "=== failed stages: ${failed_stages[*]}"
    [ "$total_fail" -eq 0 ] && total_fail=1
fi
echo "summary: $total_pass passed, $total_fail failed$windows_line"
[ ${#failed_stages[@]} -eq 0 ] && [ "$total_fail" -eq 0 ]
