#!/usr/bin/env bash
# rondelo over a file of references against the straightforward Python script that prints the
# same lines: references a second and peak resident memory of each, in one run.
# Usage: bench/dates_throughput.sh path/to/rondelo [references, default 1000000]
set -eu
rondelo=$1 count=${2:-1000000} here=$(cd "$(dirname "$0")" && pwd) scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
window=(--from=2027-01-01 --until=2028-01-01)
python3 "$here/make_dates.py" "$count" >"$scratch/dates"
# Python is a hundred times slower: it gets a tenth of the file, and its rate is what counts.
head -n $((count / 10)) "$scratch/dates" >"$scratch/tenth"

# measure NAME REFERENCES COMMAND...: one line of seconds, references a second and peak memory.
measure() {
  local name=$1 refs=$2
  shift 2
  /usr/bin/time -f '%e %M' -o "$scratch/time" "$@" >"$scratch/$name.out"
  read -r seconds kilobytes <"$scratch/time"
  awk -v n="$name" -v r="$refs" -v s="$seconds" -v k="$kilobytes" \
    'BEGIN { printf "%-22s %9d %8.2f %12.0f %8.1f\n", n, r, s, r / (s > 0 ? s : 0.01), k / 1024 }'
}
printf '%-22s %9s %8s %12s %8s\n' "" references seconds "per second" "peak MB"
measure rondelo "$count" "$rondelo" --dates="$scratch/dates" "${window[@]}"
measure "rondelo --sort" "$count" "$rondelo" --dates="$scratch/dates" --sort "${window[@]}"
measure python "$((count / 10))" python3 "$here/dates_reference.py" "$scratch/tenth" 2027-01-01 2028-01-01
head -n "$(wc -l <"$scratch/python.out")" "$scratch/rondelo.out" | cmp - "$scratch/python.out" ||
  { echo "dates_throughput: the two programs differ" >&2; exit 1; }
