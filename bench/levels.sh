#!/usr/bin/env bash
# Times measuring every sound of a bank against ffmpeg's ebur128 filter over the same samples,
# and checks the ratio of their medians against the target, on a bank of 5,000 sounds of
# 22,050 Hz 16-bit mono (200 MB) and one WAVE file of all its samples back to back:
#   orvane-cli levels BANK --format csv   <= 0.7 x  ffmpeg -i ALL.wav -filter_complex ebur128
# Both sides run alternately (A B A B ...) after one untimed round, so that a busy machine
# slows both alike. Exit status 0 when the target is met, 1 when it is missed, 2 on a usage
# error.
set -euo pipefail
export LC_ALL=C  # a decimal point in awk, and numbers sorted as numbers

# shellcheck disable=SC2317  # called by parse_options
usage() { bench_usage bench/levels.sh "the bank, its sounds and their join" "600 MB"; }

# shellcheck source=bench/side-by-side.sh
source "$(dirname "$0")/side-by-side.sh"

build_options usage "$@"
require_cli_and_bank_maker
require_tool sox
require_tool ffmpeg
make_work_dir "$work" levels

# --- data -------------------------------------------------------------------------------------
bank=$work_dir/bank.sdt
exported=$work_dir/exported  # 0_snd00000.wav ... 4999_snd04999.wav
all=$work_dir/all.wav        # their samples in the bank's order
echo "== data in $work_dir"
# 5,000 x (40 + 40,000) bytes and the table: 200 MB.
show_and_run "$(q "$make_bank") $(q "$bank") --sounds 5000 --size 40000"
show_and_run "$(q "$cli") export $(q "$bank") --output $(q "$exported") > /dev/null"
mapfile -t sounds < <(printf '%s\n' "$exported"/*.wav | sed 's|.*/||' | sort -n)
echo "  \$ (cd $(q "$exported") && sox 0_snd00000.wav ... 499_snd00499.wav part0.wav && ... &&"
echo "     sox part0.wav ... part9.wav $(q "$all"))"
# 500 files a sox, which opens all of its inputs at once.
for ((part = 0; part < 10; part++)); do
  (cd "$exported" && sox "${sounds[@]:part * 500:500}" "part$part.wav")
done
(cd "$exported" && sox part{0..9}.wav "$all")
rm -rf "$exported"

# --- timing -----------------------------------------------------------------------------------
errors=$work_dir/errors  # what the timed commands say on stderr, shown when one fails
csv=$work_dir/levels.csv
compare "levels of 5,000 sounds" 0.7 \
  : "$(q "$cli") levels $(q "$bank") --format csv > $(q "$csv") 2> $(q "$errors")" \
  : "ffmpeg -nostats -i $(q "$all") -filter_complex ebur128 -f null - 2> $(q "$errors")"

# A side that measured less would look fast: levels lists every sound with a loudness, the
# joined file lasts as long as the bank's sounds, and ffmpeg, which ran last, gave a summary.
measured=$(awk -F, 'NR > 1 && $5 ~ /^-?[0-9]+\.[0-9]$/' "$csv" | wc -l)
[ "$measured" -eq 5000 ] || { echo "levels.sh: levels measured $measured sounds, not 5000" >&2; failed=1; }
duration=$(sox --i -D "$all")
awk -v d="$duration" 'BEGIN { exit !(d > 4535 && d < 4536) }' ||
  { echo "levels.sh: $all lasts $duration s, not the bank's 4,535.1" >&2; failed=1; }
grep -q '^ *I: *-[0-9.]* LUFS' "$errors" || { echo "levels.sh: ffmpeg gave no loudness" >&2; failed=1; }

# --- report -----------------------------------------------------------------------------------
echo
echo "programs: $build_dir; $(ffmpeg -version | head -n 1)"
echo "machine: $(machine_load); medians of $runs runs"
print_rows 26
finish
