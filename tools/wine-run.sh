#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix of its own inside the build
# folder (WINEPREFIX may name another), quietly.
#
# The prefix lets Wine place and decorate its windows itself rather than
# leave them to a window manager: the tests' private Xvfb displays have
# none, and Wine waits two seconds for one each time it hides a window the
# window manager would manage.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
if ! grep -qs '^"Managed"="N"' "$WINEPREFIX/user.reg"; then
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
