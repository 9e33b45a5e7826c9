#!/usr/bin/env bash
# Benchmarks under Wine, on every target this machine runs (i686 and x86_64,
# or x86_64 alone where 32-bit programs are refused): builds them, then runs
# tools/bench/sheet_bench.cpp (the three sheets against bare sheets of the
# same templates, and the registry calls of each) and
# tools/bench/prune_bench.cpp (the pruning pass beside a bare enumeration,
# and OK on the NFS client sheet, on server trees of the given sizes);
# with --cli, tools/bench/cli_bench.cpp instead (zevrcfg beside reg.exe:
# export, import into an empty registry, one top-level set against a
# "reg query /s" of the tree).
#
#   scripts/bench.sh [--sheets | --prune | --cli] [--rounds N] [--target T] [NxM ...]
#
# --rounds sets the sheet benchmark's rounds (default 15; cli_bench's 5),
# --target limits the run to one target; the sizes are the pruning
# benchmark's (default 10x10 100x10 300x10) or cli_bench's (default 300x10
# 10000x0).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"

sheets=yes prune=yes cli=no rounds= only=
while [ $# -gt 0 ]; do
    case $1 in
    --sheets) prune=no ;;
    --prune) sheets=no ;;
    --cli) sheets=no prune=no cli=yes ;;
    --rounds) rounds=${2:?--rounds needs a number}; shift ;;
    --target) only=${2:?--target needs i686 or x86_64}; shift ;;
    *) break ;;
    esac
    shift
done

targets=(x86_64)
[ "$ZEVR_WIN32" = yes ] && targets=(i686 x86_64)
if [ -n "$only" ]; then
    case " ${targets[*]} " in
    *" $only "*) targets=("$only") ;;
    *) echo "bench.sh: this machine does not run the $only target" >&2; exit 2 ;;
    esac
fi
zevr_note_target
mkdir -p "$root/build/logs"
zevr_step "installing packages" "$root/build/logs/setup.log" "$root/scripts/setup.sh" || exit 1
for target in "${targets[@]}"; do
    zevr_step "building $target" "$root/build/logs/build-$target.log" \
        "$root/scripts/build.sh" "$target" || exit 1
done
zevr_start_wine_session "$root" || exit 1

# The servers that work for the benchmarks: this prefix's wineserver (it
# carries out every registry call) and our own X server. Their CPU time is
# counted with the sheet thread's.
servers=${ZEVR_XVFB_PID:-}
for pid in $(pgrep wineserver); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        servers="$servers $pid"
    fi
done
export ZEVR_BENCH_SERVERS=$servers

status=0
for target in "${targets[@]}"; do
    bin="$root/build/$target/bin"
    echo "== $target"
    if [ $sheets = yes ]; then
        (cd "$bin" && "$ZEVR_WINE" ./sheet_bench.exe "${rounds:-15}" </dev/null) || status=1
    fi
    if [ $prune = yes ]; then
        [ $sheets = yes ] && echo
        (cd "$bin" && "$ZEVR_WINE" ./prune_bench.exe "$@" </dev/null) || status=1
    fi
    if [ $cli = yes ]; then
        (cd "$bin" && "$ZEVR_WINE" ./cli_bench.exe --rounds "${rounds:-5}" "$@" </dev/null) ||
            status=1
    fi
done
exit $status
