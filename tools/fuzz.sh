#!/usr/bin/env bash
# Runs every libFuzzer target (or those named) for a given time over its
# corpus in fuzz/corpus/<target>, keeps the new inputs it finds there
# (merged, so only inputs that add coverage stay), and prints per target the
# runs, the coverage and whether it found anything. Crashes, leaks and
# time-outs are kept in build/fuzz-findings/<target>/.
#   tools/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]      (default: 60, all)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
shift || true

bash tools/setup.sh >/dev/null || { echo "fuzz: setup failed" >&2; exit 1; }
build=build/fuzz
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
         -DCMAKE_C_COMPILER=clang -DGATEHOUSE_SANITIZE=ON -DGATEHOUSE_FUZZ=ON -DGATEHOUSE_GUI=OFF \
         -DGATEHOUSE_TESTS=OFF && ninja -C "$build"; } >build/fuzz.log 2>&1; then
  cat build/fuzz.log >&2
  echo "fuzz: the build failed" >&2
  exit 1
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$build"/fuzz/fuzz_*; do [ -x "$f" ] && targets+=("$(basename "$f" | sed 's/^fuzz_//')"); done
fi

status=0
printf '%-16s %10s %8s %8s  %s\n' target runs cov ft finding
for name in "${targets[@]}"; do
  exe="$build/fuzz/fuzz_$name"
  corpus="fuzz/corpus/$name"
  findings="build/fuzz-findings/$name"
  fresh="build/fuzz-new/$name"
  mkdir -p "$corpus" "$findings" "$fresh"
  log="build/fuzz-$name.log"
  "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$fresh" "$corpus" >"$log" 2>&1
  rc=$?
  # Keep only the new inputs that add coverage to the corpus.
  "$exe" -merge=1 "$corpus" "$fresh" >"$log.merge" 2>&1
  rm -rf "$fresh"
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -o '[0-9]*')
  ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | grep -o '[0-9]*')
  finding=none
  if [ $rc -ne 0 ]; then
    finding="exit $rc: $(grep -m1 -E 'ERROR|WARNING|deadly signal|timeout' "$log" | cut -c1-80)"
    status=1
  fi
  printf '%-16s %10s %8s %8s  %s\n' "$name" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$finding"
done
exit $status
