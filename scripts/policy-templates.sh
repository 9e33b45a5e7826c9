#!/usr/bin/env bash
# Writes the Group Policy templates docs/policy/ZEVRNTPS.admx and
# docs/policy/en-US/ZEVRNTPS.adml from the settings table
# (framework/settingrows.cpp). The native tests fail until the files written
# here are committed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" native >/dev/null
mkdir -p "$root/docs/policy/en-US"
"$root/build/native/tools/policydoc/policydoc" "$root/docs/policy"
echo "docs/policy written"
