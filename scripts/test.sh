#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds the two Windows
# targets and the native build, and runs the native tests (sanitizers and a
# short fuzz run) and every Wine test of both targets on Xvfb displays.
#
#   scripts/test.sh              everything
#   scripts/test.sh -R PATTERN   only the tests whose CTest name matches, on
#                                every target this machine runs (the quick
#                                loop: builds only those targets)
#
# Each target is a lane of its own, all three at the same time: a lane
# builds its target and runs its tests; a Wine lane also has its own Xvfb
# display and Wine prefix (its own wineserver and desktop), made while its
# target builds. The Wine tests mostly wait, so the two suites share the two
# cores well. Each lane logs to build/logs/test-<target>.log, which is
# printed when the lane ends. Last, the release zip is packed from both
# Windows builds and read back (the test release_package).
#
# On a machine that refuses 32-bit programs the i686 product is still built
# (with its compile-time checks) and its DLL inspected, but its Wine tests
# cannot run; the script says so and passes on what could run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)

pattern=
while [ $# -gt 0 ]; do
    case $1 in
    -R) [ $# -ge 2 ] || { echo "test.sh: -R needs a pattern" >&2; exit 2; }
        pattern=$2; shift 2 ;;
    -h | --help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "test.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
    esac
done

logs=$root/build/logs
results=$root/build/test-results
mkdir -p "$logs"

t=$(date +%s)
"$root/scripts/setup.sh" || exit 1
setup_s=$(( $(date +%s) - t ))

. "$root/scripts/wine-env.sh"
targets=(native x86_64 i686)
if [ -n "$pattern" ] && [ "$ZEVR_WIN32" != yes ]; then
    targets=(native x86_64)
fi

# Seconds a step took, kept per lane for the closing table.
stamp() { echo "$1 $(( $(date +%s) - $2 ))" >>"$results/$lane.times"; }

# One lane: build the target, then run its tests. Output goes to the lane's
# log; the exit code tells whether everything in it passed.
lane() {
    lane=$1
    local dir=$root/build/$lane t
    rm -rf "$results/$lane" "$results/$lane.times" "$results/$lane-ctest.xml"
    mkdir -p "$results/$lane"
    local ctest_args=(--output-on-failure -j 2 --output-junit "$results/$lane-ctest.xml")
    [ -z "$pattern" ] || ctest_args+=(-R "$pattern")
    local wine=yes
    [ "$lane" != native ] || wine=
    [ "$lane" != i686 ] || [ "$ZEVR_WIN32" = yes ] || wine=

    t=$(date +%s)
    local build_pid
    "$root/scripts/build.sh" "$lane" >"$logs/build-$lane.log" 2>&1 &
    build_pid=$!
    # The prefix is made (wineboot) while the target builds.
    if [ -n "$wine" ]; then
        zevr_start_wine_session "$root" "$dir/wineprefix" || { wait "$build_pid"; return 1; }
    fi
    if ! wait "$build_pid"; then
        echo "build: $lane failed; last lines of $logs/build-$lane.log:"
        tail -n 30 "$logs/build-$lane.log" | sed 's/^/    /'
        return 1
    fi
    stamp build "$t"

    t=$(date +%s)
    local status=0
    if [ "$lane" = i686 ] && [ -z "$wine" ]; then
        echo "== tests: i686 (checks that run on Linux only)"
        ctest --test-dir "$dir/tests/linux" "${ctest_args[@]}" || status=1
    else
        echo "== tests: $lane"
        # Every GoogleTest program writes its cases' results beside the
        # others (Wine hands the variable on; Z: is the Linux root).
        local drive=
        [ "$lane" = native ] || drive=Z:
        # wine-run notes there each program that Wine failed to start and
        # it started once more; the summary counts them.
        GTEST_OUTPUT="xml:$drive$results/$lane/" ZEVR_RESTART_LOG="$results/$lane/restarts.log" \
            ctest --test-dir "$dir" "${ctest_args[@]}" || status=1
    fi
    stamp tests "$t"
    return $status
}

pids=()
for target in "${targets[@]}"; do
    (lane "$target") >"$logs/test-$target.log" 2>&1 &
    pids+=($!)
done
status=0
failed=()
for i in "${!targets[@]}"; do
    if ! wait "${pids[$i]}"; then
        status=1
        failed+=("${targets[$i]}")
    fi
done
# The logs in a fixed order, so that CI output reads the same every time.
for target in "${targets[@]}"; do
    cat "$logs/test-$target.log"
done
# The release zip takes files from both Windows builds, so it is packed and
# read back once their lanes have ended.
if [[ " ${targets[*]} " == *" i686 "* ]] && [[ release_package =~ ${pattern:-.} ]]; then
    echo "== tests: release_package"
    python3 "$root/tests/linux/package_check.py" "$root" "$root/build/i686/bin" \
        "$root/build/x86_64/bin" "$root/build/package-check" || { status=1; failed+=(release_package); }
fi

summary=()
for target in "${targets[@]}"; do
    summary+=("$target:$results/$target:$results/$target-ctest.xml")
done
echo "== summary"
python3 "$root/scripts/test-summary.py" "${summary[@]}" | grep -v '^test.sh:'
printf '%-8s %6s %8s %8s\n' phase setup build tests
for target in "${targets[@]}"; do
    b=$(awk '$1 == "build" { print $2 }' "$results/$target.times" 2>/dev/null)
    s=$(awk '$1 == "tests" { print $2 }' "$results/$target.times" 2>/dev/null)
    printf '%-8s %6s %8s %8s\n' "$target" "${setup_s}s" "${b:--}s" "${s:--}s"
done
if [ "$ZEVR_WIN32" != yes ]; then
    echo "test.sh: NOTE: i686 Wine tests did not run: $ZEVR_WIN32_WHY"
fi
[ ${#failed[@]} -eq 0 ] || echo "test.sh: FAILED in: ${failed[*]}"
python3 "$root/scripts/test-summary.py" "${summary[@]}" | grep '^test.sh:'
echo "test.sh: $(( $(date +%s) - start )) s, $([ $status -eq 0 ] && echo passed || echo FAILED)"
exit $status
