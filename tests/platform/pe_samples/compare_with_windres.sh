#!/usr/bin/env bash
# Compares the file version that version_probe reads from every Windows
# executable in the given folders with the FILEVERSION that the MinGW-w64
# resource decompiler prints for the same file (the version resource with
# the id 1, as the system's version functions take it; its first language).
# Usage: compare_with_windres.sh PROBE WINDRES LIMIT FOLDER...
# LIMIT > 0 compares that many files spread evenly over all found (the
# decompiler is slow on large files); 0 compares all. Exit 77: nothing found.
set -u
probe=$1
windres=$2
limit=$3
shift 3
case $limit in (*[!0-9]*|"") echo "LIMIT must be a number, not $limit"; exit 2 ;; esac

files=()
for folder in "$@"; do
  for f in "$folder"/*.dll "$folder"/*.exe; do
    [ -f "$f" ] && files+=("$f")
  done
done
if [ ${#files[@]} -eq 0 ]; then
  echo "no Windows executables in $*: nothing to compare"
  exit 77
fi
if [ "$limit" -gt 0 ] && [ ${#files[@]} -gt "$limit" ]; then
  step=$(( (${#files[@]} + limit - 1) / limit ))
  sample=()
  for ((i = 0; i < ${#files[@]}; i += step)); do sample+=("${files[i]}"); done
  files=("${sample[@]}")
fi

expected_version() {
  local rc
  rc=$("$windres" -i "$1" -O rc 2>&1)
  local status=$?
  if [ $status -ne 0 ]; then
    case $rc in
      *"no resources"* | *"no resource section"*) echo none ;;
      *) echo unreadable ;;
    esac
    return
  fi
  printf '%s\n' "$rc" | awk '
    /^[^ ]+ VERSIONINFO$/ { name = $1; want = 1; next }
    want && /^ FILEVERSION / {
      sub(/^ FILEVERSION /, "")
      if (name == "1" && id1 == "") id1 = $0
      want = 0
    }
    END { if (id1 != "") print id1; else print "none" }'
}

compared=0; with_version=0; skipped=0; mismatched=0
while IFS=$'\t' read -r path actual; do
  expected=$(expected_version "$path")
  if [ "$expected" = unreadable ]; then
    skipped=$((skipped + 1))
    continue
  fi
  compared=$((compared + 1))
  [ "$expected" != none ] && with_version=$((with_version + 1))
  if [ "$expected" != "$actual" ]; then
    mismatched=$((mismatched + 1))
    echo "MISMATCH $path: decompiler $expected, reader $actual"
  fi
done < <("$probe" "${files[@]}")

echo "compared $compared executables ($with_version with a version resource), $skipped not readable by the decompiler"
echo "$((compared - mismatched)) passed, $mismatched failed"
[ $mismatched -eq 0 ] && [ $compared -gt 0 ]
