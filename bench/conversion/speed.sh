#!/usr/bin/env bash
# Times orvane-cli's conversion against sox doing the same work, and checks the ratio of their
# medians against the targets:
#   convert of a 60 s 44,100 Hz stereo 16-bit file to 22,050 Hz  <= 1.0 x  sox IN -r 22050 OUT
#   create --convert of 200 files of 5 s 44,100 Hz stereo float  <= 0.5 x  a loop of sox
#                                   converting each to 22,050 Hz 16-bit, then a plain create
# Both sides of a pair run alternately (A B A B ...) after one untimed round, so that a busy
# machine slows both alike. Exit status 0 when both targets are met, 1 when one is missed, 2 on
# a usage error.
set -euo pipefail
export LC_ALL=C  # a decimal point in awk

usage() {
  cat <<EOF
usage: bench/conversion/speed.sh --cli PATH [--runs N] [--work DIR]
  --cli PATH   the orvane-cli to time
  --runs N     timed runs of each side (default 11)
  --work DIR   where a fresh folder for the data goes, removed at the end
               (default /dev/shm when present, else \${TMPDIR:-/tmp}; about 700 MB)
EOF
}

# shellcheck source=bench/side-by-side.sh
source "$(dirname "$0")/../side-by-side.sh"

cli=""
runs=11
work=$(default_work)
parse_options usage --cli=cli --runs=runs --work=work -- "$@"
[ -n "$cli" ] || { echo "speed.sh: --cli is required" >&2; usage >&2; exit 2; }
[ -x "$cli" ] || { echo "speed.sh: $cli is not an executable" >&2; exit 2; }
require_runs
require_tool sox
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
make_work_dir "$work" speed

# --- data -------------------------------------------------------------------------------------
long=$work_dir/long.wav
floats=$work_dir/floats      # the 200 float files that create --convert reads
converted=$work_dir/converted  # what the sox loop writes, packed by a plain create
echo "== data in $work_dir"
# A tone pair under pink noise: the resampler sees energy across the whole band.
show_and_run "sox -n -r 44100 -b 16 -c 2 $(q "$long") synth 60 sine 440 sine 660 synth 60 pinknoise mix vol 0.5"
mkdir "$floats"
show_and_run "sox -n -r 44100 -e floating-point -b 32 -c 2 $(q "$floats/1_a.wav") synth 5 sine 440 sine 660 synth 5 pinknoise mix vol 0.5"
for ((n = 2; n <= 200; n++)); do cp "$floats/1_a.wav" "$floats/${n}_a.wav"; done
echo "  (copied to 2_a.wav ... 200_a.wav)"

# --- timing -----------------------------------------------------------------------------------
errors=$work_dir/errors      # what the timed commands say on stderr, shown when one fails

# same_size A B SLACK: a side that wrote another format (or less) would look fast, so the last
# outputs of both sides must have the same size, give or take SLACK bytes of frames.
same_size() {
  local size_a size_b
  size_a=$(stat -c %s "$1") size_b=$(stat -c %s "$2")
  (( size_a - size_b <= $3 && size_b - size_a <= $3 )) ||
    { echo "speed.sh: $1 has $size_a bytes, $2 has $size_b" >&2; failed=1; }
}

frame_slack=$(( 2 * 4 ))  # two frames of 16-bit stereo a sound, as in quality.py

ours=$work_dir/ours.wav theirs=$work_dir/sox.wav
compare "convert 60 s stereo" 1.0 \
  "rm -f $(q "$ours")" "$(q "$cli") convert $(q "$long") $(q "$ours") --rate 22050 > /dev/null 2> $(q "$errors")" \
  "rm -f $(q "$theirs")" "sox $(q "$long") -r 22050 $(q "$theirs") 2> $(q "$errors")"
same_size "$ours" "$theirs" "$frame_slack"

ours=$work_dir/ours.sdt theirs=$work_dir/sox.sdt
sox_loop="for f in $(q "$floats")/*.wav; do sox \"\$f\" -r 22050 -b 16 $(q "$converted")/\"\${f##*/}\"; done 2> $(q "$errors")"
compare "create 200 float files" 0.5 \
  "rm -f $(q "$ours")" \
  "$(q "$cli") create $(q "$ours") --input $(q "$floats") --convert > /dev/null 2> $(q "$errors")" \
  "rm -rf $(q "$theirs") $(q "$converted") && mkdir $(q "$converted")" \
  "$sox_loop && $(q "$cli") create $(q "$theirs") --input $(q "$converted") > /dev/null 2> $(q "$errors")"
same_size "$ours" "$theirs" $(( 200 * frame_slack ))

# --- report -----------------------------------------------------------------------------------
echo
echo "orvane-cli: $cli"
echo "machine: $(machine_load); medians of $runs runs"
print_rows 24
finish
