#!/usr/bin/env bash
# Copies the programs' folder somewhere else, checks that every program and library of ours finds
# the libraries of ours it needs inside the copy, and starts a program from there.
set -euo pipefail
bin=${1:?usage: relocated_bin_test.sh BIN_FOLDER}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -a "$bin" "$work/moved"
moved=$work/moved

fail=0
checked=0
for file in "$moved"/*; do
  [ -f "$file" ] && head -c 4 "$file" | grep -q $'\x7fELF' || continue
  checked=$((checked + 1))
  if readelf -d "$file" | grep -E 'R(UN)?PATH' | grep -v '\$ORIGIN' | grep -q .; then
    echo "FAIL: $(basename "$file") carries a search path other than \$ORIGIN:"
    readelf -d "$file" | grep -E 'R(UN)?PATH'
    fail=1
  fi
  # Every library that sits in the folder must be taken from the copy, never from the build tree.
  while read -r name _ path _; do
    [ -e "$moved/$name" ] || continue
    if [ "$path" != "$moved/$name" ]; then
      echo "FAIL: $(basename "$file") takes $name from ${path:-nowhere}"
      fail=1
    fi
  done < <(ldd "$file" 2>/dev/null | grep '=>' || true)
done
[ "$checked" -gt 0 ] || { echo "FAIL: no programs in $bin"; exit 1; }

# The build tree must not be needed: hide it from the copy by starting from the copy alone.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
( cd "$work" && "$moved/skinview" "$moved/skinview-sample/sample.xml" --png "$work/shot.png" )
[ -s "$work/shot.png" ] || { echo "FAIL: skinview drew nothing from the moved folder"; fail=1; }

[ "$fail" -eq 0 ] && echo "relocated: $checked files find their libraries in the copy"
exit "$fail"
