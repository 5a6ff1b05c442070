#!/usr/bin/env bash
# Times the extraction of two generated archives with this library, Info-ZIP `unzip -o -q` and
# `bsdtar -xf`, side by side in one run:
#   bench/zip/run.sh [BUILD_FOLDER] [ROUNDS] [EARLIER_DRIVER]
# EARLIER_DRIVER, a zip_extract_all of another build, is timed in the same rounds as "earlier".
# The archives (5,000 small files; one 300 MB file) are made under TMPDIR (/tmp) and removed afterwards.
# Every run unpacks into a folder of its own, and the small files stay until the end: an ext4 without
# a journal skips the inodes of files deleted in the last half minute when it makes new ones, so a
# run that followed the removal of 5,000 files would mostly time that search (0.2 s or 2.5 s for the
# same run), not the unpacking.
# Prints the wall and CPU time of every round, and the median and the best of each tool.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-3}
driver=$(realpath "$build/bench/zip_extract_all")
[ -x "$driver" ] || { echo "build $build first (target zip_extract_all)" >&2; exit 1; }
earlier=${3:+$(realpath "$3")}
tools="vymera unzip bsdtar${earlier:+ earlier}"

# TMPDIR picks the file system (a tmpfs such as /dev/shm takes the disk out of the figures).
work=$(mktemp -d "${TMPDIR:-/tmp}/vymera-zipbench-XXXXXX")
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

echo "making archives in $work ..."
mkdir -p "$work/small"
# Text files of 200 to 6,000 bytes made of a fixed vocabulary, in 50 folders.
awk -v root="$work/small" 'BEGIN {
  srand(7)
  for (w = 0; w < 2000; ++w) {
    n = 2 + int(rand() * 8); word = ""
    for (c = 0; c < n; ++c) word = word substr("abcdefghijklmnopqrstuvwxyz", 1 + int(rand() * 26), 1)
    words[w] = word
  }
  for (i = 0; i < 5000; ++i) {
    folder = sprintf("%s/d%02d", root, i % 50)
    if (i < 50) system("mkdir -p " folder)
    size = 200 + int(rand() * 5800); text = ""
    while (length(text) < size) text = text words[int(rand() * 2000)] (rand() < 0.9 ? " " : "\n")
    file = sprintf("%s/f%04d.txt", folder, i)
    printf "%s", text > file
    close(file)
  }
}'
(cd "$work/small" && zip -q -r "$work/small.zip" .)
# Kept, not deleted, for the reason above.
mv "$work/small" "$work/source-small"
mkdir -p "$work/large"
# Base64 text of random bytes: it deflates to about three quarters, so inflate does real work.
# The last head closes the pipe early on purpose.
(set +o pipefail; head -c 225M /dev/urandom | base64 -w 76 | head -c 300M) > "$work/large/big.bin"
(cd "$work/large" && zip -q "$work/large.zip" big.bin)
rm -rf "$work/large"
ls -l "$work"/*.zip

# time_one OUT ARCHIVE COMMAND...: unpacks into the new folder OUT and prints the wall time and the
# CPU time (user and system) in seconds. On a busy machine the CPU time is the steadier figure.
time_one() {
  local out=$1
  mkdir "$out"
  sync
  local start end cpu
  start=$(date +%s.%N)
  # `times` in the subshell: its children's user and system time, as "0m0.890s 0m0.150s".
  cpu=$( (cd "$out" && "${@:3}" >/dev/null; times) | awk 'NR == 2 {
    split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%.3f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }')
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" -v c="$cpu" 'BEGIN { printf "%.3f %s\n", b - a, c }'
}

declare -A best all cpus
for archive in small large; do
  for round in $(seq "$rounds"); do
    for tool in $tools; do
      out="$work/out-$archive-$tool-$round"
      case $tool in
        vymera) read -r t c < <(time_one "$out" "$archive" "$driver" "$work/$archive.zip") ;;
        earlier) read -r t c < <(time_one "$out" "$archive" "$earlier" "$work/$archive.zip") ;;
        unzip)  read -r t c < <(time_one "$out" "$archive" unzip -o -q "$work/$archive.zip") ;;
        bsdtar) read -r t c < <(time_one "$out" "$archive" bsdtar -xf "$work/$archive.zip") ;;
      esac
      # One large file costs nothing to delete, and 300 MB a run would fill the disk.
      [ "$archive" = small ] || rm -rf "$out"
      printf '%-6s %-7s round %d: %6.3f s, CPU %6.3f s\n' "$archive" "$tool" "$round" "$t" "$c"
      key="$archive/$tool"
      all[$key]="${all[$key]:-} $t"
      cpus[$key]="${cpus[$key]:-} $c"
      if [ -z "${best[$key]:-}" ] || awk -v t="$t" -v b="${best[$key]}" 'BEGIN { exit !(t < b) }'; then
        best[$key]=$t
      fi
    done
  done
done
# median WORDS...: the middle one of the numbers (the lower middle of an even count).
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
declare -A mid midcpu
for key in "${!all[@]}"; do
  # shellcheck disable=SC2086
  mid[$key]=$(median ${all[$key]})
  # shellcheck disable=SC2086
  midcpu[$key]=$(median ${cpus[$key]})
done
# table NAME: the figures in the array NAME for each tool, and the ratios against unzip and bsdtar.
table() {
  local -n figure=$1
  printf '%-8s' archive; for tool in $tools; do printf ' %8s' "$tool"; done; printf '  vymera/unzip vymera/bsdtar\n'
  for archive in small large; do
    printf '%-8s' "$archive"
    for tool in $tools; do printf ' %8.3f' "${figure[$archive/$tool]}"; done
    awk -v v="${figure[$archive/vymera]}" -v u="${figure[$archive/unzip]}" -v b="${figure[$archive/bsdtar]}" \
      'BEGIN { printf "  %11.2fx %12.2fx\n", v / u, v / b }'
  done
}
echo
echo "median of $rounds rounds (wall seconds):"
table mid
echo "best of $rounds rounds (wall seconds):"
table best
echo "median of $rounds rounds (CPU seconds, user and system):"
table midcpu
