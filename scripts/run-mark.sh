# Sourced by the scripts that start many processes (test.sh, wine-run.sh, release.sh and its test), to
# end them all on the way out.
#
# A script marks its run with a variable of its own in the environment, which every process it starts
# inherits; the mark finds them all again, also those that left the script's process group or session
# (the stages beside the others, wineserver, which makes itself a daemon).

# marked_pids NAME=VALUE: the processes whose environment holds NAME=VALUE, this shell and its
# subshell aside. A process that has ended but was not waited for yet shows no environment.
marked_pids() {
    local file pid files=(/proc/[0-9]*/environ)
    # The list is made here: grep, a process of its own, is not in it.
    for file in $(grep -lsxzF -- "$1" "${files[@]}"); do
        pid="${file#/proc/}"
        pid="${pid%/environ}"
        [ "$pid" = "$$" ] || [ "$pid" = "$BASHPID" ] || echo "$pid"
    done
}

# end_marked NAME=VALUE: ends those processes. SIGTERM first, so that scripts among them clean up
# after themselves (prefixes, X servers); what is left after ten seconds gets SIGKILL.
end_marked() {
    local pids tries
    pids="$(marked_pids "$1")"
    [ -n "$pids" ] || return 0
    # shellcheck disable=SC2086
    kill -TERM $pids 2>/dev/null
    for ((tries = 0; tries < 100; tries++)); do
        sleep 0.1
        pids="$(marked_pids "$1")"
        [ -n "$pids" ] || return 0
    done
    # shellcheck disable=SC2086
    kill -KILL $pids 2>/dev/null
    return 0
}

# A script whose children stay below it (release.sh, its test) ends them by ancestry instead.
# descendants PID: the processes below PID, the deepest first.
descendants() {
    local c
    for c in $(ps -o pid= --ppid "$1" 2>/dev/null); do descendants "$c"; echo "$c"; done
}

# stop_children: ends every process below this shell. They are stopped first, so that none of them
# starts another while the others go; SIGTERM then, and what has not ended after five seconds is killed.
stop_children() {
    local pids left
    pids="$(descendants $$)"
    [ -n "$pids" ] || return 0
    # shellcheck disable=SC2086
    kill -STOP $pids 2>/dev/null || true
    pids="$pids $(descendants $$)"
    # shellcheck disable=SC2086
    kill -TERM $pids 2>/dev/null || true
    # shellcheck disable=SC2086
    kill -CONT $pids 2>/dev/null || true
    for _ in $(seq 50); do
        left="$(ps -o pid=,stat= -p "$(echo $pids | tr ' ' ,)" 2>/dev/null | awk '$2 !~ /^Z/ { print $1 }')" || true
        [ -n "$left" ] || break
        sleep 0.1
    done
    # shellcheck disable=SC2086
    [ -z "$left" ] || kill -KILL $left 2>/dev/null || true
    wait 2>/dev/null || true
}
