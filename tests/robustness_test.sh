#!/usr/bin/env bash
# Thousands of random and hostile invocations: each must end with a documented status, write
# nothing to standard output on error, and never die by a signal or a sanitizer report.
# Usage: robustness_test.sh path/to/rondelo [random runs]
set -u
rondelo=$1 runs=${2:-2000}
RANDOM=1400  # the same invocations every time
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0 count=0

run() {
  count=$((count + 1))
  "$rondelo" "$@" >"$tmp/out" 2>"$tmp/err"
  local status=$? problem=""
  case $status in
    0) awk -F, 'NF < 3 || NF > 4 { bad = 1 } END { exit bad || NR < 127 || NR > 134 }' "$tmp/out" ||
         problem="malformed report" ;;
    2 | 3 | 4) [ -s "$tmp/out" ] && problem="standard output on error" ;;
    *) problem="status $status" ;;
  esac
  grep -qE 'Sanitizer|runtime error' "$tmp/err" && problem="sanitizer report"
  if [ -n "$problem" ]; then
    failures=$((failures + 1))
    [ $failures -le 10 ] && echo "FAIL ($problem):$(printf ' [%q]' "$@" | head -c 300)"
  fi
}

edges=(0 1 -1 12 13 28 29 30 31 32 1399 1400 9916 9999 10000 2147483647 2147483648 -2147483648
  -2147483649 99999999999999999999 '' ' ' + - +- -+5 ' 5' $'\t\n\v\f\r7' 5x 0x10 1e3 08 ٣ $'\xff\xfe'
  $'caf\xc3\xa9' "$(printf '%.0s9' {1..5000})" '%s%n' '\' "'" '"')
pick() { echo "${edges[RANDOM % ${#edges[@]}]}"; }

for a in "${edges[@]}"; do
  run "$a"
  run "$a" 1 1 0
  run 2000 "$a" 1 0
  run 2000 1 "$a" 0
  run 2000 1 31 "$a"
done
for ((i = 0; i < runs; i++)); do
  case $((RANDOM % 3)) in
    0) run "$(pick)" "$(pick)" "$(pick)" "$(pick)" ;;
    1) run $((RANDOM % 9000 + 1200)) $((RANDOM % 15 - 1)) $((RANDOM % 34 - 1)) $((RANDOM - 16384)) ;;
    2) run $((RANDOM % 8600 + 1400)) $((RANDOM % 12 + 1)) $((RANDOM % 31 + 1)) "$(pick)" ;;
  esac
done
mapfile -t many < <(seq 1 5000)
run 2000 1 31 0 "${many[@]}"
run x "${many[@]}"

echo "$count invocations, $failures failed"
exit $((failures > 0))
