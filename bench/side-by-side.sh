# shellcheck shell=bash disable=SC2154,SC2034  # `runs` comes from the sourcing script, which reads `rows` and `failed`
# What the benchmark scripts that source this file share: their options, the checks of what
# they need, a work folder, and timing two commands side by side. Each pair runs alternately
# (A B A B ...) after one untimed round, so that a busy machine slows both alike, and the ratio
# of the medians is checked against a target. The sourcing script sets `runs`; it may set
# `errors` to a file whose end is shown when a timed command fails. Messages start with the
# script's own name.

# parse_options USAGE SPEC... -- ARG...: reads the arguments into the sourcing script's
# variables. A SPEC --name=variable is an option that takes a value; --name=variable=value a
# flag that sets the variable to the value. -h and --help print what the function USAGE
# prints; anything else is a usage error (exit status 2).
parse_options() {
  local usage=$1 spec
  local -A takes=() sets=()
  shift
  while [ "$1" != -- ]; do
    spec=${1#*=}
    if [[ $spec == *=* ]]; then sets[${1%%=*}]=$spec; else takes[${1%%=*}]=$spec; fi
    shift
  done
  shift
  while [ $# -gt 0 ]; do
    if [ -n "$1" ] && [ -n "${takes[$1]+set}" ]; then
      [ $# -ge 2 ] || { echo "${0##*/}: $1 needs a value" >&2; "$usage" >&2; exit 2; }
      printf -v "${takes[$1]}" '%s' "$2"
      shift 2
    elif [ -n "$1" ] && [ -n "${sets[$1]+set}" ]; then
      printf -v "${sets[$1]%%=*}" '%s' "${sets[$1]#*=}"
      shift
    else
      case "$1" in
        -h | --help) "$usage"; exit 0 ;;
        *) echo "${0##*/}: unknown argument '$1'" >&2; "$usage" >&2; exit 2 ;;
      esac
    fi
  done
}

# Where a work folder goes unless --work names a place: memory when there is a tmpfs.
default_work() { if [ -d /dev/shm ]; then echo /dev/shm; else echo "${TMPDIR:-/tmp}"; fi; }

require_runs() {
  [[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "${0##*/}: --runs takes a whole number >= 1" >&2; exit 2; }
}

# build_options USAGE ARG...: the options of a script that times the programs of a build
# folder: --build-dir DIR (default build/default), left absolute in build_dir; --runs N
# (default 11); --work DIR (default default_work).
build_options() {
  build_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/default
  runs=11
  work=$(default_work)
  parse_options "$1" --build-dir=build_dir --runs=runs --work=work -- "${@:2}"
  require_runs
  build_dir=$(cd "$build_dir" && pwd)
}

# bench_usage SCRIPT WHAT SIZE: the usage of a script that takes build_options' options, whose
# work folder holds WHAT and takes about SIZE.
bench_usage() {
  cat <<USAGE
usage: $1 [--build-dir DIR] [--runs N] [--work DIR]
  --build-dir DIR  where the programs it times were built
                   (default build/default; configure it with -DORVANE_BUILD_BENCH=ON)
  --runs N         timed runs of each side (default 11)
  --work DIR       where a fresh folder for $2 goes, removed at the end
                   (default /dev/shm when present, else \${TMPDIR:-/tmp}; about $3)
USAGE
}

# orvane-cli and orvane-make-bench-bank of build_dir, in cli and make_bank, are built.
require_cli_and_bank_maker() {
  cli=$build_dir/bin/orvane-cli
  make_bank=$build_dir/bin/orvane-make-bench-bank
  require_built "$cli" "$make_bank"
}

# require_built PROGRAM...: every one of them is built.
require_built() {
  local program
  for program; do
    [ -x "$program" ] || { echo "${0##*/}: $program is not built" >&2; exit 2; }
  done
}

require_tool() { command -v "$1" > /dev/null || { echo "${0##*/}: $1 is missing" >&2; exit 2; }; }

# make_work_dir PARENT NAME: a fresh folder under PARENT, named in work_dir and removed when
# the script ends.
make_work_dir() {
  work_dir=$(mktemp -d "$1/orvane-$2.XXXXXX")
  trap 'rm -rf "$work_dir"' EXIT
}

q() { printf '%q' "$1"; }

# Runs a shell command line, shown first so that a reader can repeat it.
show_and_run() {
  echo "  \$ $1"
  eval "$1"
}

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
  record "$name" "$target" times_a times_b
}

# record NAME TARGET A B: the row of the arrays named A and B, of microseconds, and whether
# the ratio of their medians meets TARGET.
record() {
  local -n a=$3 b=$4
  local med_a med_b ratio verdict
  med_a=$(median "${a[@]}")
  med_b=$(median "${b[@]}")
  ratio=$(awk -v a="$med_a" -v b="$med_b" 'BEGIN { printf "%.2f", a / b }')
  if awk -v r="$ratio" -v t="$2" 'BEGIN { exit !(r <= t) }'; then verdict=PASS; else verdict=FAIL; failed=1; fi
  echo "  A ms: $(for t in "${a[@]}"; do printf '%s ' "$(ms "$t")"; done)"
  echo "  B ms: $(for t in "${b[@]}"; do printf '%s ' "$(ms "$t")"; done)"
  rows+=("$1|$(ms "$med_a")|$(ms "$med_b")|$ratio|<= $2|$verdict")
}

# within NAME LIMIT_MS CMD: a command timed alone, $runs runs after an untimed one, whose
# median must stay within LIMIT_MS milliseconds.
within() {
  local -a times=()
  local i med verdict
  echo "== $1: $runs runs after an untimed one"
  echo "  A: $3"
  for ((i = 0; i <= runs; i++)); do
    time_once "$3"; ((i == 0)) || times+=("$elapsed_us")
  done
  med=$(median "${times[@]}")
  if awk -v m="$med" -v t="$2" 'BEGIN { exit !(m / 1000 <= t) }'; then verdict=PASS; else verdict=FAIL; failed=1; fi
  echo "  A ms: $(for t in "${times[@]}"; do printf '%s ' "$(ms "$t")"; done)"
  rows+=("$1|$(ms "$med")|-|-|<= $2 ms|$verdict")
}

machine_load() { echo "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"; }

# print_rows WIDTH: the table of the pairs compared, the names in a column WIDTH wide.
print_rows() {
  local row cells
  for row in "measurement|median A ms|median B ms|ratio A/B|target|result" "${rows[@]}"; do
    IFS='|' read -r -a cells <<<"$row"
    printf "%-${1}s %12s %12s %10s %8s  %s\n" "${cells[@]}"
  done
}

# Ends the script: 0 when every target was met, 1 when one was missed.
finish() {
  [ "$runs" -ge 5 ] || echo "(fewer than 5 runs: the verdicts are indicative only)"
  exit "$failed"
}
