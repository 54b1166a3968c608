#!/usr/bin/env bash
# How long a calendar directory takes to commit: a first sync of every event of a file of
# people without a window, a run that changes nothing, and a run that rewrites every file.
# ext4 passes over inodes freed in the last minute when it makes a file, at a cost that grows
# with their number: run it a minute after many files were removed (such as its last run's).
# Usage: bench/vdir_commit.sh path/to/rondelo [people, default 100] [directory on the disk to
# measure, default TMPDIR or /tmp]
set -eu
rondelo=$1 people=${2:-100} here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${3:-${TMPDIR:-/tmp}}/vdir_commit.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
python3 "$here/make_dates.py" "$people" >"$scratch/dates"

# measure NAME OPTION...: the seconds of one run over the file into the one directory.
measure() {
  local name=$1
  shift
  sync  # what earlier runs left unwritten is not this one's to wait for
  /usr/bin/time -f '%e' -o "$scratch/time" "$rondelo" --vdir="$scratch/cal" \
    --dates="$scratch/dates" "$@"
  printf '%-26s %8d %8.2f\n' "$name" "$(find "$scratch/cal" -name '*@rondelo.ics' | wc -l)" \
    "$(cat "$scratch/time")"
}
printf '%-26s %8s %8s  (%s, %s)\n' "" files seconds "$(df -T "$scratch" | awk 'NR == 2 { print $2 }')" \
  "$(nproc) cores"
measure "first sync"
measure "nothing changed"
measure "every file rewritten" --calendar-name=Rewritten
