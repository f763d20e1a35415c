#!/usr/bin/env bash
# Builds the release of the launcher for both systems and packs it for
# players:
#
#   tools/package.sh
#
# writes build/package/gatehouse_<version>_amd64.deb (tools/package-deb.sh,
# checked with lintian) and build/package/Gatehouse-<version>-windows-x64.zip,
# which holds
#   Gatehouse.exe   the launcher: its windows, or a command's output
#   gatehouse.com   the same program as a console program, for cmd and PowerShell
#   README.txt      the players' page, docs/players.md as plain text
#                   (tools/players_readme.py)
#   LICENSE.txt     the licence
# The programs are a Release cross build (MinGW-w64) linked with the static
# wxMSW that tools/build-wxmsw.sh keeps in its cache (and builds there first
# when it is missing), stripped; each is one file that needs only the DLLs
# of Windows itself. Missing Debian packages are installed first
# (tools/setup.sh). The last two lines of standard output are the paths of
# the .deb and of the zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/setup.sh >/dev/null
deb=$(tools/package-deb.sh --check | tail -n1)
wx_config=$(tools/build-wxmsw.sh | tail -n1)

build=$root/build/package-build
out=$root/build/package
mkdir -p "$root/build"
log=$root/build/package.log
if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
         -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DGATEHOUSE_WX_CONFIG="$wx_config" \
         -DGATEHOUSE_TESTS=OFF &&
       ninja -C "$build" gatehouse gatehouse_console; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "package: the build failed (the messages above are also in $log)" >&2
  exit 1
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no project version in $build/CMakeCache.txt" >&2; exit 1; }
name=Gatehouse-$version-windows-x64
stage=$out/$name
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage"

x86_64-w64-mingw32-strip --strip-all -o "$stage/Gatehouse.exe" "$build/src/main/Gatehouse.exe"
x86_64-w64-mingw32-strip --strip-all -o "$stage/gatehouse.com" "$build/src/main/gatehouse.com"
# Texts with CR LF line ends, which every Windows editor shows as lines.
python3 tools/players_readme.py docs/players.md "$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"

# The same sources give the same zip: every file dated by the last commit,
# no extra attributes, a fixed order.
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
touch -d "@$stamp" "$stage"/*
(cd "$stage" && zip -X -q -D "$out/$name.zip" Gatehouse.exe gatehouse.com README.txt LICENSE.txt)
rm -rf "$stage"
zip -sf "$out/$name.zip" | sed 's/^/package: /' >&2
echo "$deb"
echo "$out/$name.zip"
