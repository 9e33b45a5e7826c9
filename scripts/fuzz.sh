#!/usr/bin/env bash
# Longer fuzzing than the test suite's short run: every native libFuzzer
# target (tests/native/fuzz_*.cpp), or the ones named, for SECONDS each
# (default 300). Corpora are kept in build/native/fuzz-corpus/<target>;
# findings are written to build/native/fuzz-findings/.
#
#   scripts/fuzz.sh [SECONDS] [target ...]     e.g. scripts/fuzz.sh 600 fuzz_storepaths
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
shift || true
"$root/scripts/setup.sh"
"$root/scripts/build.sh" native >/dev/null

bin="$root/build/native/tests/native"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in "$root"/tests/native/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi
findings="$root/build/native/fuzz-findings"
mkdir -p "$findings"
status=0
for target in "${targets[@]}"; do
    corpus="$root/build/native/fuzz-corpus/$target"
    mkdir -p "$corpus"
    echo "== $target: ${seconds} s"
    "$bin/$target" "$corpus" -max_total_time="$seconds" -max_len=300 \
        -artifact_prefix="$findings/$target-" -print_final_stats=1 || status=1
done
exit $status
