# Sourced by the scripts: an Xvfb display (or the caller's own) and a Wine
# prefix inside the build folder, with Wine's background processes started
# before anything inherits their output pipes. `zevr_stop_wine` undoes it.
# Every Wine call goes through "$ZEVR_WINE" (see wine-loader.sh), also
# Wine's own tools (wineboot, reg, winepath), whose launchers would start
# the 32-bit loader on a machine that refuses it.

. "$(dirname "${BASH_SOURCE[0]}")/wine-loader.sh"
zevr_choose_loader

zevr_start_display() {
    if [ -n "${ZEVR_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
        return 0
    fi
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # -displayfd: Xvfb picks a free display number and tells us.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    ZEVR_XVFB_PID=$!
    local number
    read -r -t 30 number <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$number" ]; then
        echo "wine-env: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

zevr_start_wine() {
    local prefix=$1
    export WINEPREFIX=$prefix
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        "$ZEVR_WINE" wineboot.exe -i </dev/null >&2 2>&1 || {
            echo "wine-env: creating the Wine prefix $WINEPREFIX failed ($ZEVR_WINE wineboot.exe -i)" >&2
            rm -rf "$WINEPREFIX"
            return 1
        }
        # Unmanaged windows close in 20 ms instead of 2 s on a bare X server.
        "$ZEVR_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        wineserver -w
    fi
    zevr_link_wine_fonts
    wineserver -p </dev/null >/dev/null 2>&1 &
    "$ZEVR_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || {
        echo "wine-env: Wine does not start a program ($ZEVR_WINE cmd /c exit failed)" >&2
        return 1
    }
    # Wine closes the desktop, and ends its explorer process, about a second
    # after the last program on it has ended. The next program then starts
    # a new one, which costs a second per test and inherits that program's
    # output pipes (a test that reads a child's output to its end then
    # waits for ever). A resident program keeps the desktop open: cmd
    # waiting on a pipe that never gets input.
    local keeper
    keeper=$(mktemp -u)
    mkfifo "$keeper"
    exec 9<>"$keeper"
    rm -f "$keeper"
    "$ZEVR_WINE" cmd /k <&9 >/dev/null 2>&1 &
}

# Wine's own fonts, the caption buttons' glyph font among them, are installed
# in /usr/share/wine/fonts, but this Wine looks for them in the folder above
# its data folder (<data dir>/../fonts, that is /usr/share/fonts; seen with
# WINEDEBUG=+file) and finds none. Without them every caption button shows
# the letter that stands for its glyph. Wine always reads the prefix's Fonts
# folder, so that gets links to them.
zevr_link_wine_fonts() {
    local folder=$WINEPREFIX/drive_c/windows/Fonts font
    [ -d "$folder" ] || return 0
    for font in /usr/share/wine/fonts/*; do
        local link=$folder/${font##*/}
        [ -e "$font" ] && [ ! -e "$link" ] && [ ! -L "$link" ] || continue
        ln -s "$font" "$link" || return 1
    done
}

zevr_stop_wine() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
        exec 9>&- 2>/dev/null || true
    fi
    if [ -n "${ZEVR_XVFB_PID:-}" ]; then
        kill "$ZEVR_XVFB_PID" >/dev/null 2>&1 || true
        wait "$ZEVR_XVFB_PID" 2>/dev/null || true
    fi
}

# The sheets that the run command shows and shoots: export|caption.
ZEVR_SHEETS=(
    "NFSClientProperty|Quellmar NFS Client Configuration"
    "PrintSharingProperty|Quellmar File Sharing Configuration"
    "NISProperty|Quellmar NIS/NIS+ Name Service Configuration"
)

# The target whose programs this machine can run: the i686 product, or the
# x86_64 build of the same sources where 32-bit programs are refused.
zevr_runnable_target() {
    if [ "$ZEVR_WIN32" = yes ]; then echo i686; else echo x86_64; fi
}

# Says once per run, also across the scripts it starts, when the x86_64
# build stands in for the product.
zevr_note_target() {
    if [ "$ZEVR_WIN32" != yes ] && [ -z "${ZEVR_TARGET_NOTED:-}" ]; then
        export ZEVR_TARGET_NOTED=1
        echo "note: showing the x86_64 build; the i686 product cannot run here ($ZEVR_WIN32_WHY)"
    fi
}

# The usual start of a script that runs the library under Wine: install what
# is missing, build the runnable target, and bring up the display and Wine
# until the script exits. Sets ZEVR_TARGET. A failing step says what failed
# and where its output is.
zevr_session() {
    local root=$1
    ZEVR_TARGET=$(zevr_runnable_target)
    zevr_note_target
    mkdir -p "$root/build/logs"
    zevr_step "installing packages" "$root/build/logs/setup.log" "$root/scripts/setup.sh" || return 1
    zevr_step "building $ZEVR_TARGET" "$root/build/logs/build-$ZEVR_TARGET.log" \
        "$root/scripts/build.sh" "$ZEVR_TARGET" || return 1
    zevr_start_wine_session "$root"
}

# The display and a Wine prefix (the build folder's, unless one is named),
# stopped again when the calling script, or subshell, exits. Each prefix
# has its own wineserver, so sessions on different prefixes and displays
# run side by side without seeing each other's windows.
zevr_start_wine_session() {
    local root=$1 prefix=${2:-$1/build/wineprefix}
    trap zevr_stop_wine EXIT
    zevr_start_display || return 1
    mkdir -p "$root/build/logs"
    zevr_step "starting Wine" "$root/build/logs/wine-start-$(basename "$(dirname "$prefix")").log" \
        zevr_start_wine "$prefix"
}

# Runs a step with its output in a log; on failure says what failed, shows
# the end of the log and names it.
zevr_step() {
    local what=$1 log=$2
    shift 2
    "$@" >"$log" 2>&1 && return 0
    local rc=$?
    echo "failed: $what (exit $rc); last lines of $log:" >&2
    tail -n 15 "$log" | sed 's/^/    /' >&2
    return "$rc"
}
