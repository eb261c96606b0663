#!/usr/bin/env bash
# Builds everything and runs every test suite:
#   native (build/), sanitizers (build-asan/), fuzzers (build-fuzz/), Windows under Wine (build-win/).
# Exits non-zero when anything fails; the last line sums up all suites.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
JOBS="${KRT_JOBS:-$(nproc)}"
STAGES="${KRT_STAGES:-native asan fuzz win}"

total_pass=0
total_fail=0
failed_stages=()
timings=()

run_ctest() {  # dir label
    local dir="$1" label="$2" log="$1/ctest.log"
    (cd "$dir" && ctest --output-on-failure -j "$JOBS" ${KRT_CTEST_ARGS:-}) 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
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

stage() {  # name, then the commands as one string
    local name="$1"; shift
    local t0=$SECONDS
    echo "=== stage: $name"
    if ! eval "$@"; then
        failed_stages+=("$name")
    fi
    timings+=("$name $((SECONDS - t0))s")
}

stage bootstrap 'scripts/bootstrap.sh'

for s in $STAGES; do
    case "$s" in
    native)
        stage native 'cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
                      cmake --build build -j "$JOBS" && run_ctest build native' ;;
    asan)
        stage asan 'cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKRT_SANITIZE=ON >/dev/null &&
                    cmake --build build-asan -j "$JOBS" &&
                    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                    KRT_CTEST_ARGS="-LE slow" run_ctest build-asan asan' ;;
    fuzz)
        stage fuzz 'cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DKRT_FUZZ=ON \
                      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
                    cmake --build build-fuzz -j "$JOBS" --target krt_fuzzers &&
                    KRT_CTEST_ARGS="-L fuzz" run_ctest build-fuzz fuzz' ;;
    win)
        stage win 'cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
                     -DCMAKE_BUILD_TYPE=Release -DKRT_HOST_TOOLS_DIR="$ROOT/build" >/dev/null &&
                   cmake --build build-win -j "$JOBS" && run_ctest build-win win' ;;
    esac
done

echo "=== timings: ${timings[*]}"
if [ ${#failed_stages[@]} -ne 0 ]; then
    echo "=== failed stages: ${failed_stages[*]}"
    [ "$total_fail" -eq 0 ] && total_fail=1
fi
echo "summary: $total_pass passed, $total_fail failed"
[ ${#failed_stages[@]} -eq 0 ] && [ "$total_fail" -eq 0 ]
