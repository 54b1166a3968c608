#!/usr/bin/env bash
# The built rondelo as a process: standard output, standard error and exit status, byte for byte.
# Usage: process_test.sh path/to/rondelo   (run from the tests directory)
set -u
rondelo=$1
export TZ=UTC LC_ALL=C
failures=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# check NAME STATUS STDOUT STDERR ARG...: STDOUT and STDERR are exact texts, or @file for a file.
check() {
  local name=$1 status=$2 out=$3 err=$4
  shift 4
  "$rondelo" "$@" >"$tmp/out" 2>"$tmp/err"
  compare "$name" "$status" "$?" "$out" "$err"
}

compare() {
  local name=$1 status=$2 got=$3 out=$4 err=$5
  [ "$got" = "$status" ] || fail "$name" "status $got, expected $status"
  expect_text "$name" stdout "$tmp/out" "$out"
  expect_text "$name" stderr "$tmp/err" "$err"
}

expect_text() {
  local name=$1 stream=$2 file=$3 expected=$4
  if [ "${expected:0:1}" = @ ]; then
    cmp -s "$file" "${expected:1}" || fail "$name" "$stream differs from ${expected:1}"
  elif [ "$(cat "$file"; echo .)" != "$expected." ]; then
    fail "$name" "$stream was: $(head -c 400 "$file")"
  fi
}

fail() {
  echo "FAIL $1: $2"
  failures=$((failures + 1))
}

echo_of() {  # the argument echo that rondelo writes for its arguments
  local i=1
  printf 'argv[0] %s\n' "$rondelo"
  for a in "$@"; do printf 'argv[%d] %s\n' $i "$a"; i=$((i + 1)); done
}

usage_lines=$'Built with Boost 1_74\nWritten by the rondelo authors, Email: rondelo@users.noreply.github.com
Usage:\n\t$ ./rondelo YYYY MM DD TIME_ZONE\n\nTo produce a sorted output pipe to\n\t| sort -t , -k 1 -g
\nUse TIME_ZONE 0 for local time, otherwise all the dates are in UTC\n'

# Too few arguments: version and usage, named by the base name of the path.
for args in "" "2000" "2000 1 31"; do
  # shellcheck disable=SC2086
  "$rondelo" $args >"$tmp/out" 2>"$tmp/err"
  status=$?
  head -n 1 "$tmp/err" | grep -qE '^rondelo 2\.5\.46, [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4}, [0-2][0-9]:[0-5][0-9]:[0-5][0-9]$' ||
    fail "too few arguments ($args)" "version line: $(head -n 1 "$tmp/err")"
  tail -n +2 "$tmp/err" >"$tmp/err.rest"
  mv "$tmp/err.rest" "$tmp/err"
  compare "too few arguments ($args)" 2 "$status" "" "$usage_lines"
done

# Arguments that do not convert: status 3, every argument echoed, conversion before range checks.
for args in "2023 March 5 0" "2023 3 5 2147483648" "1399 x 5 0" "2023 3 - 0" "-2147483649 1 1 0"; do
  # shellcheck disable=SC2086
  check "not an integer: $args" 3 "" "$(echo_of $args)"$'\n' $args
done
check "empty time zone" 3 "" "$(echo_of 2023 3 5 '')"$'\n' 2023 3 5 ''

# Out of range: status 4.
for args in "1399 1 1 0" "10000 1 1 0" "2023 0 1 0" "2023 13 1 0" "2023 1 0 0" "2023 1 32 0" "2023 0x10 1 0"; do
  # shellcheck disable=SC2086
  check "out of range: $args" 4 "" "$(echo_of $args)"$'\n' $args
done

# Days that pass 1..31 but not their month: echo, one line naming the date, status 4.
for date in "2023 2 30 28" "2023 4 31 30" "2023 2 29 28" "1900 2 29 28"; do
  set -- $date
  check "no such date: $1-$2-$3" 4 "" "$(echo_of "$1" "$2" "$3" 0)
rondelo: $1-0$2-$3 does not exist (the month has $4 days)"$'\n' "$1" "$2" "$3" 0
done

# The full report of 31 January 2000, and what must not change it.
golden=@golden/2000-01-31.csv
check "golden report" 0 "$golden" "" 2000 1 31 0
check "extra arguments are ignored" 0 "$golden" "" 2000 1 31 0 extra --help
check "leading zeros and signs" 0 "$golden" "" ' 2000' +01 031 -7
check "trailing text after the digits" 0 "$golden" "" 2000abc 1.5 31x 0x10
for tz in -5 2147483647 -2147483648; do
  check "time zone $tz changes nothing" 0 "$golden" "" 2000 1 31 "$tz"
done
LC_ALL=de_DE.UTF-8 LANG=fr_FR.UTF-8 TZ=Asia/Tokyo "$rondelo" 2000 1 31 0 >"$tmp/out" 2>"$tmp/err"
compare "locale and TZ change nothing" 0 $? "$golden" ""

# Leap days, both ends of the calendar, and the late dates whose last lines cannot show their
# date (checked once against date(1): every renderable line, and short lines exactly from
# 253402300800 on, each with its message).
for date in 2000-02-29 1400-01-01 8631-01-17 8631-01-18 9999-12-31; do
  err=""
  [ -f "golden/$date.err" ] && err=@golden/$date.err
  check "report of $date" 0 "@golden/$date.csv" "$err" ${date//-/ } 0
done

# A report that cannot be written is a failed run.
: >"$tmp/out"
"$rondelo" 2000 1 31 0 >/dev/full 2>"$tmp/err"
compare "standard output full" 1 $? "" $'rondelo: write error: No space left on device\n'
"$rondelo" 2000 1 31 0 >&- 2>"$tmp/err"
compare "standard output closed" 1 $? "" $'rondelo: write error: Bad file descriptor\n'

[ "$failures" = 0 ] && echo "all process checks passed"
exit $((failures > 0))
