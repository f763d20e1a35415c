#!/usr/bin/env bash
# Builds wxMSW 3.2 as static libraries for the Windows build of the launcher's
# windows, with the MinGW-w64 posix-thread compilers that tools/setup.sh
# installs. The build happens once, in a cache folder outside any build tree;
# later runs find it complete and only print where it is.
#
#   tools/build-wxmsw.sh [--rebuild]
#
# The last line of standard output is the path of the build's wx-config, so
#   wx_config=$(tools/build-wxmsw.sh | tail -n1)
# Progress goes to standard error; each step's full output to a log in the
# cache folder, whose tail is shown when a step fails (exit status 1).
#
#   GATEHOUSE_CACHE  cache root (default ~/.cache/gatehouse)
#   GATEHOUSE_JOBS   parallel make jobs (default: the number of processors)
#   --rebuild        delete this recipe's cache folder first
#
# The cache folder is <root>/wxmsw-<version>-<hash>, the hash taken over what
# decides the result: the source package, the configure options, the
# compilers' versions and the code (not the comments) of the functions below
# that unpack, configure and build. A change to any of them builds anew in a
# folder of its own. The file `complete` is written last: a folder without it
# is unfinished, and the next run carries on from the last step that finished
# (make itself resumes a half-built tree). A complete folder keeps only
# wx-config, the libraries, the headers and the logs.
#
# The source is Debian's own wxwidgets3.2 source package, fetched by apt-get
# through a source list of this script's own (the machine's Debian mirrors as
# deb-src) with apt's lists and caches in the cache folder, so the machine's
# apt configuration and state stay as they were. No root is needed.
set -euo pipefail

wx_version=3.2.2
source_package=wxwidgets3.2
orig_tarball=wxwidgets3.2_${wx_version}+dfsg.orig.tar.xz
host=x86_64-w64-mingw32
cc=$host-gcc-posix
cxx=$host-g++-posix

say() { echo "build-wxmsw: $*" >&2; }

for tool in "$cc" "$cxx" gcc apt-get tar xz make flock sha256sum; do
  command -v "$tool" >/dev/null 2>&1 || { say "$tool is missing (tools/setup.sh installs it)"; exit 1; }
done

# Static, Unicode wxMSW without the image libraries, XML and the parts the
# launcher does not use: images come as BMP and ICO, which wx reads itself.
# Accessibility stays on, so the windows can give screen readers (through
# MSAA) the names of owner-drawn controls.
configure_options=(
  --host=$host --build="$(gcc -dumpmachine)" CC=$cc CXX=$cxx
  --with-msw --disable-shared --disable-debug --enable-accessibility
  --without-libpng --without-libjpeg --without-libtiff --without-zlib --without-expat
  --without-liblzma --without-opengl --disable-xrc --disable-richtext --disable-stc
  --disable-webview --disable-mediactrl --disable-aui --disable-ribbon --disable-propgrid
  --disable-html --disable-htmlhelp --disable-help --disable-svg --disable-webrequest
  --disable-arttango --disable-zipstream --disable-fs_zip --disable-tarstream
)

rebuild=0
for arg in "$@"; do
  case $arg in
    --rebuild) rebuild=1 ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "build-wxmsw: unknown argument $arg (see --help)" >&2; exit 2 ;;
  esac
done

fail() {  # fail <log> <message>
  say "$2; the end of $1:"
  tail -n 40 "$1" >&2 || true
  exit 1
}

# The machine's Debian mirrors as source lists, in deb822 or one-line form.
source_list() {
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    echo "sources"
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources
  elif [ -f /etc/apt/sources.list ]; then
    echo "list"
    sed -nE 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' /etc/apt/sources.list
  else
    return 1
  fi
}

fetch_source() {  # fetch_source <dir>
  local dir=$1 kind apt_options
  mkdir -p "$dir/apt/sources.d" "$dir/apt/lists/partial" "$dir/apt/cache/archives/partial" "$dir/download"
  source_list >"$dir/apt/list.tmp" || { echo "no /etc/apt/sources.list.d/debian.sources or /etc/apt/sources.list"; return 1; }
  kind=$(head -n1 "$dir/apt/list.tmp")
  rm -f "$dir/apt/sources.d/"*
  tail -n +2 "$dir/apt/list.tmp" >"$dir/apt/sources.d/gatehouse-src.$kind"
  rm -f "$dir/apt/list.tmp"
  apt_options=(
    -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$dir/apt/sources.d"
    -o Dir::State::Lists="$dir/apt/lists" -o Dir::Cache="$dir/apt/cache"
  )
  apt-get "${apt_options[@]}" update || return 1
  (cd "$dir/download" && apt-get "${apt_options[@]}" source --download-only "$source_package") || return 1
  [ -f "$dir/download/$orig_tarball" ] || { echo "apt-get gave no $orig_tarball"; ls -l "$dir/download"; return 1; }
  # The indexes are only needed for this one download.
  rm -rf "$dir/apt/lists" "$dir/apt/cache"
}

