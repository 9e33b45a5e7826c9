#!/usr/bin/env bash
# Benchmark of the settings store's pruning pass under Wine: builds the
# i686 target (x86_64 where 32-bit programs cannot run) and prints the
# figures of tools/bench/prune_bench.cpp.
#
#   scripts/bench.sh [NxM ...]     (default: 10x10 100x10 300x10)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
zevr_session "$root" || exit 1
"$ZEVR_WINE" "$root/build/$ZEVR_TARGET/bin/prune_bench.exe" "$@" </dev/null
