#!/bin/sh
# A calendar directory under two runs at once, and under a kill while the files are written:
# it holds one run's events, never a mix, and no temporary file or lock is left.
# Usage: vdir_check.sh path/to/rondelo
set -u
rondelo=$1 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { printf 'vdir_check: %s\n' "$*" >&2; exit 1; }
export TZ=UTC
cd "$work" || exit 1
people() { awk -v p="$1" -v n="$2" 'BEGIN { for (i = 0; i < n; i++) printf "19%02d-05-17\t%s %d\n", i, p, i }'; }
people A 8 >a.tsv
people B 8 >b.tsv
"$rondelo" --vdir=a --dates=a.tsv && "$rondelo" --vdir=b --dates=b.tsv || fail "a run alone failed"
same() { [ "$(ls -A "$1")" = "$(ls -A "$2")" ]; }

# Two runs at once: the second waits for the first, or says that the directory is in use.
"$rondelo" --vdir=cal --dates=a.tsv 2>a.err & first=$!
"$rondelo" --vdir=cal --dates=b.tsv 2>b.err & second=$!
wait "$first"; a=$?
wait "$second"; b=$?
for status in "$a" "$b"; do [ "$status" = 0 ] || [ "$status" = 1 ] || fail "a run exited $status"; done
grep -qv 'cal is in use by another run of rondelo' a.err b.err 2>/dev/null && fail "$(cat a.err b.err)"
same cal a || same cal b || fail "two runs at once left a mix of $(ls cal | wc -l) files"

# A run that a SIGTERM reaches while it writes its temporary files removes them before it
# ends, and leaves the directory as it was; one that had begun to rename finishes first.
rm -rf cal && cp -a a cal
"$rondelo" --vdir=cal --dates=b.tsv & run=$!
until ls -A cal | grep -q '^\.rondelo-.*\.tmp$'; do kill -0 "$run" 2>/dev/null || break; done
kill -TERM "$run" 2>/dev/null
wait "$run" 2>/dev/null
[ -z "$(ls -A cal | grep '^\.rondelo')" ] || fail "left after SIGTERM: $(ls -A cal | grep '^\.rondelo' | head -n 3)"
same cal a || same cal b || fail "a SIGTERM left neither run's events"

# A run started with SIGINT ignored (nohup, a script's background job) goes on ignoring it: a
# SIGINT while it writes ends nothing and cuts nothing short.
rm -rf cal && cp -a a cal
(trap '' INT && exec "$rondelo" --vdir=cal --dates=b.tsv) & run=$!
until ls -A cal | grep -q '^\.rondelo-.*\.tmp$'; do kill -0 "$run" 2>/dev/null || break; done
kill -INT "$run" 2>/dev/null
wait "$run" || fail "a run that ignores SIGINT failed on one: status $?"
same cal b || fail "a run that ignores SIGINT left $(ls cal | wc -l) files, not B's"
