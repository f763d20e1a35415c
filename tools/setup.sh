#!/usr/bin/env bash
# Installs the Debian packages that building and testing Gatehouse need.
# Only missing packages are installed; `apt-get update` runs first only when
# something must be installed. Works as root or through sudo; safe to rerun.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git python3
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libfmt-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix wine64 fonts-wine xz-utils
  libwxgtk3.2-dev xvfb xauth xdotool zip
  lintian desktop-file-utils man-db dpkg-dev
  strace  # gatehouse_bench counts the file system calls of a sync with it
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "setup: all build and test packages are installed"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "setup: missing packages (${missing[*]}) and neither root nor sudo" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
