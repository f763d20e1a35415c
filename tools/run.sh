#!/usr/bin/env bash
# Builds Gatehouse and runs it. Extra arguments go to the launcher.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh >/dev/null
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGATEHOUSE_TESTS=OFF >/dev/null
ninja -C build/run gatehouse >/dev/null
if [ $# -gt 0 ]; then exec build/run/src/cli/gatehouse "$@"; fi
build/run/src/cli/gatehouse --version
exec build/run/src/cli/gatehouse --help
