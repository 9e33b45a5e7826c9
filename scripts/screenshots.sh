#!/usr/bin/env bash
# Writes a PNG of every page of each of the library's sheets, as the library
# shows them, to build/screenshots/ (on Xvfb, in a Wine desktop window so
# that each sheet gets its caption bar). The registry is a scratch key.
#
#   scripts/screenshots.sh [--docs]
#
# --docs also writes the nine pages, in their state over a fresh registry,
# to docs/screenshots/ under the pages' names, as small 8-bit PNGs without
# time stamps; the README links them.
set -uo pipefail
docs=
[ "${1:-}" = --docs ] && docs=yes
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
zevr_session "$root" || exit 1

out="$root/build/screenshots"
log="$root/build/logs/screenshots.log"
rm -rf "$out"
mkdir -p "$out"
: >"$log"
bin="$root/build/$ZEVR_TARGET/bin"
scratch="ZevrShots\\$(date +%s)"
winout=$("$ZEVR_WINE" winepath.exe -w "$out" 2>>"$log")
status=0
for sheet in "${ZEVR_SHEETS[@]}"; do
    entry=${sheet%%|*}
    title=${sheet#*|}
    (cd "$bin" && "$ZEVR_WINE" explorer /desktop=zevrshots,800x600 sheetshots.exe "$entry" "$title" \
        "$winout" --registry "$scratch" </dev/null >>"$log" 2>&1)
    shopt -s nullglob
    shots=("$out/$entry"-*.bmp)
    if [ ${#shots[@]} -eq 0 ]; then
        echo "screenshots: none written for $entry; the end of $log:" >&2
        tail -n 15 "$log" | sed 's/^/    /' >&2
        status=1
    fi
    for bmp in "${shots[@]}"; do
        convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
        echo "${bmp%.bmp}.png"
    done
done
"$ZEVR_WINE" reg delete "HKCU\\ZevrShots" /f </dev/null >/dev/null 2>&1 || true

if [ -n "$docs" ] && [ $status -eq 0 ]; then
    gallery="$root/docs/screenshots"
    mkdir -p "$gallery"
    names=(NFSClientProperty-1:nfs-1-general NFSClientProperty-2:nfs-2-security
        NFSClientProperty-3:nfs-3-caching NFSClientProperty-4:nfs-4-tuning
        NFSClientProperty-5:nfs-5-files-and-folders NFSClientProperty-6:nfs-6-advanced
        PrintSharingProperty-1:sharing-1-nfs-server PrintSharingProperty-2:sharing-2-logging
        NISProperty-1:nameservice-1-nis)
    for pair in "${names[@]}"; do
        convert "$out/${pair%%:*}.png" -strip -define png:exclude-chunks=date,time \
            "PNG8:$gallery/${pair#*:}.png" || status=1
        echo "$gallery/${pair#*:}.png"
    done
fi
exit $status
