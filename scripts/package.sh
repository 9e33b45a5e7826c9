#!/usr/bin/env bash
# The release: installs what is missing, builds the i686 product and the
# x86_64 build, and writes dist/ZEVRNTPS-<version>.zip, the version being
# the one in the DLL's version resource (scripts/package.py). Nothing is
# run under Wine, so it works where 32-bit programs are refused.
#
#   scripts/package.sh [--list]     --list: print the files and sizes only
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
command=pack
[ "${1:-}" = --list ] && command=list

mkdir -p "$root/build/logs"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" i686 x86_64 >"$root/build/logs/package-build.log" 2>&1 || {
    echo "package: the build failed; last lines of build/logs/package-build.log:" >&2
    tail -n 15 "$root/build/logs/package-build.log" | sed 's/^/    /' >&2
    exit 1
}
bins=(--root "$root" --i686 "$root/build/i686/bin" --x86_64 "$root/build/x86_64/bin")
if [ $command = list ]; then
    exec python3 "$root/scripts/package.py" list "${bins[@]}"
fi
zip=$(python3 "$root/scripts/package.py" pack "${bins[@]}" --out "$root/dist")
python3 "$root/scripts/package.py" list "${bins[@]}" | tail -n +2
echo "$zip ($(stat -c %s "$zip") bytes)"
