#!/usr/bin/env bash
# Runs every row of a command-line table against the programs of one build directory and names
# each row that fails. The row format is described at the top of classic.table.
# Usage: run_table.sh TABLE BUILD_DIR
set -u
table=$1 bin=$2 here=$(cd "$(dirname "$1")" && pwd) tmp=$(mktemp -d) failures=0
trap 'rm -rf "$tmp"' EXIT
export TZ=UTC LC_ALL=C RONDELO_CONFIG=  # a row's env overrides these

fail() { echo "FAIL $name: $1"; failures=$((failures + 1)); }

# The text a field stands for, with a dot that keeps its final newlines through $( ).
text() { if [[ $1 == @* ]]; then cat "$here/${1:1}"; else printf %b "$1"; fi; echo .; }

# check STREAM FILE FIELD: a field led by ~ is a glob pattern, any other the exact text.
check() {
  local got want
  got=$(cat "$2"; echo .) want=$(text "${3#\~}")
  # shellcheck disable=SC2053  # the unquoted side is the pattern
  if [[ $3 == \~* ]]; then [[ $got == $want ]]; else [[ $got == "$want" ]]; fi && return
  fail "$1 differs"
  diff <(printf %s "${want%.}") "$2" | head -n 20
}

# The words of a field as xargs(1) splits them; the blank keeps a last '' from being dropped.
words() { printf '%s ' "$1" | xargs -r printf '%s\0'; }
run() { (cd "$bin" && exec env "${vars[@]}" "${argv[@]}") <"$tmp/in" 2>"$tmp/err"; }

while IFS='|' read -r name env command status out err input; do
  if [[ -n $input ]]; then t=$(text "$input"); printf %s "${t%.}" >"$tmp/in"; else : >"$tmp/in"; fi
  mapfile -d '' -t vars < <(words "$env")
  mapfile -d '' -t argv < <(words "$command")
  # A program of the build directory, and argv[0] as the echo shows it; an absolute path (such
  # as /bin/sh -c '... ./rondelo ...' for input a row cannot spell) runs as it is.
  [[ ${argv[0]} == /* ]] || argv[0]=./${argv[0]}
  target=$tmp/out
  [[ $out == '>'* ]] && target=${out:1}
  if [[ $target == '&-' ]]; then run >&-; else run >"$target"; fi
  code=$?
  [[ $code == "$status" ]] || fail "status $code, expected $status"
  [[ $out == '>'* ]] || check stdout "$tmp/out" "$out"
  check stderr "$tmp/err" "$err"
done < <(sed -E 's/[[:space:]]*\|[[:space:]]*/|/g; s/^[[:space:]]+|[[:space:]]+$//g' "$table" |
  grep -vE '^(#|$)')

echo "$failures failures"
exit $((failures > 0))
