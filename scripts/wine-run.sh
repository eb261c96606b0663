#!/usr/bin/env bash
# Runs a Windows program under Wine in a fresh prefix of its own, then removes the prefix.
# The pristine prefix is made once per machine (wineboot is slow) and copied for every run;
# KRT_WINE_KEEP=1 keeps the run's prefix for inspection. The run's prefix is exported as
# WINEPREFIX, so a test can reach $WINEPREFIX/dosdevices and the registry through `wine reg`.
#   wine-run.sh --prepare    makes the pristine prefix (if there is none yet) and runs nothing
# Ctrl-C (SIGINT), SIGTERM or SIGHUP ends the program with everything the run started: its Wine processes
# and wineserver, the peer, the X server; so does the program's own end.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/run-mark.sh"
# Every process of this run, wineserver (a daemon of its own) included, carries the mark.
export KRT_WINE_RUN="$$.$(date +%s%N)"
interrupted=0
trap 'interrupted=1; exit 130' INT
trap 'interrupted=1; exit 143' TERM
trap 'interrupted=1; exit 129' HUP
# Long steps run in the background while this script waits, so that it takes a signal at once; they
# keep its input (a command in the background would read from /dev/null).
in_background() {  # command...
    if [ -e /dev/fd/0 ]; then "$@" <&0 & else "$@" & fi
}

# Wine needs a home; a bare environment (a CI runner) may not say where it is.
if [ -z "${HOME:-}" ]; then
    HOME="$(getent passwd "$(id -u)" | cut -d: -f6)"
    export HOME="${HOME:-/tmp}"
fi
# KRT_WINE_SMALL_TEMP=<size> (a tmpfs size, "24m"): the program gets a folder on a file system that
# small, named in KRT_SMALL_TEMP: a tmpfs in a private mount namespace, gone with the run. Where the
# system allows no such mount, KRT_SMALL_TEMP stays unset and the program has to say how it ran instead.
if [ -n "${KRT_WINE_SMALL_TEMP:-}" ] && [ -z "${KRT_SMALL_TEMP:-}" ]; then
    small="$(mktemp -d "${TMPDIR:-/tmp}/krt-small.XXXXXX")"
    mount_and_run='mount -t tmpfs -o size="$1" tmpfs "$2" || exit 97; shift 2; exec "$@"'
    if unshare -rm sh -c "$mount_and_run" _ "$KRT_WINE_SMALL_TEMP" "$small" true 2>/dev/null; then
        # Mounted as the namespace's root; Wine runs as the user who started it again (its prefix and
        # the user's name in it belong to that user).
        as_user=()
        if [ "$(id -u)" != 0 ]; then as_user=(unshare -U --map-user="$(id -u)" --map-group="$(id -g)"); fi
        trap '[ $interrupted -eq 0 ] || end_marked "KRT_WINE_RUN=$KRT_WINE_RUN"; rmdir "$small"' EXIT
        KRT_SMALL_TEMP="$small" in_background unshare -rm sh -c "$mount_and_run" _ "$KRT_WINE_SMALL_TEMP" "$small" \
            "${as_user[@]}" bash "${BASH_SOURCE[0]}" "$@"
        wait $!
        exit $?
    fi
    rmdir "$small"
    echo "wine-run: this system allows no private mount; no small temporary folder" >&2
fi

