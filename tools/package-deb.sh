#!/usr/bin/env bash
# Builds the Linux launcher in Release and packs it as a .deb in
# build/package/: gatehouse in /usr/bin, its gui's module in
# /usr/lib/gatehouse (or the multiarch library folder), the desktop entry and icons, the
# manual page, bash completion, the players' page, the copyright and changelog.
#   tools/package-deb.sh [--check]
# With --check it then looks at the package as a user's machine would: the
# files it holds, its dependencies, and lintian (which must report no errors).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh >/dev/null

build=build/package-deb
out=build/package
mkdir -p "$out"
log=build/package-deb.log
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGATEHOUSE_TESTS=OFF &&
       ninja -C "$build" gatehouse gatehouse_packaging_docs &&
       (cd "$build" && cpack -G DEB -B "$root/$out/deb-work"); } >"$log" 2>&1; then
  cat "$log" >&2
  echo "package-deb: the build failed" >&2
  exit 1
fi
deb=$(ls "$out"/deb-work/gatehouse_*.deb | head -n1)
mv "$deb" "$out/"
rm -rf "$out/deb-work"
deb="$out/$(basename "$deb")"
echo "$deb"

[ "${1:-}" = --check ] || exit 0

status=0
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for expected in ./usr/bin/gatehouse ./usr/share/applications/gatehouse.desktop \
    ./usr/share/icons/hicolor/48x48/apps/gatehouse.png ./usr/share/man/man1/gatehouse.1.gz \
    ./usr/share/bash-completion/completions/gatehouse ./usr/share/doc/gatehouse/copyright \
    ./usr/share/doc/gatehouse/changelog.gz ./usr/share/doc/gatehouse/players.md; do
  if ! grep -qx "$expected" <<<"$files"; then
    echo "package-deb: $expected is missing from the package" >&2
    status=1
  fi
done
if ! grep -qE '^\./usr/lib/(.*/)?gatehouse/libgatehouse_gui\.so$' <<<"$files"; then
  echo "package-deb: the gui's module is missing from the package" >&2
  status=1
fi
if grep -v '^\./usr/' <<<"$files" | grep -qv '^\./$'; then
  echo "package-deb: files outside /usr:" >&2
  grep -v '^\./usr/' <<<"$files" >&2
  status=1
fi
dpkg-deb -f "$deb" Depends | grep -q 'libwxgtk3.2' || { echo "package-deb: no dependency on wxWidgets" >&2; status=1; }
desktop-file-validate packaging/linux/gatehouse.desktop || status=1
man --warnings -l -Tutf8 packaging/linux/gatehouse.1 >/dev/null 2>"$out/man-warnings.txt" || true
if [ -s "$out/man-warnings.txt" ]; then cat "$out/man-warnings.txt" >&2; status=1; fi
bash -n packaging/linux/gatehouse.bash || status=1
# Lintian runs as an ordinary user where it can; as root it says so and goes on.
if ! lintian --fail-on error --tag-display-limit 0 "$deb" >"$out/lintian.txt" 2>&1; then
  cat "$out/lintian.txt" >&2
  status=1
fi
grep -E '^[EW]: ' "$out/lintian.txt" >&2 || true
exit $status
