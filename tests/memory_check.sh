#!/bin/sh
# Under a memory limit: --next keeps the earliest lines of a long file in memory that does not
# grow with the file, and --sort, which must hold them all, ends with one message and status 1,
# not an abort. Usage: memory_check.sh RONDELO
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

echo "$failures failures"
exit $((failures > 0))
