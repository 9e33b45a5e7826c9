#!/usr/bin/env bash
# Builds the library, tools and tests for the given targets (default: i686
# x86_64 native) under build/<target>. Compilers run through ccache when it
# is there; its base folder is the checkout, so the cache is shared by every
# clone and worktree on the machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(i686 x86_64 native)
jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
for target in "${targets[@]}"; do
    dir="$root/build/$target"
    # A build folder configured when tests ran under a fixed loader keeps
    # that emulator in its test lists; configure it afresh so that every
    # test goes through wine-run.
    lists="$dir/tests/library_tests[1]_include.cmake"
    if [ "$target" != native ] && [ -f "$lists" ] && ! grep -q wine-run "$lists"; then
        rm -f "$dir/CMakeCache.txt"
    fi
    if [ "$target" = native ]; then
        [ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug \
            -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
    else
        [ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$target.cmake" "${launcher[@]}" >/dev/null
    fi
    echo "build: $target"
    set +e
    cmake --build "$dir" -j "$jobs" 2>&1 | grep -v -E '^\[ *[0-9]+%\]|^(gmake|make)\['
    rc=${PIPESTATUS[0]}
    set -e
    [ "$rc" -eq 0 ] || { echo "build: $target failed" >&2; exit "$rc"; }
done
