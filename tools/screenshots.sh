#!/usr/bin/env bash
# Builds the demo world and the screenshot tool, then saves PNGs of the
# launcher's windows in their telling states:
#   tools/screenshots.sh [OUTPUT-FOLDER]        (default: build/screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/screenshots}
build=$root/build/screenshots-build
cmake -S "$root" -B "$build" -G Ninja -DGATEHOUSE_TESTS=OFF >/dev/null
ninja -C "$build" gatehouse_demo gatehouse_screenshot >/dev/null
world=$(mktemp -d)
trap 'rm -rf "$world"' EXIT
rmdir "$world"
"$build/tools/demo/gatehouse_demo" "$world" >/dev/null
mkdir -p "$out"
"$root/tools/with-display.sh" "$build/tools/screenshot/gatehouse_screenshot" "$world" "$out"
echo "screenshots in $out"
