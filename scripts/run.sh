#!/usr/bin/env bash
# The main job: plays network setup against the built ZEVRNTPS.dll through
# the setup host, with the registry redirected to a scratch key so that the
# machine's own settings stay untouched. Shows the sheets on $DISPLAY when
# there is one; otherwise runs them on Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" i686 >/dev/null

. "$root/scripts/wine-env.sh"
trap zevr_stop_wine EXIT
if [ -n "${DISPLAY:-}" ]; then
    ZEVR_KEEP_DISPLAY=1
fi
zevr_start_display
zevr_start_wine "$root/build/wineprefix"

bin="$root/build/i686/bin"
scratch="ZevrDemo\\$(date +%s)"
for step in NISInstall NISRemove; do
    echo "== setuphost $step"
    (cd "$bin" && wine setuphost.exe --registry "$scratch" "$step" </dev/null)
done
wine reg delete "HKCU\\ZevrDemo" /f </dev/null >/dev/null 2>&1 || true
