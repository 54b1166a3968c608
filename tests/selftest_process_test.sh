#!/usr/bin/env bash
# The built rondelo-selftest as a process under TZ=UTC: its standard error byte for byte, the
# shape of its report of twelve test instants, and its exit statuses.
# Usage: selftest_process_test.sh path/to/rondelo-selftest   (run from the tests directory)
set -u
selftest=$1
export TZ=UTC LC_ALL=C
failures=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

"$selftest" >"$tmp/out" 2>"$tmp/err"
[ $? = 0 ] || fail "a completed self-test exits 0"
cmp -s "$tmp/err" golden/selftest-utc.err || fail "24 lines, then one message per short line"
[ "$(cut -d, -f3 "$tmp/out" | head -n 3)" = $'9\n9\n9' ] || fail "the clock's three lines show their date"
[ "$(wc -l <"$tmp/out")" = 12 ] && tail -n 9 "$tmp/out" | cmp -s - golden/selftest-utc-fixed.csv ||
  fail "twelve report lines, the fixed nine as pinned, three of them short"

# A report that cannot be written is a failed run: the 24 lines, then the reason.
"$selftest" >/dev/full 2>"$tmp/err"
[ $? = 1 ] || fail "standard output full: status"
{ head -n 24 golden/selftest-utc.err; echo "rondelo-selftest: write error: No space left on device"; } |
  cmp -s - "$tmp/err" || fail "standard output full: $(tail -n 1 "$tmp/err")"

[ "$failures" = 0 ] && echo "all self-test process checks passed"
exit $((failures > 0))
