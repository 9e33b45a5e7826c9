#!/usr/bin/env bash
# Writes docs/registry.md from the settings table (framework/settingrows.cpp):
# builds the native generator and runs it. The native tests fail until the
# file written here is committed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" native >/dev/null
"$root/build/native/tools/registrydoc/registrydoc" "$root/docs/registry.md"
echo "docs/registry.md written"
