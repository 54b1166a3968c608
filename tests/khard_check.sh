#!/bin/sh
# khard's birthdays of a small address book, piped into rondelo as a user would.
# Usage: khard_check.sh path/to/rondelo
set -eu
rondelo=$1 book=$(mktemp -d)
trap 'rm -rf "$book"' EXIT
card() {
  printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:%s\r\nN:%s;;;;\r\nBDAY:%s\r\nUID:%s\r\nEND:VCARD\r\n' \
    "$1" "$1" "$2" "$3" >"$book/$3.vcf"
}
card "Anna Schmidt" 1990-05-17 anna
card "Bob Müller" 1985-12-01 bob
card "Chidi Okafor" --1109 chidi
printf '[addressbooks]\n[[family]]\npath = %s\n' "$book" >"$book/khard.conf"
got=$(khard -c "$book/khard.conf" birthdays --parsable |
  TZ=UTC "$rondelo" --dates=- --sort --from=2027-06-01 --until=2028-10-01)
want='1817078400,Sun Aug  1 00:00:00 2027,1,500 months,Bob Müller
1842902400,Thu May 25 21:20:00 2028,6,20M minutes,Anna Schmidt
1852502400,Thu Sep 14 00:00:00 2028,3,2K weeks,Anna Schmidt'
[ "$got" = "$want" ] || { printf 'khard into rondelo gave:\n%s\nnot:\n%s\n' "$got" "$want" >&2; exit 1; }
# A birthday without a year, which khard lists as 1900.11.09, is its day each year.
got=$(khard -c "$book/khard.conf" birthdays --parsable |
  TZ=UTC "$rondelo" --dates=- --every=1y --sort --from=2027-06-01 --until=2028-06-01)
want='1825718400,Tue Nov  9 00:00:00 2027,11,birthday,Chidi Okafor
1827619200,Wed Dec  1 00:00:00 2027,11,42 years,Bob Müller
1842134400,Wed May 17 00:00:00 2028,11,38 years,Anna Schmidt'
[ "$got" = "$want" ] || { printf 'khard into rondelo gave:\n%s\nnot:\n%s\n' "$got" "$want" >&2; exit 1; }
