#!/usr/bin/env bash
# What a caller or the machine's files may put before rondelo: an argv[0] of its choosing, a
# zone directory (TZDIR) holding a FIFO or a zone whose abbreviation is an escape sequence, and
# a locale whose codeset is not UTF-8. Usage: hostile_check.sh RONDELO
set -u
rondelo=$1 work=$(mktemp -d) failures=0
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
export TZ=UTC LC_ALL=C

# The version and usage texts name the program by argv[0], escaped.
got=$( (exec -a "$(printf '\033[2J')" "$rondelo" 2000) 2>&1 | head -n 1)
[[ $got == '\x1B[2J 2.5.'* ]] || fail "argv[0] in the version text: $got"

# A zone that is a FIFO is no zone: read, it would hang the run.
mkdir "$work/zones" && mkfifo "$work/zones/Hang"
got=$(TZDIR=$work/zones timeout 10 "$rondelo" --zone=Hang 2000 1 1 2>&1)
[[ $got == "rondelo: unknown time zone 'Hang'"* ]] || fail "a FIFO as a zone: $got"

# An abbreviation from a zone file is shown, never obeyed.
# A TZif file of version 1: one local time type, its abbreviation ESC [ J.
/usr/bin/python3 -c 'import struct, sys; abbr = b"\x1b[J\0"
open(sys.argv[1], "wb").write(b"TZif" + bytes(16) + struct.pack(">6llBB", 0, 0, 0, 0, 1, len(abbr), 0, 0, 0) + abbr)' \
  "$work/zones/Evil"
got=$(TZDIR=$work/zones "$rondelo" --zone=Evil --format=text --until=2000-01-02 2000 1 1)
[[ $got == 'Sat 2000-01-01 00:00:00 \x1B[J  '*' years ago '*'The date'* ]] || fail "an escape as abbreviation: $(printf %q "$got")"

# Weekday names of a Latin-1 locale would be no UTF-8 beside the names: English instead.
localedef -i es_ES -f ISO-8859-1 "$work/es_ES.ISO-8859-1" 2>/dev/null
echo "leak:argz_add_sep" >"$work/glibc.supp"  # glibc's setlocale and newlocale under LOCPATH
got=$(LOCPATH=$work LC_ALL= LC_TIME=es_ES.ISO-8859-1 LSAN_OPTIONS=suppressions=$work/glibc.supp \
  "$rondelo" --format=text --until=2000-01-06 2000 1 5)
[[ $got == 'Wed 2000-01-05'* ]] || fail "a Latin-1 locale's weekday: $(printf %q "$got")"
got=$(LOCPATH=$work LC_ALL= LC_TIME=es_ES.ISO-8859-1 LANG=C.UTF-8 /usr/bin/locale -k LC_TIME 2>/dev/null | grep -c abday)
[ "$got" -gt 0 ] || fail "the Latin-1 locale was not built"

echo "$failures failures"
exit $((failures > 0))
