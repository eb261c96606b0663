# Sourced by the scripts that start many processes (test.sh, wine-run.sh). A script marks its run with
# a variable of its own in the environment, which every process it starts inherits; the mark finds them
# all again, also those that left the script's process group or session (the stages beside the others,
# wineserver, which makes itself a daemon).

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