TEMPLATE_ROOT="${KRT_WINE_TEMPLATE:-${XDG_CACHE_HOME:-$HOME/.cache}/krt-wine-template}"
TEMPLATE="$TEMPLATE_ROOT/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
# Debian's `wine` starts the 32-bit loader wherever wine32 is installed, and a kernel without IA-32
# emulation cannot start that one: there `wine` (also for the peers' `wine reg`) is the 64-bit loader,
# which runs everything in these 64-bit prefixes.
if [ -x /usr/lib/wine/wine64 ] && [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    if [ ! -x "$TEMPLATE_ROOT/bin/wine" ]; then
        mkdir -p "$TEMPLATE_ROOT/bin"
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$TEMPLATE_ROOT/bin/wine.$$"
        chmod +x "$TEMPLATE_ROOT/bin/wine.$$"
        mv -f "$TEMPLATE_ROOT/bin/wine.$$" "$TEMPLATE_ROOT/bin/wine"
    fi
    export PATH="$TEMPLATE_ROOT/bin:$PATH" WINELOADER=/usr/lib/wine/wine64
fi

# The template counts as made only when wineboot succeeded: one that failed or was interrupted leaves a
# prefix without ".ready", which the next run makes again.
make_template() {
    mkdir -p "$TEMPLATE_ROOT"
    (
        flock 9
        [ ! -f "$TEMPLATE/.ready" ] || exit 0
        rm -rf "$TEMPLATE"
        # Wine's server folder (see RUN_TMP below) goes too, also when the run is cut short.
        server_tmp="$(mktemp -d "${TMPDIR:-/tmp}/krt-winetmp.XXXXXX")"
        trap 'rm -rf "$server_tmp"' EXIT
        trap 'exit 143' INT TERM HUP
        WINEPREFIX="$TEMPLATE" TMPDIR="$server_tmp" wine wineboot -i >/dev/null 2>&1
        rc=$?
        WINEPREFIX="$TEMPLATE" TMPDIR="$server_tmp" wineserver -w
        if [ $rc -ne 0 ] || [ ! -f "$TEMPLATE/system.reg" ]; then
            echo "wine-run: wineboot failed (exit status $rc); no pristine prefix" >&2
            exit 1
        fi
        touch "$TEMPLATE/.ready"
    ) 9>"$TEMPLATE_ROOT/.lock"
}

# KRT_WINE_X=1: the program shows windows; give it a private X server (Xvfb) of its own, so tests of
# windows can run side by side and never reach a developer's desktop. KRT_WINE_X_SIZE sets the screen.
XVFB_PID=""
start_xvfb() {
    local fifo_dir display
    fifo_dir="$(mktemp -d "${TMPDIR:-/tmp}/krt-xvfb.XXXXXX")"
    mkfifo "$fifo_dir/display"
    Xvfb -displayfd 3 -screen 0 "${KRT_WINE_X_SIZE:-1280x1024x24}" -nolisten tcp -noreset \
        3>"$fifo_dir/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r -t 20 display <"$fifo_dir/display"
    rm -rf "$fifo_dir"
    if [ -z "$display" ]; then
        echo "wine-run: Xvfb did not start" >&2
        exit 1
    fi
    export DISPLAY=":$display"
}

RUN_PREFIX=""
RUN_TMP=""
PEER_PID=""
cleanup() {
    trap '' INT TERM HUP
    if [ -n "$PEER_PID" ]; then kill "$PEER_PID" 2>/dev/null; wait "$PEER_PID" 2>/dev/null; fi
    if [ -n "$RUN_PREFIX" ]; then WINEPREFIX="$RUN_PREFIX" wineserver -k >/dev/null 2>&1; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
    # Cut short, the run may leave more: the peer's own helpers, Wine programs that the server had not
    # ended yet, an interrupted wineboot.
    [ $interrupted -eq 0 ] || end_marked "KRT_WINE_RUN=$KRT_WINE_RUN"
    [ -z "$RUN_TMP" ] || rm -rf "$RUN_TMP"
    [ -n "$RUN_PREFIX" ] || return 0
    if [ "${KRT_WINE_KEEP:-0}" != "1" ]; then rm -rf "$RUN_PREFIX"; else echo "wine-run: kept $RUN_PREFIX" >&2; fi
}
trap cleanup EXIT

if [ "${1:-}" = "--prepare" ]; then
    make_template &
    wait $!
    exit $?
fi
if [ "${KRT_WINE_X:-0}" = "1" ]; then start_xvfb; fi

make_template &
wait $! || exit 1
RUN_PREFIX="$(mktemp -d "${TMPDIR:-/tmp}/krt-wine.XXXXXX")"
# Wine's own programs and libraries (system32, syswow64, winsxs: over a gigabyte) are hard links to
# the pristine prefix's files, the rest is copied: a run adds files to those folders at most, and
# copying them for every run cost more than most tests take. Where the two folders lie on different
# file systems, everything is copied.
copy_prefix() {  # from, to
    local entry name
    for entry in "$1"/* "$1"/.[!.]*; do
        [ -e "$entry" ] || [ -L "$entry" ] || continue
        name="$(basename "$entry")"
        case "$name" in
        drive_c|windows)
            mkdir -p "$2/$name"
            copy_prefix "$entry" "$2/$name" ;;
        system32|syswow64|winsxs)
            cp -al "$entry" "$2/" 2>/dev/null || { rm -rf "${2:?}/$name"; cp -a "$entry" "$2/"; } ;;
        *)
            cp -a "$entry" "$2/" ;;
        esac
    done
}
copy_prefix "$TEMPLATE" "$RUN_PREFIX"
export WINEPREFIX="$RUN_PREFIX"
# Wine's server keeps its socket in a folder under $TMPDIR that it never removes (Debian's Wine names it
# "wine-XXXXXX" and keeps the name in the prefix): the run's Wine processes, and the peer's, get a
# temporary folder of their own, which goes with the prefix.
RUN_TMP="$(mktemp -d "${TMPDIR:-/tmp}/krt-winetmp.XXXXXX")"
export TMPDIR="$RUN_TMP"

# A native helper (a simulated device, a test peer) can run beside the program: KRT_WINE_PEER is its
# command line, with {prefix} standing for the run's prefix; KRT_WINE_PEER_WAIT names a file (same
# substitution) that must exist before the program starts, such as the dosdevices link of its COM port.
# Words of the command line may be quoted ('...' or "...", for paths with spaces); it is split into
# words as xargs does, never run by a shell.
if [ -n "${KRT_WINE_PEER:-}" ]; then
    peer=()
    while IFS= read -r -d '' word; do
        peer+=("${word//\{prefix\}/$RUN_PREFIX}")
    done < <(printf '%s' "$KRT_WINE_PEER" | xargs -r printf '%s\0')
    if [ ${#peer[@]} -eq 0 ]; then
        echo "wine-run: KRT_WINE_PEER names no command" >&2
        exit 2
    fi
    "${peer[@]}" &
    PEER_PID=$!
    if [ -n "${KRT_WINE_PEER_WAIT:-}" ]; then
        wait_for="${KRT_WINE_PEER_WAIT//\{prefix\}/$RUN_PREFIX}"
        # As long as the peer lives, up to a minute: on a loaded machine a device can take seconds to
        # come up, and a program started before it would not find it.
        for _ in $(seq 1 1200); do
            { [ -e "$wait_for" ] || ! kill -0 "$PEER_PID" 2>/dev/null; } && break
            sleep 0.05
        done
    fi
fi

in_background wine "$@"
wait $!
rc=$?
# KRT_WINE_PEER_CHECK=1: the peer ends by itself and its exit status counts too (a simulated device
# that verifies its flash, say).
if [ -n "$PEER_PID" ] && [ "${KRT_WINE_PEER_CHECK:-0}" = "1" ]; then
    for _ in $(seq 1 200); do kill -0 "$PEER_PID" 2>/dev/null || break; sleep 0.05; done
    if kill -0 "$PEER_PID" 2>/dev/null; then
        echo "wine-run: the peer did not finish" >&2
        [ $rc -eq 0 ] && rc=1
    else
        wait "$PEER_PID"; peer_rc=$?
        PEER_PID=""
        if [ $peer_rc -ne 0 ]; then
            echo "wine-run: the peer failed with exit status $peer_rc" >&2
            [ $rc -eq 0 ] && rc=1
        fi
    fi
fi
exit $rc
