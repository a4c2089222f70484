#!/usr/bin/env bash
# The completion the build wrote: bash completes commands, options, the values --format takes
# and banks where a BANK goes, counting positions past options and their values; zsh and fish
# accept their scripts.
#   completion.sh COMPLETION_DIR        (holding bash/orvane-cli, zsh/_orvane-cli, fish/...)
set -uo pipefail
dir=$(cd "$1" && pwd) || exit 1
failures=0

# shellcheck source=/dev/null
source "$dir/bash/orvane-cli" || exit 1
complete -p orvane-cli | grep -q -- '-F _orvane_cli' || { echo "complete -p: no function" >&2; exit 1; }

work=$(mktemp -d) && cd "$work" || exit 1
trap 'rm -rf "$work"' EXIT
touch a.sdt B.SDT c.wav
mkdir sub

# expect "WORDS OF THE LINE" "WHAT TAB OFFERS": the line ends with the word being completed.
expect() {
  read -ra COMP_WORDS <<<"$1"
  [[ $1 == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _orvane_cli
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  if [ "$got" != "$2" ]; then
    echo "'$1<TAB>' gave '$got', not '$2'" >&2
    failures=$((failures + 1))
  fi
}
expect 'orvane-cli li' 'list'
expect 'orvane-cli list --format ' 'csv json table'
expect 'orvane-cli list --format = j' 'json'
expect 'orvane-cli list ' 'B.SDT a.sdt sub'
expect 'orvane-cli replace --output new.sdt a.sdt 3 ' 'B.SDT a.sdt c.wav sub'
expect 'orvane-cli replace a.sdt --from ' 'sub'
expect 'orvane-cli export a.sdt 1 2 ' ''
expect 'orvane-cli list a.sdt --f' '--format'

if command -v zsh >/dev/null; then zsh -n "$dir/zsh/_orvane-cli" || failures=$((failures + 1)); fi
if command -v fish >/dev/null; then fish -n "$dir/fish/orvane-cli.fish" || failures=$((failures + 1)); fi
[ "$failures" -eq 0 ] || exit 1
echo "bash completes orvane-cli"
