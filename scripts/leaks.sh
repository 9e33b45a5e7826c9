#!/usr/bin/env bash
# The long leak run: the leak checks of the test suite (open, apply and close
# each sheet in one process; handles, GDI and USER objects and heap in use
# before and after) with CYCLES cycles per sheet (default 500; the test
# suite uses 10), for the given targets (default: i686 x86_64).
#
#   scripts/leaks.sh [CYCLES] [target ...]     e.g. scripts/leaks.sh 500 x86_64
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cycles=${1:-500}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(i686 x86_64)

"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" "${targets[@]}" || exit 1
. "$root/scripts/wine-env.sh"
zevr_start_wine_session "$root" || exit 1

status=0
for target in "${targets[@]}"; do
    if [ "$target" = i686 ] && [ "$ZEVR_WIN32" != yes ]; then
        echo "== leaks: i686 skipped: $ZEVR_WIN32_WHY"
        continue
    fi
    echo "== leaks: $target, $cycles cycles per sheet"
    # Wine hands the environment on to the test programs.
    log="$root/build/logs/leaks-$target.log"
    ZEVR_LEAK_CYCLES=$cycles ctest --test-dir "$root/build/$target" -R '^Leaks\.' -V >"$log" 2>&1 ||
        status=1
    grep -E 'cycles after|  (kernel|GDI|USER|heap)|tests passed|Failed' "$log"
done
exit $status
