# shellcheck shell=bash disable=SC2154,SC2034  # `runs` comes from the sourcing script, which reads `rows` and `failed`
# Timing two commands side by side, for the benchmark scripts that source this file: each
# pair runs alternately (A B A B ...) after one untimed round, so that a busy machine slows both
# alike, and the ratio of the medians is checked against a target. The sourcing script sets
# `runs`; it may set `errors` to a file whose end is shown when a timed command fails.

elapsed_us=0
# Runs a command line once and leaves its wall time, in microseconds, in elapsed_us.
time_once() {
  local start end
  start=$EPOCHREALTIME
  if ! eval "$1"; then
    echo "${0##*/}: failed: $1" >&2
    [ -z "${errors:-}" ] || tail -n 5 "$errors" >&2
    exit 1
  fi
  end=$EPOCHREALTIME
  elapsed_us=$(( ${end//[!0-9]/} - ${start//[!0-9]/} ))
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ms() { awk -v us="$1" 'BEGIN { printf "%.1f", us / 1000 }'; }

rows=()
failed=0

# compare NAME TARGET PREPARE_A A PREPARE_B B: untimed preparation before every run of a side.
compare() {
  local name=$1 target=$2 prep_a=$3 cmd_a=$4 prep_b=$5 cmd_b=$6
  local -a times_a=() times_b=()
  echo "== $name: $runs runs of each side, alternately, after one untimed round"
  echo "  A: $cmd_a"
  echo "  B: $cmd_b"
  [ "$prep_a" = : ] || echo "  before each run of A (not timed): $prep_a"
  [ "$prep_b" = : ] || echo "  before each run of B (not timed): $prep_b"
  local i
  for ((i = 0; i <= runs; i++)); do
    eval "$prep_a"; time_once "$cmd_a"; ((i == 0)) || times_a+=("$elapsed_us")
    eval "$prep_b"; time_once "$cmd_b"; ((i == 0)) || times_b+=("$elapsed_us")
  done
  local med_a med_b ratio verdict
  med_a=$(median "${times_a[@]}")
  med_b=$(median "${times_b[@]}")
  ratio=$(awk -v a="$med_a" -v b="$med_b" 'BEGIN { printf "%.2f", a / b }')
  if awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r <= t) }'; then verdict=PASS; else verdict=FAIL; failed=1; fi
  echo "  A ms: $(for t in "${times_a[@]}"; do printf '%s ' "$(ms "$t")"; done)"
  echo "  B ms: $(for t in "${times_b[@]}"; do printf '%s ' "$(ms "$t")"; done)"
  rows+=("$name|$(ms "$med_a")|$(ms "$med_b")|$ratio|<= $target|$verdict")
}
