#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds both Windows
# targets and the native build, then runs the native tests (sanitizers and a
# short fuzz run) and every Wine test of both targets on an Xvfb display.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)

"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" i686 x86_64 native || exit 1

status=0
echo "== tests: native"
ctest --test-dir "$root/build/native" --output-on-failure -j 2 || status=1

# Wine starts right before its own tests.
. "$root/scripts/wine-env.sh"
trap zevr_stop_wine EXIT
zevr_start_display || exit 1
zevr_start_wine "$root/build/wineprefix"

for target in i686 x86_64; do
    echo "== tests: $target"
    ctest --test-dir "$root/build/$target" --output-on-failure -j 2 || status=1
done
echo "test.sh: $(( $(date +%s) - start )) s, $([ $status -eq 0 ] && echo passed || echo FAILED)"
exit $status
