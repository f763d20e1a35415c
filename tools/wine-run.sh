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
# Programs run without a display get a prefix of their own. A Wine server
# outlives its last program for a while, and a program started in its prefix
# meanwhile joins its desktop: after commands run without a display, a
# window opened there would sit on a desktop that is on no screen, where no
# input reaches it and nothing waiting for it to be shown ever returns.
# GATEHOUSE_WINE_ONE_PREFIX=1 keeps one prefix for both (the caller then
# waits for the server itself, as tools/screenshots.sh does).
if [ -z "${DISPLAY:-}" ] && [ "${GATEHOUSE_WINE_ONE_PREFIX:-}" != 1 ]; then
  export WINEPREFIX=$WINEPREFIX-headless
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
if ! grep -qs '^"Managed"="N"' "$WINEPREFIX/user.reg"; then
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
