#!/usr/bin/env bash
# Benchmark of the settings store's pruning pass under Wine: builds the
# i686 target and prints the figures of tools/bench/prune_bench.cpp.
#
#   scripts/bench.sh [NxM ...]     (default: 10x10 100x10 300x10)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
zevr_i686_session "$root"
wine "$root/build/i686/bin/prune_bench.exe" "$@" </dev/null
