#!/usr/bin/env bash
# The built rondelo-selftest as a process under TZ=UTC: its exact standard error, its report of
# twelve test instants (three of them outside the calendar) and its exit statuses.
# Usage: selftest_process_test.sh path/to/rondelo-selftest   (run from the tests directory)
set -u
selftest=$1
export TZ=UTC
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

"$selftest" >"$tmp/out" 2>"$tmp/err"
[ $? = 0 ] || fail "status"
cmp -s "$tmp/err" golden/selftest-utc.err || fail "standard error: $(diff "$tmp/err" golden/selftest-utc.err)"
tail -n 9 "$tmp/out" | cmp -s - golden/selftest-utc-fixed.csv || fail "the nine fixed instants"
[ "$(wc -l <"$tmp/out")" = 12 ] || fail "report length"
# The clock's three: now, midnight ten years on, and six days before now at the same time.
IFS=, read -r now _ type label < <(sed -n 1p "$tmp/out")
IFS=, read -r later _ _ label10 < <(sed -n 2p "$tmp/out")
IFS=, read -r before _ _ label6 < <(sed -n 3p "$tmp/out")
[ "$type,$label,$label10,$label6" = "9,local time now,now + 10 years,-6 days" ] || fail "clock labels"
[ $((later % 86400)) = 0 ] && [ $((later - now)) -gt $((3650 * 86400 - 86400)) ] || fail "ten years on"
[ $((now - before)) = 518400 ] || fail "six days before"
[ "$(sed -n 1p "$tmp/out" | cut -d, -f2)" = "$(date -u -d "@$now" '+%a %b %e %H:%M:%S %Y')" ] || fail "date of now"

"$selftest" >/dev/full 2>"$tmp/err"
[ $? = 1 ] || fail "standard output full: status"
[ "$(tail -n 1 "$tmp/err")" = "rondelo-selftest: write error: No space left on device" ] || fail "write error text"

[ "$failures" = 0 ] && echo "all self-test process checks passed"
exit $((failures > 0))
