#!/usr/bin/env bash
# The manual page keeps up with the tool: every command of `orvane-cli --help` has a section
# (## COMMAND) with an example, and every option of `orvane-cli COMMAND --help` is in it, in
# bold. -h and --help, which every command takes, are in OPTIONS with --version.
#   man-page.sh ORVANE_CLI PAGE.scd
set -euo pipefail
cli=$1
page=$2
failures=0
fail() { echo "$page: $*" >&2; failures=$((failures + 1)); }

# The first word of each line of a help text's section ("Options:", "Subcommands:").
help_section() { awk -v want="$1" '$0 == want {on = 1; next} /^$/ {on = 0} on && /^  [^ ]/ {print $1}'; }
# The option names of a help text: "-o,--output" is -o and --output.
help_options() { help_section 'Options:' | tr ',' '\n'; }
# The text of the page's section with this heading, up to the next heading.
page_section() { awk -v want="$1" '/^#/ {on = ($0 == want); next} on' "$page"; }

top_help=$("$cli" --help)
for option in $(help_options <<<"$top_help"); do
  page_section '# OPTIONS' | grep -qF -- "*$option*" || fail "$option is not in OPTIONS"
done
commands=$(help_section 'Subcommands:' <<<"$top_help")
[ -n "$commands" ] || fail "orvane-cli --help lists no command"
for command in $commands; do
  text=$(page_section "## $command")
  [ -n "$text" ] || { fail "no section ## $command"; continue; }
  grep -q "^Example: \*orvane-cli $command " <<<"$text" || fail "## $command has no example"
  for option in $(help_options <<<"$("$cli" "$command" --help)"); do
    case $option in -h | --help) continue ;; esac
    grep -qF -- "*$option*" <<<"$text" || fail "$command $option is not in ## $command"
  done
done
[ "$failures" -eq 0 ] || { echo "the page misses $failures of the tool's commands or options" >&2; exit 1; }
echo "every command and option of $cli is in $page"