unpack_source() {  # unpack_source <dir>
  local dir=$1
  rm -rf "$dir/source.tmp" "$dir/source"
  mkdir "$dir/source.tmp"
  tar -xf "$dir/download/$orig_tarball" -C "$dir/source.tmp" --strip-components=1 || return 1
  [ -x "$dir/source.tmp/configure" ] || { echo "$orig_tarball holds no configure script"; return 1; }
  mv "$dir/source.tmp" "$dir/source"
}

configure_wx() {  # configure_wx <dir>
  local dir=$1
  rm -rf "$dir/build"
  mkdir "$dir/build" || return 1
  (cd "$dir/build" && ../source/configure "${configure_options[@]}")
}

# The static libraries `wx-config --libs core,base` names (base brings the
# regular expression library), one path a line: these and nothing more are
# built, as the launcher links no other part of wx.
wx_libraries() {  # wx_libraries <dir>
  local dir=$1 flag
  for flag in $("$dir/build/wx-config" --libs core,base); do
    case $flag in
      "$dir"/build/lib/*.a) echo "$flag" ;;
      -lwx*) echo "$dir/build/lib/lib${flag#-l}.a" ;;
    esac
  done
}

make_wx() {  # make_wx <dir> <jobs>
  local libraries
  mapfile -t libraries < <(wx_libraries "$1")
  [ "${#libraries[@]}" -ge 2 ] || { echo "wx-config names no libraries"; return 1; }
  make -C "$1/build" -j "$2" "${libraries[@]}"
}

check_wx() {  # check_wx <dir>: wx-config answers and its libraries exist
  local dir=$1 library missing=0
  "$dir/build/wx-config" --cxxflags || return 1
  while read -r library; do
    if [ -f "$library" ]; then
      ls -l "$library"
    else
      echo "missing $library"
      missing=1
    fi
  done < <(wx_libraries "$dir")
  return $missing
}

recipe_hash() {
  {
    echo "$wx_version $source_package $orig_tarball"
    printf '%s\n' "${configure_options[@]}"
    "$cc" --version | head -n1
    "$cxx" --version | head -n1
    declare -f unpack_source configure_wx wx_libraries make_wx
  } | sha256sum | cut -c1-12
}

cache_root=${GATEHOUSE_CACHE:-$HOME/.cache/gatehouse}
dir=$cache_root/wxmsw-$wx_version-$(recipe_hash)
jobs=${GATEHOUSE_JOBS:-$(nproc 2>/dev/null || echo 2)}
mkdir -p "$cache_root"

# One build per recipe at a time; a second caller waits and then reuses it.
exec 9>"$dir.lock"
if ! flock -n 9; then
  say "waiting for the other run that builds $dir"
  flock 9
fi

if [ "$rebuild" = 1 ]; then
  rm -rf "$dir"
fi
if [ -f "$dir/complete" ]; then
  if [ -x "$dir/build/wx-config" ]; then
    echo "$dir/build/wx-config"
    exit 0
  fi
  say "$dir is marked complete but has no wx-config; building it again"
  rm -f "$dir/complete"
fi
mkdir -p "$dir"
say "building wxMSW $wx_version in $dir"

# Steps run with errexit off (inside an `if`), so each function returns its
# failures itself.
step() {  # step <name> <stamp> <function> <args...>: runs once, logged and timed
  local name=$1 stamp=$2; shift 2
  if [ -f "$dir/$stamp" ]; then
    return 0
  fi
  local log=$dir/$name.log started=$SECONDS
  say "$name (log: $log)"
  if ! "$@" >"$log" 2>&1; then
    fail "$log" "$name failed"
  fi
  echo "$name took $((SECONDS - started)) s" | tee -a "$log" | sed 's/^/build-wxmsw: /' >&2
  touch "$dir/$stamp"
}

# A new download makes the unpacked tree stale, a new unpack the configured
# one.
[ -f "$dir/fetched" ] || rm -f "$dir/unpacked"
[ -f "$dir/unpacked" ] || rm -f "$dir/configured"
step fetch fetched fetch_source "$dir"
step unpack unpacked unpack_source "$dir"
step configure configured configure_wx "$dir"
# make is incremental, so an interrupted build carries on here.
rm -f "$dir/made" "$dir/checked"
step make made make_wx "$dir" "$jobs"
step check checked check_wx "$dir"

# Only now is the folder a finished build.
echo "wxMSW $wx_version for $host, built $(date -u +%Y-%m-%dT%H:%M:%SZ)" >"$dir/complete"

# What users of the build need is wx-config, the libraries and the headers
# (wx/msw/wx.rc's cursors and icons among them); the rest goes, from 280 MB
# down to about 60. Interrupted, this only leaves more behind. Without the
# step stamps, a folder whose `complete` is deleted is built from the start.
find "$dir/build" -maxdepth 1 -name '*.o' -delete
rm -rf "$dir/build/.deps" "$dir/download" "$dir/apt"
rm -f "$dir/fetched" "$dir/unpacked" "$dir/configured" "$dir/made" "$dir/checked"
find "$dir/source" -mindepth 1 -maxdepth 1 ! -name include -exec rm -rf {} +
say "done: $(du -sh "$dir/build/lib" | cut -f1) of libraries"
echo "$dir/build/wx-config"
