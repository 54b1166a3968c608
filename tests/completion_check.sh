#!/usr/bin/env bash
# The completions made from completion/options: bash offers every long option of --help, each
# zone that Python's zoneinfo finds in the database, and the values of an option, a comma list
# included, none twice in a list; fish offers the same; zsh reads its file.
# Usage: completion_check.sh RONDELO BASH_COMPLETION ZSH_COMPLETION FISH_COMPLETION
set -u
rondelo=$1 bash_completion=$2 zsh_completion=$3 fish_completion=$4 failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

# What bash offers for the words given, the last being the one completed.
offered() {
  bash -c 'source "$0"; compopt() { :; }
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _rondelo; printf "%s\n" "${COMPREPLY[@]}"' \
    "$bash_completion" rondelo "$@" | sort
}

options=$("$rondelo" --help | grep -oE -- '--[a-z-]+' | sort -u)
missing=$(comm -23 <(echo "$options") <(offered -- | sed 's/=$//'))
[ -z "$missing" ] || fail "bash does not offer $missing"

zones=$(python3 -c 'import zoneinfo; print("\n".join(sorted(zoneinfo.available_timezones() - {"localtime"})))')
[ "$(offered --zone = '')" = "$(echo "$zones" | sort)" ] || fail "bash offers other zones than zoneinfo's"
[ "$(offered --format '')" = "$(printf 'csv\nhtml\nics\njson\nsvg\ntext')" ] || fail "bash offers other formats"
[ "$(offered --units = weeks,d)" = weeks,days ] || fail "bash does not complete a comma list"
[ "$(offered --units = days,)" = "$(printf 'days,%s\n' hours minutes months seconds weeks years)" ] ||
  fail "bash offers a unit of the list again, or not the others"

if command -v fish >/dev/null; then
  fish_offers() { fish -N -c 'source $argv[1]; complete -C $argv[2]' "$fish_completion" "$1" | cut -f1; }
  [ "$(fish_offers 'rondelo -z Asia/Kuala')" = Asia/Kuala_Lumpur ] || fail "fish does not complete a zone"
  [ "$(fish_offers 'rondelo --series=round,fib')" = --series=round,fibonacci ] ||
    fail "fish does not complete a comma list"
  fish_offers 'rondelo --series=round,' | grep -qx -- --series=round,round &&
    fail "fish offers a family of the list again"
fi
if command -v zsh >/dev/null; then
  zsh -n "$zsh_completion" || fail "zsh cannot read its completion"
fi

echo "$failures failures"
exit $((failures > 0))
