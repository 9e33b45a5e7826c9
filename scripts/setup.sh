#!/usr/bin/env bash
# Installs what building and testing need, when it is missing: the
# mingw-w64 cross compilers, Wine (64- and 32-bit), Xvfb, imagemagick for
# screenshots, GoogleTest's sources, clang with its sanitizer and fuzzer
# runtimes for the native tests, ccache, and Python for the file checks.
#
# Wine's 32-bit package is installed on its own, last: when a mirror is part
# way through a sync its i386 lists can lag behind the amd64 ones, and the
# 32-bit libraries then cannot be installed at matching versions. Such a
# machine is treated like one whose kernel refuses 32-bit programs (the
# scripts say so and run the x86_64 suite), rather than failing the whole
# set-up.
set -euo pipefail

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
need=()
for pkg in cmake make mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 \
           xvfb xauth imagemagick googletest clang libclang-rt-14-dev ccache python3; do
    have_pkg "$pkg" || need+=("$pkg")
done
want32=
have_pkg wine32:i386 || want32=1
# After a failed try, the next runs within half an hour do not try again
# (each try costs an update with retries).
stamp=/var/tmp/zevr-wine32-unavailable
if [ -n "$want32" ] && [ -n "$(find "$stamp" -mmin -30 2>/dev/null)" ]; then
    echo "setup: wine32:i386 could not be installed $(( ($(date +%s) - $(stat -c %Y "$stamp")) / 60 )) min ago; not trying again yet" >&2
    want32=
fi
[ ${#need[@]} -gt 0 ] || [ -n "$want32" ] || exit 0

export DEBIAN_FRONTEND=noninteractive
if [ -n "$want32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

# A list that fails to download is kept from the last good update; apt-get
# warns and goes on, which is what we want. A second try covers a mirror
# caught mid-sync.
update() {
    local i
    for i in 1 2 3; do
        if apt-get update -qq -o Acquire::Retries=3 2>/tmp/zevr-apt-update.err &&
            ! grep -q '^E:' /tmp/zevr-apt-update.err; then
            return 0
        fi
        [ "$i" -lt 3 ] && sleep 5
    done
    echo "setup: warning: apt-get update reported errors; going on with the lists it has:" >&2
    sed 's/^/    /' /tmp/zevr-apt-update.err | head -n 5 >&2
}
update

install() {
    apt-get install -y -qq -o Dpkg::Use-Pty=0 "$@" >/tmp/zevr-apt-install.log 2>&1
}
if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    if ! install "${need[@]}"; then
        tail -n 15 /tmp/zevr-apt-install.log >&2
        echo "setup: installing ${need[*]} failed" >&2
        exit 1
    fi
fi
if [ -n "$want32" ]; then
    echo "setup: installing wine32:i386"
    if install wine32:i386; then
        rm -f "$stamp"
    else
        touch "$stamp"
        echo "setup: warning: wine32:i386 cannot be installed from this machine's package lists" \
            "(a mirror in mid-sync?); the i686 Wine tests will not run here:" >&2
        grep -E '^ |^E:' /tmp/zevr-apt-install.log | head -n 6 >&2
    fi
fi
exit 0
