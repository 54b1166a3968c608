#!/bin/sh
# rondelo --dates against the straightforward Python script of the benchmark (datetime and
# zoneinfo), on generated references in a dozen zones, over the whole calendar and over a year,
# then in time order.
# Usage: dates_oracle.sh path/to/rondelo path/to/bench
set -eu
rondelo=$1 bench=$2 scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
python3 "$bench/make_dates.py" 2000 7 >"$scratch/dates"
for window in "1400-01-01 9999-12-31" "2027-01-01 2028-01-01"; do
  set -- $window
  python3 "$bench/dates_reference.py" "$scratch/dates" "$1" "$2" >"$scratch/want"
  TZ=UTC "$rondelo" --dates="$scratch/dates" --from="$1" --until="$2" >"$scratch/got"
  cmp "$scratch/want" "$scratch/got"
done
# --sort: time order, and at one instant the order of the file and of the series (sort -s).
sort -s -t , -k 1,1n "$scratch/want" >"$scratch/sorted"
TZ=UTC "$rondelo" --dates="$scratch/dates" --sort --from="$1" --until="$2" | cmp "$scratch/sorted" -
