#!/bin/sh
# Under a memory limit: --next keeps the earliest lines of a long file in memory that does not
# grow with the file, a picture what it draws, and --sort, which must hold them all, ends with
# one message and status 1, not an abort. Usage: memory_check.sh RONDELO
set -u
rondelo=$1 lines=30000 limit=20000  # kB: room for the program, not for 30000 references
dates() { yes "$(printf '2000-01-31\tA')" | head -n "$lines"; }
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

got=$(dates | (ulimit -v $limit && exec "$rondelo" --dates=- --next=2 --from=2031-01-01) 2>&1)
want=$(printf '1949276800,Thu Oct  9 01:46:40 2031,7,1G seconds,A\n%.0s' 1 2)
[ "$got" = "$want" ] || fail "--next under the limit printed: $got"

got=$(dates | (ulimit -v $limit && exec "$rondelo" --dates=- --sort --from=2031-01-01) 2>&1)
status=$?
[ "$status" = 1 ] && [ "$got" = "rondelo: memory exhausted" ] ||
  fail "--sort past the limit: status $status, printed: $(printf %s "$got" | head -c 300)"

# A calendar's twins are counted among the lines --next holds, not across the whole file.
names() { awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "2000-01-31\tP%d\n", i }'; }
got=$(names 400000 | (ulimit -v $limit && exec "$rondelo" --dates=- --ics --next=1 --from=2031-01-01) 2>&1)
[ "$(printf %s "$got" | grep -c '^UID:')" = 1 ] ||
  fail "--next with --ics under the limit printed: $(printf %s "$got" | tail -n 2)"

# An address book is read a card at a time: its length costs no memory.
cards() { awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "BEGIN:VCARD\r\nFN:P%d\r\nBDAY:2000-01-31\r\nEND:VCARD\r\n", i }'; }
got=$(cards 100000 | (ulimit -v $limit && exec "$rondelo" --contacts=- --next=1 --from=2031-01-01) 2>&1)
[ "$got" = "1949276800,Thu Oct  9 01:46:40 2031,7,1G seconds,P0" ] ||
  fail "--contacts under the limit printed: $(printf %s "$got" | head -c 300)"

# A picture of 876,600 hourly milestones holds no more than it draws.
got=$( (ulimit -v $limit && exec "$rondelo" --format=svg --every=1h -z UTC 1930-01-01) 2>&1 | tail -n 1)
[ "$got" = "</svg>" ] || fail "a picture of every hour under the limit printed: $got"

# Zone names the database lacks cost nothing that stays.
zones() { awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "2000-01-31\tA\tNo/Where%d\n", i }'; }
got=$(zones 300000 | (ulimit -v $limit && exec "$rondelo" --dates=- --from=2031-01-01) 2>&1 | tail -n 1)
[ "$got" = "rondelo: standard input:300000: unknown time zone 'No/Where299999'" ] ||
  fail "unknown zones under the limit printed: $got"

# At every limit where it starts at all, running out of memory is one message and status 1:
# never an abort, also before the C++ runtime has set aside room for its exceptions.
for limit in $(seq 3000 32 6000); do
  got=$( (ulimit -v "$limit" && exec "$rondelo" 2000 1 31 0) 2>&1 >/dev/null)
  status=$?
  case "$status:$got" in
    0:|"1:rondelo: memory exhausted"|127:*) ;;  # 127: the loader could not start it
    *) fail "under ulimit -v $limit: status $status, printed: $(printf %s "$got" | head -c 200)" ;;
  esac
done

echo "$failures failures"
exit $((failures > 0))
