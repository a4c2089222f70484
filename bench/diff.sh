#!/usr/bin/env bash
# Times comparing two banks against reading them, and checks the targets, on banks of 5,000
# sounds of 22,050 Hz 16-bit mono (200 MB each):
#   orvane-cli diff A B, 10 sounds' samples differ   <= 1.5 x  cat A B > /dev/null
#   orvane-cli diff A C, every DataSize differs      <= 50 ms  (no samples need reading)
# The pair runs alternately (A B A B ...) after one untimed round, with a warm page cache, so
# that a busy machine slows both alike. Exit status 0 when every target is met, 1 when one is
# missed, 2 on a usage error.
set -euo pipefail
export LC_ALL=C  # a decimal point in awk

# shellcheck disable=SC2317  # called by parse_options
usage() { bench_usage bench/diff.sh "the three banks" "600 MB"; }

# shellcheck source=bench/side-by-side.sh
source "$(dirname "$0")/side-by-side.sh"

build_options usage "$@"
require_cli_and_bank_maker
make_work_dir "$work" diff

# --- data -------------------------------------------------------------------------------------
a=$work_dir/a.sdt  # 5,000 x (40 + 40,000) bytes and the table: 200 MB
b=$work_dir/b.sdt  # a with the samples of sounds 0, 500, ..., 4500 inverted
c=$work_dir/c.sdt  # every sound two bytes longer than in a
echo "== data in $work_dir"
show_and_run "$(q "$make_bank") $(q "$a") --sounds 5000 --size 40000"
show_and_run "$(q "$make_bank") $(q "$b") --sounds 5000 --size 40000 --vary-every 500"
show_and_run "$(q "$make_bank") $(q "$c") --sounds 5000 --size 40002"

# --- timing -----------------------------------------------------------------------------------
errors=$work_dir/errors  # what the timed commands say on stderr, shown when one fails
ten=$work_dir/ten.csv
all=$work_dir/all.csv
# diff exits 1 when sounds differ, which is what these pairs expect.
compare "diff, 10 sounds differ" 1.5 \
  : "{ $(q "$cli") diff $(q "$a") $(q "$b") --format csv > $(q "$ten") 2> $(q "$errors") || [ \$? -eq 1 ]; }" \
  : "cat $(q "$a") $(q "$b") > /dev/null"
within "diff, every DataSize differs" 50 \
  "{ $(q "$cli") diff $(q "$a") $(q "$c") --format csv > $(q "$all") 2> $(q "$errors") || [ \$? -eq 1 ]; }"

# A side that compared less would look fast: the ten inverted sounds differ in their samples
# alone, and every sound of c differs in its DataSize and so in its samples.
expected=$(for ((i = 0; i < 5000; i += 500)); do echo "$i,changed,Samples"; done)
[ "$(tail -n +2 "$ten" | cut -d, -f1-3)" = "$expected" ] ||
  { echo "diff.sh: diff did not find exactly the ten inverted sounds" >&2; failed=1; }
[ "$(tail -n +2 "$all" | cut -d, -f3 | sort | uniq -c | awk '{ print $1, $2 }')" = "5000 DataSize;Samples" ] ||
  { echo "diff.sh: diff did not find every DataSize different" >&2; failed=1; }

# --- report -----------------------------------------------------------------------------------
echo
echo "programs: $build_dir"
echo "machine: $(machine_load); medians of $runs runs"
print_rows 30
finish
