#!/usr/bin/env bash
# Installs what building and testing need, when it is missing: the
# mingw-w64 cross compilers, Wine (64- and 32-bit), Xvfb, imagemagick for
# screenshots, GoogleTest's sources, and clang with its sanitizer and fuzzer
# runtimes for the native tests.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for pkg in cmake make mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 \
           xvfb xauth imagemagick googletest clang libclang-rt-14-dev; do
    have_pkg "$pkg" || need+=("$pkg")
done
if ! have_pkg wine32:i386; then
    need+=("wine32:i386")
fi
if [ ${#need[@]} -eq 0 ]; then
    exit 0
fi

echo "setup: installing ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq "${need[@]}" >/dev/null
