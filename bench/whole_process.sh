#!/usr/bin/env bash
# Runs rondelo 2000 1 31 0 and the baseline, alternately, many times each, and prints the ratio.
# Usage: bench/whole_process.sh build/rondelo build/bench/rondelo-baseline [runs]
set -eu
rondelo=$1 baseline=$2 runs=${3:-2000}

cmp -s <("$rondelo" 2000 1 31 0) <("$baseline") || { echo "baseline output differs" >&2; exit 1; }

# Nanoseconds for one batch of 100 runs, output to /dev/null as in a script.
batch() {
  local start end i
  start=$(date +%s%N)
  for ((i = 0; i < 100; i++)); do "$@" >/dev/null; done
  end=$(date +%s%N)
  echo $((end - start))
}

rondelo_ns=0 baseline_ns=0
for ((b = 0; b < runs / 100; b++)); do
  rondelo_ns=$((rondelo_ns + $(batch "$rondelo" 2000 1 31 0)))
  baseline_ns=$((baseline_ns + $(batch "$baseline")))
done
awk -v r="$rondelo_ns" -v b="$baseline_ns" -v n="$runs" 'BEGIN {
  printf "rondelo  %8.1f us per run\nbaseline %8.1f us per run\nratio    %8.2f\n", r / n / 1000, b / n / 1000, r / b }'
