# Sourced by the scripts: an Xvfb display (or the caller's own) and a Wine
# prefix inside the build folder, with Wine's background processes started
# before anything inherits their output pipes. `zevr_stop_wine` undoes it.

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
        wineboot -i </dev/null >/dev/null 2>&1
        # Unmanaged windows close in 20 ms instead of 2 s on a bare X server.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        wineserver -w
    fi
    wineserver -p </dev/null >/dev/null 2>&1 &
    wine cmd /c exit </dev/null >/dev/null 2>&1
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
    wine cmd /k <&9 >/dev/null 2>&1 &
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

# The usual start of a script that runs the i686 build under Wine: install
# what is missing, build, and bring up the display and Wine until the script
# exits.
zevr_i686_session() {
    local root=$1
    "$root/scripts/setup.sh"
    "$root/scripts/build.sh" i686 >/dev/null
    trap zevr_stop_wine EXIT
    zevr_start_display
    zevr_start_wine "$root/build/wineprefix"
}
