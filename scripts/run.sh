#!/usr/bin/env bash
# The main job: plays network setup against the built ZEVRNTPS.dll through
# the setup host, with the registry redirected to a scratch key so that the
# machine's own settings stay untouched. With a display ($DISPLAY), the
# sheets are shown there, one after the other, for you to use; without one
# they are run on Xvfb and a PNG of each page is written to
# build/screenshots/. At the end it prints what the scratch registry holds
# through zevrcfg show. Where the machine refuses 32-bit programs, the x86_64
# build of the same sources is shown instead of the i686 product.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"

fail() {
    echo "run.sh: $*" >&2
    exit 1
}

zevr_note_target
interactive=
if [ -n "${DISPLAY:-}" ]; then
    interactive=1
    ZEVR_KEEP_DISPLAY=1
else
    "$root/scripts/screenshots.sh" || fail "the screenshots were not written (see above)"
fi

zevr_session "$root" || fail "could not prepare the build and Wine (see above)"
bin="$root/build/$ZEVR_TARGET/bin"
scratch="ZevrDemo\\$(date +%s)"
steps=(NISInstall NISRemove)
if [ -n "$interactive" ]; then
    for sheet in "${ZEVR_SHEETS[@]}"; do
        steps+=("${sheet%%|*}")
    done
fi
for step in "${steps[@]}"; do
    echo "== setuphost $step"
    (cd "$bin" && "$ZEVR_WINE" setuphost.exe --registry "$scratch" "$step" </dev/null) ||
        fail "setuphost $step failed (exit $?); to see more, run it by hand with Wine's messages on:
    cd $bin && WINEPREFIX=$WINEPREFIX WINEDEBUG=err+all $ZEVR_WINE setuphost.exe $step"
done
# What the sheets left there, as the command-line tool shows it.
echo "== zevrcfg show"
(cd "$bin" && "$ZEVR_WINE" zevrcfg.exe --registry "$scratch" show </dev/null) ||
    fail "zevrcfg show failed (exit $?)"
"$ZEVR_WINE" reg delete "HKCU\\ZevrDemo" /f </dev/null >/dev/null 2>&1 || true
