#!/usr/bin/env bash
# Times replacing 100 sounds of a bank from a folder against sox doing the conversions and dd
# copying the bank, and checks the ratio of their medians against the target, on a bank of
# 5,000 sounds of 22,050 Hz 16-bit mono (200 MB) and 100 FLAC files of 10 s 44,100 Hz stereo:
#   orvane-cli replace BANK --from DIR --output NEW   <= 0.6 x  a loop of sox converting each
#                                   file to 22,050 Hz 16-bit mono WAVE, then dd of the bank
# Both sides run alternately (A B A B ...) after one untimed round, so that a busy machine
# slows both alike. Exit status 0 when the target is met, 1 when it is missed, 2 on a usage
# error.
set -euo pipefail
export LC_ALL=C  # a decimal point in awk

# shellcheck disable=SC2317  # called by parse_options
usage() { bench_usage bench/replace-from.sh "the bank, the files and what is written beside them" "900 MB"; }

# shellcheck source=bench/side-by-side.sh
source "$(dirname "$0")/side-by-side.sh"

build_options usage "$@"
require_cli_and_bank_maker
require_tool sox
require_tool dd
make_work_dir "$work" replace-from

# --- data -------------------------------------------------------------------------------------
bank=$work_dir/bank.sdt
files=$work_dir/files          # 0_a.flac, 50_a.flac, ... 4950_a.flac
converted=$work_dir/converted  # what the sox loop writes
echo "== data in $work_dir"
# 5,000 x (40 + 40,000) bytes and the table: 200 MB.
show_and_run "$(q "$make_bank") $(q "$bank") --sounds 5000 --size 40000"
mkdir "$files"
# A tone pair under pink noise: the resampler sees energy across the whole band.
show_and_run "sox -n -r 44100 -b 16 -c 2 $(q "$files/0_a.flac") synth 10 sine 440 sine 660 synth 10 pinknoise mix vol 0.5"
for ((n = 50; n < 5000; n += 50)); do cp "$files/0_a.flac" "$files/${n}_a.flac"; done
echo "  (copied to 50_a.flac, 100_a.flac ... 4950_a.flac)"

# --- timing -----------------------------------------------------------------------------------
errors=$work_dir/errors  # what the timed commands say on stderr, shown when one fails

ours=$work_dir/ours.sdt copy=$work_dir/copy.sdt
sox_loop="for f in $(q "$files")/*.flac; do n=\${f##*/}; sox \"\$f\" -r 22050 -b 16 -c 1 $(q "$converted")/\"\${n%.flac}.wav\"; done 2> $(q "$errors")"
compare "replace --from 100 FLAC" 0.6 \
  "rm -f $(q "$ours")" \
  "$(q "$cli") replace $(q "$bank") --from $(q "$files") --output $(q "$ours") > /dev/null 2> $(q "$errors")" \
  "rm -rf $(q "$copy") $(q "$converted") && mkdir $(q "$converted")" \
  "$sox_loop && dd if=$(q "$bank") of=$(q "$copy") bs=1M conv=fsync status=none"

# A side that wrote less would look fast: the new bank must be whole, with 100 sounds of 10 s
# at 22,050 Hz 16-bit mono (give or take two frames each) in place of 40,000 bytes.
"$cli" check "$ours" > /dev/null 2> "$errors" || { echo "replace-from.sh: $ours is not a sound bank" >&2; failed=1; }
expected=$(( $(stat -c %s "$bank") + 100 * (10 * 22050 * 2 - 40000) ))
size=$(stat -c %s "$ours")
(( size - expected <= 100 * 4 && expected - size <= 100 * 4 )) ||
  { echo "replace-from.sh: $ours has $size bytes, not about $expected" >&2; failed=1; }
count=$(find "$converted" -name '*.wav' | wc -l)
[ "$count" -eq 100 ] || { echo "replace-from.sh: sox wrote $count files, not 100" >&2; failed=1; }

# --- report -----------------------------------------------------------------------------------
echo
echo "programs: $build_dir"
echo "machine: $(machine_load); medians of $runs runs"
print_rows 26
finish
