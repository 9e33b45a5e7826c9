#!/usr/bin/env bash
# Longer fuzzing than the test suite's short run: every native libFuzzer
# target (tests/native/fuzz_*.cpp), or the ones named, for SECONDS each
# (default 300), or for a number of inputs each with --runs. Corpora are
# kept in build/native/fuzz-corpus/<target>, seeded from
# tests/native/corpus/<name> where there is one; findings are written to
# build/native/fuzz-findings/.
#
#   scripts/fuzz.sh [SECONDS] [target ...]     e.g. scripts/fuzz.sh 600 fuzz_storepaths
#   scripts/fuzz.sh --runs N [target ...]      e.g. scripts/fuzz.sh --runs 10000000
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
limit=(-max_total_time=300)
what="300 s"
if [ "${1:-}" = --runs ]; then
    limit=(-runs="$2")
    what="$2 inputs"
    shift 2
elif [ $# -gt 0 ]; then
    limit=(-max_total_time="$1")
    what="$1 s"
    shift
fi
"$root/scripts/setup.sh"
"$root/scripts/build.sh" native >/dev/null

bin="$root/build/native/tests/native"
status=0
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in "$root"/tests/native/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi
# The pruning pass's differential test is no libFuzzer target: with no
# target named it runs on 200,000 random trees (ZEVR_PRUNE_TREES) instead of
# the test suite's 10,000.
if [ $# -eq 0 ]; then
    trees=${ZEVR_PRUNE_TREES:-200000}
    echo "== prune_diff: $trees trees"
    ZEVR_PRUNE_TREES=$trees "$bin/prune_diff" --gtest_brief=1 || status=1
fi
findings="$root/build/native/fuzz-findings"
mkdir -p "$findings"
for target in "${targets[@]}"; do
    corpus="$root/build/native/fuzz-corpus/$target"
    mkdir -p "$corpus"
    # The checked-in seeds come after the working corpus: libFuzzer writes
    # only to the first folder.
    seeds=()
    [ -d "$root/tests/native/corpus/${target#fuzz_}" ] && seeds=("$root/tests/native/corpus/${target#fuzz_}")
    echo "== $target: $what"
    "$bin/$target" "$corpus" "${seeds[@]}" "${limit[@]}" -max_len=300 \
        -artifact_prefix="$findings/$target-" -print_final_stats=1 || status=1
done
exit $status
