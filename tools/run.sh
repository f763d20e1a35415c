#!/usr/bin/env bash
# Builds Gatehouse and a demo world in build/demo (a game folder, a documents
# folder with mods and sets, a local Workshop and a stand-in game), then
# opens the launcher's windows on it. Without a display it says so and runs
# the terminal demo instead: sync, list and play --last. With arguments, runs
# the launcher on the demo with those arguments (for example: list --json).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh >/dev/null
# Quiet while all goes well; the build's own messages when it does not.
log=build/run.log
mkdir -p build
if ! { cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGATEHOUSE_TESTS=OFF &&
       ninja -C build/run gatehouse gatehouse_demo gatehouse_standin_game; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "run: the build failed (the messages above are also in $log)" >&2
  exit 1
fi

gatehouse=build/run/src/main/gatehouse
demo=build/demo
# The stand-in game reads the selection file from the demo's documents folder.
export GATEHOUSE_STANDIN_DOCUMENTS="$root/$demo/documents"
options=(--documents "$demo/documents" --game-folder "$demo/game" --workshop "$demo/workshop"
         --runner "$demo/runner/standin-game")

if [ $# -gt 0 ]; then
  [ -d "$demo" ] || build/run/tools/demo/gatehouse_demo "$demo" build/run/tools/demo/gatehouse_standin_game >/dev/null
  exec "$gatehouse" "${options[@]}" "$@"
fi

# A fresh demo each time, so that the sync has files to fetch.
rm -rf "$demo"
build/run/tools/demo/gatehouse_demo "$demo" build/run/tools/demo/gatehouse_standin_game >/dev/null

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$gatehouse" "${options[@]}"
fi
echo "No display here: running the terminal demo instead of the windows."
echo

run() {
  echo "\$ gatehouse $*"
  "$gatehouse" "${options[@]}" "$@" || echo "(exit status $?)"
  echo
}
run sync
run list
run play --last
# The game runs on its own; wait for the stand-in to finish its report.
for _ in $(seq 100); do [ -f "$demo/runner/standin-record.txt" ] && break; sleep 0.05; done
sleep 0.1
