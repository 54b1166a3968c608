#!/usr/bin/env bash
# Times rondelo 2000 1 31 0, the C++ baseline and the static C floor side by side with hyperfine,
# counts their instructions with callgrind, and prints rondelo's ratio to each.
# Usage: bench/whole_process.sh build/rondelo build/bench/rondelo-baseline build/bench/rondelo-floor [runs]
set -eu
rondelo=$1 baseline=$2 floor=$3 runs=${4:-2000}
rounds=$(((runs + 49) / 50))

for program in "$baseline" "$floor"; do
  cmp -s <("$rondelo" 2000 1 31 0) <("$program") || { echo "$program: output differs" >&2; exit 1; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Rounds of 50 runs each, so that a slow spell of the machine falls on all three alike.
# hyperfine's output goes to /dev/null, as in a script; -N starts each program without a shell.
for ((r = 0; r < rounds; r++)); do
  hyperfine -N --style none --warmup 10 --runs 50 --export-csv "$scratch/$r.csv" \
    "$floor" "$baseline" "$rondelo 2000 1 31 0" >/dev/null 2>"$scratch/hyperfine.err" ||
    { cat "$scratch/hyperfine.err" >&2; exit 1; }
done

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$scratch/callgrind" "$@" >/dev/null \
    2>"$scratch/valgrind.err" || { cat "$scratch/valgrind.err" >&2; exit 1; }
  awk '/^summary:/ { print $2 }' "$scratch/callgrind"
}
floor_ins=$(instructions "$floor")
baseline_ins=$(instructions "$baseline")
rondelo_ins=$(instructions "$rondelo" 2000 1 31 0)

# Rows 2 to 4 of each round are floor, baseline and rondelo; columns 2 and 4 are the mean and
# the median in seconds; a median well below its mean shows a busy spell of the host.
awk -F, -v rounds="$rounds" -v fi="$floor_ins" -v bi="$baseline_ins" -v ri="$rondelo_ins" '
  FNR > 1 { mean[FNR] += $2 * 1000 / rounds; median[FNR] += $4 * 1000 / rounds }
  END {
    f = mean[2]; b = mean[3]; r = mean[4]
    printf "%-18s %8s %8s %13s %13s %12s\n", "", "mean ms", "median", "instructions",
      "rondelo/time", "rondelo/ins"
    printf "%-18s %8.3f %8.3f %13d %13.2f %12.2f\n", "floor (static C)", f, median[2], fi, r / f,
      ri / fi
    printf "%-18s %8.3f %8.3f %13d %13.2f %12.2f\n", "baseline (C++)", b, median[3], bi, r / b,
      ri / bi
    printf "%-18s %8.3f %8.3f %13d\n", "rondelo", r, median[4], ri
  }' "$scratch"/*.csv
