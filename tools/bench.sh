#!/usr/bin/env bash
# Measures the launcher's speed and memory on the stress tree of 10,000 mods
# in 200 folders: builds the Release benchmark build (build/perf) and runs
# gatehouse_bench in a private Xvfb, which prints every figure against a
# plain walk of the same files, measured in the same run, and a verdict per
# goal. The tree is kept in build/perf/bench-tree and reused.
#   tools/bench.sh [gatehouse_bench options, e.g. --rounds 7 or --mods 2000]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GATEHOUSE_BENCH_BUILD:-$root/build/perf}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGATEHOUSE_BENCHMARKS=ON >/dev/null
ninja -C "$build" gatehouse_bench >/dev/null
exec "$root/tools/with-display.sh" "$build/tools/bench/gatehouse_bench" --tree "$build/bench-tree" "$@"
