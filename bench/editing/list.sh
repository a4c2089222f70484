#!/usr/bin/env bash
# Times `orvane-cli list --format csv` against `cat` of the same bank, on a bank of 200 MB and
# one of 2 GB with the same 5,000 sounds, and checks the ratios of their medians:
#   list of the 200 MB bank                  <= 0.3 x  cat of it
#   list of the 2 GB bank                    <= 0.3 x  cat of it
#   list of the 2 GB bank                    <= 1.5 x  list of the 200 MB bank
# Listing reads the count, the table and the headers only, so its cost follows the number of
# sounds, not the size of the bank. Both sides of a pair run alternately (A B A B ...) after one
# untimed round, with a warm page cache. Exit status 0 when every target is met, 1 when one is
# missed, 2 on a usage error.
set -euo pipefail
export LC_ALL=C  # a decimal point in awk

# shellcheck disable=SC2317  # called by parse_options
usage() { bench_usage bench/editing/list.sh "the two banks" "2.3 GB"; }

# shellcheck source=bench/side-by-side.sh
source "$(dirname "$0")/../side-by-side.sh"

build_options usage "$@"
require_cli_and_bank_maker
make_work_dir "$work" list

# --- data -------------------------------------------------------------------------------------
sounds=5000
small=$work_dir/200mb.sdt
large=$work_dir/2gb.sdt
echo "== data in $work_dir"
show_and_run "$(q "$make_bank") $(q "$small") --sounds $sounds --size 40960"
show_and_run "$(q "$make_bank") $(q "$large") --sounds $sounds --size 409600"
for bank in "$small" "$large"; do
  # A listing that stopped short would look fast: every sound must be there.
  lines=$("$cli" list --format csv "$bank" | wc -l)
  [ "$lines" -eq $((sounds + 1)) ] ||
    { echo "list.sh: the listing of $bank has $lines lines, not $((sounds + 1))" >&2; exit 1; }
  echo "  $bank: $(stat -c %s "$bank") bytes, $sounds sounds"
done
echo "== warming the page cache"
show_and_run "cat $(q "$small") $(q "$large") > /dev/null"

# --- timing -----------------------------------------------------------------------------------
errors=$work_dir/errors  # what the timed commands say on stderr, shown when one fails

list_small="$(q "$cli") list --format csv $(q "$small") > /dev/null 2> $(q "$errors")"
list_large="$(q "$cli") list --format csv $(q "$large") > /dev/null 2> $(q "$errors")"
compare "200 MB: list vs cat" 0.3 : "$list_small" : "cat $(q "$small") > /dev/null"
compare "2 GB: list vs cat" 0.3 : "$list_large" : "cat $(q "$large") > /dev/null"
compare "list: 2 GB vs 200 MB" 1.5 : "$list_large" : "$list_small"

# --- report -----------------------------------------------------------------------------------
echo
echo "orvane-cli: $cli"
echo "machine: $(machine_load); medians of $runs runs"
print_rows 22
finish
