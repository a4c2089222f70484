#!/usr/bin/env bash
# Times saving an edited bank against cp of the same file, and checks the ratio of their
# medians against the targets, on a bank of 5,000 sounds of 22,050 Hz 16-bit mono (200 MB):
#   the save alone, after one sound was replaced (orvane_bench_save)   <= 1.5 x  cp BANK COPY
#   orvane-cli replace BANK 17 FILE --output NEW (load, convert a 10 s
#                             44,100 Hz stereo 16-bit file, save)       <= 2.5 x  cp BANK COPY
# Both sides of a pair run alternately (A B A B ...) after one untimed round, so that a busy
# machine slows both alike. Exit status 0 when both targets are met, 1 when one is missed, 2 on
# a usage error.
set -euo pipefail
export LC_ALL=C  # a decimal point in awk

# shellcheck disable=SC2317  # called by parse_options
usage() { bench_usage bench/editing/save.sh "the bank and what is written beside it" "800 MB"; }

# shellcheck source=bench/side-by-side.sh
source "$(dirname "$0")/../side-by-side.sh"

build_options usage "$@"
save=$build_dir/bin/orvane_bench_save
require_cli_and_bank_maker
require_built "$save"
require_tool sox
make_work_dir "$work" save

# --- data -------------------------------------------------------------------------------------
bank=$work_dir/bank.sdt
long=$work_dir/long.wav
echo "== data in $work_dir"
# 5,000 x (40 + 40,000) bytes and the table: 200 MB.
show_and_run "$(q "$make_bank") $(q "$bank") --sounds 5000 --size 40000"
show_and_run "sox -n -r 44100 -b 16 -c 2 $(q "$long") synth 10 sine 440 sine 660 synth 10 pinknoise mix vol 0.5"

# --- timing -----------------------------------------------------------------------------------
errors=$work_dir/errors  # what the timed commands say on stderr, shown when one fails

copy=$work_dir/copy.sdt saved=$work_dir/saved.sdt replaced=$work_dir/replaced.sdt
copy_cmd="cp $(q "$bank") $(q "$copy")"

# As compare, but side A's time is the one orvane_bench_save prints for the save alone: its
# load and conversion are not part of the figure.
compare_save() {
  local name=$1 target=$2 cmd_a=$3
  local -a times_a=() times_b=()
  echo "== $name: $runs runs of each side, alternately, after one untimed round"
  echo "  A: $cmd_a (the save's own time, as it prints it)"
  echo "  B: $copy_cmd"
  echo "  before each run of each side (not timed): rm -f of its output"
  local i ms_a
  for ((i = 0; i <= runs; i++)); do
    rm -f "$saved"
    ms_a=$(eval "$cmd_a") || { echo "save.sh: failed: $cmd_a" >&2; tail -n 5 "$errors" >&2; exit 1; }
    ((i == 0)) || times_a+=("$(awk -v ms="$ms_a" 'BEGIN { printf "%d", ms * 1000 }')")
    rm -f "$copy"; time_once "$copy_cmd"; ((i == 0)) || times_b+=("$elapsed_us")
  done
  record "$name" "$target" times_a times_b
}

# A side that wrote less would look fast: its bank must be whole and as large as expected.
check_bank() {
  local size
  "$cli" check "$1" > /dev/null 2> "$errors" || { echo "save.sh: $1 is not a sound bank" >&2; failed=1; }
  size=$(stat -c %s "$1")
  [ "$size" -eq "$2" ] || { echo "save.sh: $1 has $size bytes, not $2" >&2; failed=1; }
}
bank_size=$(stat -c %s "$bank")
# Sound 17's 40,000 bytes become 10 s at 22,050 Hz 16-bit mono.
replaced_size=$(( bank_size - 40000 + 10 * 22050 * 2 ))

compare_save "save after a replace" 1.5 \
  "$(q "$save") $(q "$bank") 17 $(q "$long") $(q "$saved") 2> $(q "$errors")"
check_bank "$saved" "$replaced_size"

compare "cli replace" 2.5 \
  "rm -f $(q "$replaced")" \
  "$(q "$cli") replace $(q "$bank") 17 $(q "$long") --output $(q "$replaced") > /dev/null 2> $(q "$errors")" \
  "rm -f $(q "$copy")" "$copy_cmd"
check_bank "$replaced" "$replaced_size"

# --- report -----------------------------------------------------------------------------------
echo
echo "programs: $build_dir"
echo "machine: $(machine_load); medians of $runs runs"
print_rows 24
finish
