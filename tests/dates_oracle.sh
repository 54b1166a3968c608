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
# The comma form as Python's csv module writes it (a header, CRLF, quotes where a name holds a
# comma or a quote, or everywhere), some fields in blanks, some zones empty: the same lines as
# the same names in the tab form.
python3 - "$scratch/dates" "$scratch/named" "$scratch/csv" <<'PY'
import csv, sys
rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1], encoding="utf-8")]
with open(sys.argv[2], "w", encoding="utf-8") as tsv, open(sys.argv[3], "w", newline="") as out:
    csv.writer(out).writerow(["When", "Name", "Zone"])
    for i, (when, name, *zone) in enumerate(rows):
        name = [name, f'{name}, "the" one', f'"{name}"'][i % 3]
        tsv.write("\t".join([when, name, *zone]) + "\n")
        fields = [when, name, *(zone or ([""] if i % 16 else []))]
        if i % 5 == 1 and "," not in name and '"' not in name:
            out.write(" , ".join(fields) + " \r\n")
        else:
            quoting = csv.QUOTE_ALL if i % 7 == 3 else csv.QUOTE_MINIMAL
            csv.writer(out, quoting=quoting).writerow(fields)
PY
python3 "$bench/dates_reference.py" "$scratch/named" "$1" "$2" >"$scratch/want"
TZ=UTC "$rondelo" --dates="$scratch/csv" --from="$1" --until="$2" >"$scratch/got"
cmp "$scratch/want" "$scratch/got"
