#!/usr/bin/env bash
# Installs what is missing, then configures, builds and runs every test suite:
#   format   - every C++ source as .clang-format lays it out
#   linux    - the native build (g++), with the windows' tests under Xvfb
#   sanitize - the same tests built with clang, AddressSanitizer and UBSan,
#              plus every fuzz target run briefly over its seed inputs
#   windows  - everything cross-compiled with MinGW-w64 (the windows with the
#              static wxMSW of tools/build-wxmsw.sh) and run under Wine: the
#              tests, the windows' tests under Xvfb, the executables' imports
#              and an end-to-end run of Gatehouse.exe driven from outside
#   art      - the image writers of tools/make_art.py, and that res/ holds
#              what the script draws
#   package  - the .deb: its files, its dependencies and lintian
# Fails when any suite fails. GATEHOUSE_SUITES="linux windows" picks suites.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/setup.sh || { echo "test: setup failed" >&2; exit 1; }

suites=${GATEHOUSE_SUITES:-"format art linux sanitize windows package"}
jobs=$(nproc 2>/dev/null || echo 2)
fuzz_seconds=${GATEHOUSE_FUZZ_SECONDS:-8}
failed=()
started=$(date +%s)

build() {  # build <dir> <cmake args...>
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
  ninja -C "$dir" -j "$jobs"
}

run_ctest() {  # run_ctest <dir>
  ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout 600
}

suite() {  # suite <name> <commands...>
  local name=$1; shift
  echo
  echo "=== suite: $name ==="
  if "$@"; then
    echo "=== suite $name: passed ==="
  else
    echo "=== suite $name: FAILED ==="
    failed+=("$name")
  fi
}

format_suite() {
  local bad=0 f
  while IFS= read -r -d '' f; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || { echo "not formatted: $f (clang-format -i $f)"; bad=1; }
  done < <(git ls-files -z -- '*.cpp' '*.h' '*.c')
  return $bad
}

linux_suite() {
  build build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo && run_ctest build/linux
}

run_fuzzers() {
  local dir=build/sanitize status=0 f name corpus
  for f in "$dir"/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f"); name=${name#fuzz_}
    corpus="$dir/fuzz-corpus/$name"
    mkdir -p "$corpus"
    [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
    echo "--- fuzz $name for ${fuzz_seconds}s"
    if ! "$f" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 \
        -print_final_stats=0 "$corpus" >"$dir/fuzz-$name.log" 2>&1; then
      tail -40 "$dir/fuzz-$name.log"
      status=1
    else
      grep -E '^#[0-9]+.*DONE' "$dir/fuzz-$name.log" | tail -1 || true
    fi
  done
  return $status
}

sanitize_suite() {
  build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
      -DGATEHOUSE_SANITIZE=ON -DGATEHOUSE_FUZZ=ON &&
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 run_ctest build/sanitize &&
    run_fuzzers
}

windows_suite() {
  local wx_config
  # The static wxMSW for the windows: built once into a cache (about 15
  # minutes on two cores), found there in a moment afterwards.
  wx_config=$(tools/build-wxmsw.sh | tail -n1) || return 1
  build build/windows -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
      -DGATEHOUSE_WX_CONFIG="$wx_config" &&
    WINEPREFIX="$root/build/windows/wineprefix" ctest --test-dir build/windows --output-on-failure -j 1 --timeout 900
}

mkdir -p build
for s in $suites; do
  case $s in
    format) suite format format_suite ;;
    linux) suite linux linux_suite ;;
    sanitize) suite sanitize sanitize_suite ;;
    windows) suite windows windows_suite ;;
    art) suite art python3 tools/make_art_test.py ;;
    package) suite package tools/package-deb.sh --check ;;
    *) echo "test: unknown suite $s" >&2; failed+=("$s") ;;
  esac
done

echo
echo "test: finished in $(( $(date +%s) - started ))s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "test: failed suites: ${failed[*]}"
  exit 1
fi
echo "test: all suites passed ($suites)"
