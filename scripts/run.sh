#!/usr/bin/env bash
# The main job: plays network setup against the built ZEVRNTPS.dll through
# the setup host, with the registry redirected to a scratch key so that the
# machine's own settings stay untouched. With a display ($DISPLAY), the NFS
# client sheet is shown there for you to use; without one it is run on Xvfb
# and a PNG of each of its pages is written to build/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
    "$root/scripts/screenshots.sh"
fi

. "$root/scripts/wine-env.sh"
[ -n "${DISPLAY:-}" ] && ZEVR_KEEP_DISPLAY=1
interactive=${DISPLAY:-}
zevr_i686_session "$root"

bin="$root/build/i686/bin"
scratch="ZevrDemo\\$(date +%s)"
steps=(NISInstall NISRemove)
[ -n "$interactive" ] && steps+=(NFSClientProperty)
for step in "${steps[@]}"; do
    echo "== setuphost $step"
    (cd "$bin" && wine setuphost.exe --registry "$scratch" "$step" </dev/null)
done
wine reg delete "HKCU\\ZevrDemo" /f </dev/null >/dev/null 2>&1 || true
