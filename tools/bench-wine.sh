#!/usr/bin/env bash
# Times the Windows build's mod manager under Wine on the stress tree of
# tools/bench.sh (made first when it is not there yet): the Windows manager
# probe, built in build/windows as the test command builds it, runs ROUNDS
# times in a private Xvfb, each time after a plain walk of the mods folder
# through the same C++ library, and prints its figures and their medians.
#   tools/bench-wine.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
tree=$root/build/perf/bench-tree
[ -f "$tree/stress-tree.txt" ] || "$root/tools/bench.sh" --rounds 1 --no-window --no-sync >/dev/null
wx_config=$("$root/tools/build-wxmsw.sh" | tail -n1)
cmake -S "$root" -B "$root/build/windows" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DGATEHOUSE_WX_CONFIG="$wx_config" >/dev/null
ninja -C "$root/build/windows" gatehouse_manager_probe >/dev/null
probe=$root/build/windows/tools/bench/gatehouse_manager_probe.exe
# Wine's drive Z: is the root of the file system.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
documents=$(windows_path "$tree/Documents")
mods="$documents\\My Games\\Velmora Games\\Emberwake 2\\mods"
lines=()
for ((i = 1; i <= rounds; i++)); do
  line=$("$root/tools/with-display.sh" "$root/tools/wine-run.sh" "$probe" --documents "$documents" \
    --game-folder "$(windows_path "$tree/game")" --walk "$mods" --repeat 10 | grep '^probe ')
  echo "$line"
  lines+=("$line")
done
printf '%s\n' "${lines[@]}" | python3 -c '
import statistics, sys
rows = [dict(kv.split("=") for kv in line.split()[1:]) for line in sys.stdin]
med = lambda key: statistics.median(float(r[key]) for r in rows)
walk, click = med("walk_ms"), med("click_ms")
moves = ", ".join(f"{name} {med(key):.1f} ms" for name, key in
                  (("highlight", "highlight_ms"), ("check", "check_ms"), ("scroll", "scroll_ms")))
print(f"medians of {len(rows)} under Wine: plain walk {walk:.0f} ms, manager click to usable {click:.0f} ms "
      f"({click / walk:.2f} x the walk); {moves}")'
