#!/usr/bin/env bash
# Writes a PNG of every page of the NFS client sheet, as the library shows
# it, to build/screenshots/ (on Xvfb, in a Wine desktop window so that the
# sheet gets its caption bar). The registry is a scratch key.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
zevr_i686_session "$root"

out="$root/build/screenshots"
rm -rf "$out"
mkdir -p "$out"
bin="$root/build/i686/bin"
scratch="ZevrShots\\$(date +%s)"
winout=$(winepath -w "$out")
(cd "$bin" && wine explorer /desktop=zevrshots,800x600 sheetshots.exe NFSClientProperty \
    "Quellmar NFS Client Configuration" "$winout" --registry "$scratch" </dev/null >/dev/null 2>&1) || true
wine reg delete "HKCU\\ZevrShots" /f </dev/null >/dev/null 2>&1 || true
shopt -s nullglob
shots=("$out"/*.bmp)
if [ ${#shots[@]} -eq 0 ]; then
    echo "screenshots: none written" >&2
    exit 1
fi
for bmp in "${shots[@]}"; do
    convert "$bmp" "${bmp%.bmp}.png"
    rm -f "$bmp"
    echo "${bmp%.bmp}.png"
done
