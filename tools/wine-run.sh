#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix of its own inside the build
# folder (WINEPREFIX may name another), quietly.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
exec "$wine" "$@"
