#!/usr/bin/env bash
# The zone of a run with options when none is chosen: TZ; without TZ, the zone /etc/localtime
# links to; with neither, UTC and one line saying so. /etc is replaced in a private mount
# namespace, so this needs root; elsewhere it is skipped (77). Usage: local_zone_check.sh RONDELO
set -u
rondelo=$(realpath "$1") work=$(mktemp -d) failures=0
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
unshare -m true 2>/dev/null || { echo "no private mount namespace here: skipped"; exit 77; }

# The first line of a run in a mount namespace whose /etc holds only what etc/ holds.
first() { unshare -m sh -c 'mount --bind "$0" /etc && exec env -u TZ "$@" 2>&1' "$work/etc" "$rondelo" "$@" | head -n 1; }
mkdir "$work/etc"
ln -s /usr/share/zoneinfo/Asia/Tokyo "$work/etc/localtime"
[ "$(first --until=1990-05-18 1990-05-17)" = "642870000,Thu May 17 00:00:00 1990,8,Reference" ] ||
  fail "the link of /etc/localtime: $(first 1990-05-17)"
rm "$work/etc/localtime"
[ "$(first 1990-05-17)" = "rondelo: the system's time zone (/etc/localtime) cannot be read: No such file or directory; times are in UTC" ] ||
  fail "no zone at all: $(first 1990-05-17)"
[ "$(TZ=Asia/Kolkata "$rondelo" --until=1990-05-18 1990-05-17)" = "642882600,Thu May 17 00:00:00 1990,8,Reference" ] ||
  fail "TZ set"

echo "$failures failures"
exit $((failures > 0))
