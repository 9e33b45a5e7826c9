# Sourced by the scripts and by scripts/wine-run: chooses the Wine loader
# this machine can use, once per run, and exports the answer so that every
# child (CTest, the test emulator, the tools) uses the same one.
#
# Some machines' kernels refuse every 32-bit program. There /usr/bin/wine
# still starts the 32-bit loader whenever wine32 is installed, so even 64-bit
# programs fail through it; the 64-bit loader, called directly and named in
# WINELOADER, runs them. ZEVR_ASSUME_NO_WIN32=1 makes the probe answer "no"
# on any machine, to try that path where 32-bit programs do run.
#
# Sets and exports:
#   ZEVR_WIN32        yes or no: can this machine run 32-bit programs?
#   ZEVR_WIN32_WHY    with no: why not, in a few words
#   ZEVR_WINE         the command that runs a Windows program
#   WINELOADER        with no: the 64-bit loader, for Wine's own tools

ZEVR_WINE32_LOADER=${ZEVR_WINE32_LOADER:-/usr/lib/wine/wine}
ZEVR_WINE64_LOADER=${ZEVR_WINE64_LOADER:-/usr/lib/wine/wine64}

zevr_choose_loader() {
    if [ -n "${ZEVR_WIN32:-}" ] && [ -n "${ZEVR_WINE:-}" ]; then
        return 0
    fi
    if [ "${ZEVR_ASSUME_NO_WIN32:-}" = 1 ]; then
        ZEVR_WIN32=no
        ZEVR_WIN32_WHY="ZEVR_ASSUME_NO_WIN32=1 is set"
    elif [ ! -e "$ZEVR_WINE32_LOADER" ]; then
        ZEVR_WIN32=no
        ZEVR_WIN32_WHY="$ZEVR_WINE32_LOADER is missing: Wine's 32-bit package (wine32:i386) is not installed"
    elif "$ZEVR_WINE32_LOADER" --version >/dev/null 2>&1; then
        ZEVR_WIN32=yes
        ZEVR_WIN32_WHY=
    else
        ZEVR_WIN32=no
        ZEVR_WIN32_WHY="$ZEVR_WINE32_LOADER --version failed: this kernel does not run 32-bit programs"
    fi
    if [ "$ZEVR_WIN32" = yes ]; then
        ZEVR_WINE=wine
    else
        ZEVR_WINE=$ZEVR_WINE64_LOADER
        WINELOADER=$ZEVR_WINE64_LOADER
        export WINELOADER
    fi
    export ZEVR_WIN32 ZEVR_WIN32_WHY ZEVR_WINE
}
