#!/usr/bin/env bash
# Builds the demo world and the screenshot tool, then saves PNGs of the
# launcher's windows in their telling states, from the Linux build and from
# the Windows build under Wine (at 100%, 150% and 200% scaling):
#
#   tools/screenshots.sh [--linux | --windows] [OUTPUT-FOLDER]
#
# OUTPUT-FOLDER (default build/screenshots) receives linux/, windows-100/,
# windows-150/ and windows-200/. Each run has a private display
# (tools/with-display.sh) and a fresh demo world. The Windows build needs
# the static wxMSW of tools/build-wxmsw.sh (built into its cache first when
# missing); each scaling has a Wine prefix of its own, kept in the build
# folder, whose first start takes a while.
#
# The tools are built in the test suites' build folders (build/linux,
# build/windows) when tools/test.sh made them, so nothing is compiled twice;
# otherwise in build/screenshots-linux and build/screenshots-windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
systems="linux windows"
case ${1:-} in
  --linux) systems=linux; shift ;;
  --windows) systems=windows; shift ;;
esac
out=${1:-$root/build/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
world=$(mktemp -d)
trap 'rm -rf "$world"' EXIT

# build_folder SUITE-FOLDER OWN-FOLDER: the suite's build folder when it is
# configured, else OWN-FOLDER (which the caller configures).
build_folder() {
  if [ -f "$1/build.ninja" ]; then echo "$1"; else echo "$2"; fi
}

linux_shots() {
  local build
  build=$(build_folder "$root/build/linux" "$root/build/screenshots-linux")
  [ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DGATEHOUSE_TESTS=OFF >/dev/null
  ninja -C "$build" gatehouse_demo gatehouse_screenshot >/dev/null
  rm -rf "$world/linux"
  "$build/tools/demo/gatehouse_demo" "$world/linux" >/dev/null
  mkdir -p "$out/linux"
  "$root/tools/with-display.sh" "$build/tools/screenshot/gatehouse_screenshot" "$world/linux" "$out/linux"
}

# The Windows tool writes BMPs (its wx has no PNG writer); they become PNGs.
windows_shots() {
  local build wx_config wineserver percent dpi size prefix shots
  build=$(build_folder "$root/build/windows" "$root/build/screenshots-windows")
  if [ ! -f "$build/build.ninja" ]; then
    wx_config=$("$root/tools/build-wxmsw.sh" | tail -n1)
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
      -DGATEHOUSE_WX_CONFIG="$wx_config" -DGATEHOUSE_TESTS=OFF >/dev/null
  fi
  ninja -C "$build" gatehouse_demo gatehouse_screenshot >/dev/null
  wineserver=$(command -v wineserver64 || command -v wineserver || echo /usr/lib/wine/wineserver64)
  for percent in 100 150 200; do
    dpi=$((96 * percent / 100))
    # A screen as large as the ones people use at that scaling, so that the
    # larger windows fit on it whole.
    case $percent in
      100) size=1280x1024 ;;
      150) size=2560x1440 ;;
      200) size=3840x2160 ;;
    esac
    prefix=$build/wineprefix-$percent
    export WINEPREFIX=$prefix GATEHOUSE_WINE_ONE_PREFIX=1
    # The display's scaling, as Windows' display settings set it.
    "$root/tools/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    rm -rf "$world/windows"
    "$root/tools/wine-run.sh" "$build/tools/demo/gatehouse_demo.exe" "Z:$world/windows" >/dev/null
    # Those ran without a display; until the prefix's Wine ends, a program
    # started in it shares their desktop, 1024 pixels wide and on no screen.
    "$wineserver" -w
    shots=$out/windows-$percent
    rm -rf "$shots"
    mkdir -p "$shots"
    GATEHOUSE_DISPLAY_SIZE=$size "$root/tools/with-display.sh" "$root/tools/wine-run.sh" \
      "$build/tools/screenshot/gatehouse_screenshot.exe" "Z:$world/windows" "Z:$shots"
    python3 "$root/tools/screenshot/bmp_to_png.py" "$shots"/*.bmp
  done
  unset WINEPREFIX GATEHOUSE_WINE_ONE_PREFIX
}

for system in $systems; do
  "${system}_shots"
done
echo "screenshots in $out"
