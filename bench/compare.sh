#!/usr/bin/env bash
# Times orvane-cli against the plain tools that move the same bytes (cat, tar) on a generated
# bank, and checks the ratio of their medians against the targets:
#   list --format csv BANK           <= 2.5 x  cat BANK
#   export BANK into an empty folder <= 1.3 x  tar -xf of a tar of the same WAVE files
#   create BANK from that folder     <= 1.5 x  cat of all those files into one file
#   peak resident memory of create   <= 64 MB + 2 x the largest input file, whatever the
#                                       number of files (--rss-files checks many small ones)
# Both sides of a pair run alternately (A B A B ...) after one untimed round, with a warm page
# cache, so that a busy machine slows both alike. Exit status 0 when every target is met, 1
# when one is missed, 2 on a usage error.
set -euo pipefail
export LC_ALL=C  # a decimal point in $EPOCHREALTIME and in awk

root=$(cd "$(dirname "$0")/.." && pwd)

# shellcheck disable=SC2317  # called by parse_options
usage() {
  cat <<EOF
usage: bench/compare.sh [options]
  --sounds N        sounds in the generated bank (default 5000)
  --size BYTES      sample bytes per sound, even (default 40960)
  --runs K          timed runs of each side (default 7; at least 5 for a verdict)
  --build-dir DIR   use the programs built in DIR and rebuild them there
                    (default: build the "default" preset with scripts/build and use build/default)
  --no-build        use the programs already built
  --work-dir DIR    where the data goes (default: a fresh folder under \${TMPDIR:-/tmp},
                    removed at the end; the export runs need about 2 x (K + 1) times
                    the bank's size there)
  --rss-files N     also check the memory of create on N WAVE files of 2 samples each
                    (default 0: skipped; at 200000 it takes a minute and leaves the file
                    system slow to create files for a minute after)
  --keep            keep the work folder
On a tmpfs (--work-dir /dev/shm/NAME) the file-system work is smallest, so the figures are
the steadiest and the ratios the strictest.
EOF
}

# shellcheck source=bench/side-by-side.sh
source "$(dirname "$0")/side-by-side.sh"

sounds=5000
size=40960
runs=7
build_dir=""
build=1
work_dir=""
rss_files=0
keep=0
parse_options usage --sounds=sounds --size=size --runs=runs --build-dir=build_dir \
  --work-dir=work_dir --rss-files=rss_files --no-build=build=0 --keep=keep=1 -- "$@"
for pair in "sounds:$sounds" "size:$size" "runs:$runs" "rss-files:$rss_files"; do
  [[ ${pair#*:} =~ ^[0-9]+$ ]] || { echo "compare.sh: --${pair%%:*} takes a whole number" >&2; exit 2; }
done
[ "$runs" -ge 1 ] || { echo "compare.sh: --runs must be at least 1" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "compare.sh: /usr/bin/time is missing (Debian package: time)" >&2; exit 2; }

# --- programs -------------------------------------------------------------------------------
if [ -z "$build_dir" ]; then
  build_dir=$root/build/default
  [ "$build" -eq 1 ] && "$root/scripts/build" default
elif [ "$build" -eq 1 ]; then
  cmake --build "$build_dir" --target orvane-cli orvane-make-bench-bank
fi
build_dir=$(cd "$build_dir" && pwd)
cli=$build_dir/bin/orvane-cli
make_bank=$build_dir/bin/orvane-make-bench-bank
require_built "$cli" "$make_bank"

# --- data -------------------------------------------------------------------------------------
if [ -z "$work_dir" ]; then
  work_dir=$(mktemp -d "${TMPDIR:-/tmp}/orvane-bench.XXXXXX")
else
  mkdir -p "$work_dir"
fi
work_dir=$(cd "$work_dir" && pwd)
[ "$keep" -eq 1 ] || trap 'rm -rf "$work_dir"' EXIT

bank=$work_dir/bench.sdt
wavs=$work_dir/sounds        # the exported WAVE files: what tar holds and create reads
tarball=$work_dir/sounds.tar
wav_list=$work_dir/sounds.list
out=$work_dir/out            # a fresh folder for every export and tar run
created=$work_dir/created.sdt
joined=$work_dir/joined.bin

# make_sounds BANK FOLDER COUNT SIZE: a generated bank and its sounds exported into FOLDER.
make_sounds() {
  show_and_run "$(q "$make_bank") $(q "$1") --sounds $3 --size $4"
  show_and_run "rm -rf $(q "$2") && $(q "$cli") export $(q "$1") --output $(q "$2") > /dev/null"
  local count
  count=$(find "$2" -name '*.wav' | wc -l)
  [ "$count" -eq "$3" ] || { echo "compare.sh: export wrote $count WAVE files for $3 sounds" >&2; exit 1; }
}

largest_file() { find "$1" -name '*.wav' -printf '%s\n' | sort -n | tail -n 1; }

echo "== data: $sounds sounds of $size bytes in $work_dir"
make_sounds "$bank" "$wavs" "$sounds" "$size"
show_and_run "tar -cf $(q "$tarball") -C $(q "$wavs") ."
show_and_run "find $(q "$wavs") -name '*.wav' -print0 > $(q "$wav_list")"
echo "  bank $(stat -c %s "$bank") bytes; WAVE files up to $(largest_file "$wavs") bytes;" \
  "tar $(stat -c %s "$tarball") bytes"

echo "== warming the page cache"
show_and_run "cat $(q "$bank") $(q "$tarball") > /dev/null && xargs -0 -a $(q "$wav_list") cat > /dev/null"

# --- timing -----------------------------------------------------------------------------------
compare "list csv vs cat" 2.5 \
  : "$(q "$cli") list --format csv $(q "$bank") > /dev/null" \
  : "cat $(q "$bank") > /dev/null"

# Every export and tar run writes into a new empty folder, and none is removed before the end:
# on ext4 without a journal, creating files within a minute of deleting thousands in the same
# block group makes each creation scan the inode table for recently deleted inodes, which
# would add a second of file-system work to both sides and hide the difference between them.
# `sync` keeps the writeback of one run out of the next. For the same reason, leave a minute
# between two runs of this script: the first one deletes its files at the end.
rm -rf "$out" && mkdir -p "$out"
needed_kb=$(( (runs + 1) * 2 * $(du -sk "$wavs" | cut -f1) ))
free_kb=$(df -Pk "$work_dir" | awk 'NR == 2 { print $4 }')
[ "$free_kb" -gt "$needed_kb" ] ||
  { echo "compare.sh: the export runs need $((needed_kb / 1024)) MiB in $work_dir," \
      "$((free_kb / 1024)) MiB are free" >&2; exit 1; }
# shellcheck disable=SC2034  # counted in the preparation command, which runs through eval
fresh_count=0
fresh_out="fresh=$(q "$out")/\$((++fresh_count)) && mkdir \"\$fresh\" && sync"
compare "export vs tar -xf" 1.3 \
  "$fresh_out" "$(q "$cli") export $(q "$bank") --output \"\$fresh\" > /dev/null" \
  "$fresh_out" "tar -xf $(q "$tarball") -C \"\$fresh\""
compare "create vs cat files" 1.5 \
  "rm -f $(q "$created") && sync" "$(q "$cli") create $(q "$created") --input $(q "$wavs") > /dev/null" \
  "rm -f $(q "$joined") && sync" "xargs -0 -a $(q "$wav_list") cat > $(q "$joined")"

rss_lines=()
# check_create_memory BANK FOLDER: packs FOLDER under /usr/bin/time and checks its peak RSS.
check_create_memory() {
  local original=$1 folder=$2 packed=$work_dir/packed.sdt rss_file=$work_dir/create.rss
  local count largest rss_kb limit_kb verdict
  count=$(find "$folder" -name '*.wav' | wc -l)
  largest=$(largest_file "$folder")
  rm -f "$packed"
  local create_cmd
  create_cmd="$(q "$cli") create $(q "$packed") --input $(q "$folder") > /dev/null"
  show_and_run "/usr/bin/time -f %M -o $(q "$rss_file") $create_cmd"
  rss_kb=$(tail -n 1 "$rss_file")
  # The files came from the bank and carry every field of it, so packing them again must give
  # it back byte for byte: a check that create did all of its work.
  cmp -s "$original" "$packed" ||
    { echo "compare.sh: the bank packed from $folder differs from $original" >&2; failed=1; }
  rm -f "$packed"
  limit_kb=$(( 64 * 1024 + 2 * largest / 1024 ))
  if [ "$rss_kb" -le "$limit_kb" ]; then verdict=PASS; else verdict=FAIL; failed=1; fi
  rss_lines+=("peak RSS of create, $count files: $rss_kb KiB; limit 64 MiB + 2 x $largest bytes = $limit_kb KiB: $verdict")
}

echo "== peak resident memory of create"
check_create_memory "$bank" "$wavs"
if [ "$rss_files" -gt 0 ]; then
  echo "== data: $rss_files sounds of 4 bytes"
  make_sounds "$work_dir/many.sdt" "$work_dir/many" "$rss_files" 4
  check_create_memory "$work_dir/many.sdt" "$work_dir/many"
fi

# --- report -----------------------------------------------------------------------------------
echo
echo "orvane-cli: $cli"
echo "machine: $(machine_load)," \
  "transparent huge pages: $(cat /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null || echo unknown)"
echo "bank: $sounds sounds of $size bytes ($(stat -c %s "$bank") bytes); medians of $runs runs"
print_rows 20
printf '%s\n' "${rss_lines[@]}"
finish
