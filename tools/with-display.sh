#!/usr/bin/env bash
# Runs a command with a private Xvfb server of its own, started for the
# command and stopped after it, so tests that move the pointer or take the
# keyboard focus never disturb each other or the developer's desktop.
# GATEHOUSE_TEST_DISPLAY=1 uses $DISPLAY instead (to watch the tests).
# GATEHOUSE_DISPLAY_SIZE sets the screen's size (default 1280x1024), e.g. for
# windows at 200% scaling, which are twice as large as at 100%.
#   tools/with-display.sh COMMAND [ARGS...]
# Listing tests (--gtest_list_tests) needs no display and starts none.
set -uo pipefail

if [ "${GATEHOUSE_TEST_DISPLAY:-}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
for arg in "$@"; do
  if [ "$arg" = "--gtest_list_tests" ]; then
    exec "$@"
  fi
done
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "with-display: no DISPLAY and no Xvfb (tools/setup.sh installs it)" >&2
  exit 1
fi

numberfile=$(mktemp)
# -displayfd lets the server choose a free display number and report it, so
# parallel runs never compete for one.
Xvfb -displayfd 3 -screen 0 "${GATEHOUSE_DISPLAY_SIZE:-1280x1024}x24" -nolisten tcp -noreset 3>"$numberfile" 2>/dev/null &
server=$!
cleanup() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -f "$numberfile"
}
trap cleanup EXIT

for _ in $(seq 1 100); do
  if [ -s "$numberfile" ]; then
    break
  fi
  if ! kill -0 "$server" 2>/dev/null; then
    echo "with-display: Xvfb did not start" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -s "$numberfile" ]; then
  echo "with-display: Xvfb reported no display" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$numberfile")"
"$@"
status=$?
exit "$status"
