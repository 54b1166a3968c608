#!/bin/sh
# The calendar directory as users meet it: synced by vdirsyncer to a Radicale and to a Xandikos
# CalDAV server on 127.0.0.1 (a calendar of old-form UIDs replaced in one run, a name with
# , ; \ and :, a sync after vdirsyncer's status is lost, the name and colour carried by
# metasync), read back into an empty directory, read by khal; a birthday calendar over three
# nights on each server, keeping what passed; the .ics file subscribed to over HTTP; every file
# read by python3-icalendar, reminders and all.
# Usage: caldav_check.sh path/to/rondelo
set -eu
rondelo=$1 work=$(mktemp -d) pids=""
trap 'for pid in $pids; do kill "$pid" 2>/dev/null || :; done; rm -rf "$work"' EXIT
fail() { printf 'caldav_check: %s: %s\n' "${server:-}" "$*" >&2; exit 1; }
freePort() { /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
waitFor() {
  for _ in $(seq 100); do
    /usr/bin/python3 -c 'import socket, sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 1)' "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "nothing answers on 127.0.0.1:$1"
}
export HOME="$work" TZ=UTC LC_ALL=C.UTF-8
cd "$work"
calendar() {  # SOURCE_DATE_EPOCH, then rondelo's own arguments
  stamp=$1
  shift
  SOURCE_DATE_EPOCH=$stamp "$rondelo" --from=2027-01-01 --until=2032-01-01 --calendar-name='Family, near' \
    --remind=1d --remind=30min "$@"
}
run() { calendar "$1" --vdir=cal --calendar-color='#1E90FF' --dates="$2" || fail "rondelo --vdir exited $?"; }
bob='Smith, Bob; Jr. \\ 2nd: x'
printf "1990-05-17\tAnna\n1985-12-01T14:30\t$bob\tEurope/Berlin\n" >first.tsv
printf "1985-12-01T14:30\t$bob\tEurope/Berlin\n2001-03-03\tCarla\n" >second.tsv

mkcalendar() {
  /usr/bin/python3 -c 'import sys, urllib.request as u
u.urlopen(u.Request(sys.argv[1], method="MKCALENDAR", headers={"Authorization": "Basic cm9uZGVsbzp4"}))' "$1"
}
radicale() {
  printf '[server]\nhosts = 127.0.0.1:%s\n[auth]\ntype = none\n[storage]\nfilesystem_folder = %s/radicale\n' \
    "$1" "$work" >radicale.conf
  command radicale --config radicale.conf >radicale.log 2>&1 & pids="$pids $!"
  waitFor "$1"
  url="http://127.0.0.1:$1/rondelo/family/" birthdaysUrl="http://127.0.0.1:$1/rondelo/birthdays/"
  mkcalendar "$url"
  mkcalendar "$birthdaysUrl"
}
xandikos() {
  command xandikos -d "$work/xandikos" --defaults -l 127.0.0.1 -p "$1" >xandikos.log 2>&1 & pids="$pids $!"
  waitFor "$1"
  url="http://127.0.0.1:$1/user/calendars/calendar/" birthdaysUrl="http://127.0.0.1:$1/user/calendars/birthdays/"
  mkcalendar "$birthdaysUrl"
}
storage() { printf '[storage %s]\ntype = "filesystem"\npath = "%s/%s"\nfileext = ".ics"\n' "$1" "$work" "$1"; }
pair() {
  printf '[pair %s]\na = "%s"\nb = "%s"\ncollections = null\nconflict_resolution = "%s wins"\n' "$1" "$2" "$3" "$4"
  printf 'metadata = ["displayname", "color"]\n'
}
vdirsyncerConfig() {
  printf '[general]\nstatus_path = "%s/status/"\n' "$work"
  storage cal; storage readback; storage subscribed
  printf '[storage server]\ntype = "caldav"\nurl = "%s"\nusername = "rondelo"\npassword = "x"\n' "$url"
  printf '[storage web]\ntype = "http"\nurl = "http://127.0.0.1:%s/family.ics"\n' "$httpPort"
  pair up cal server a; pair back readback server b; pair feed subscribed web b
  storage birthdays; storage birthdaysback
  printf '[storage server2]\ntype = "caldav"\nurl = "%s"\nusername = "rondelo"\npassword = "x"\n' "$birthdaysUrl"
  pair nightly birthdays server2 a; pair nightlyback birthdaysback server2 b
}
vdirsyncer() { command vdirsyncer -c vdirsyncer.conf "$@" </dev/null; }
sync() { vdirsyncer sync "$1" 2>&1 | grep -E '^(Copying|Deleting)' | sort || :; }
ids() { ls "$1" | sed -n 's/\.ics$//p' | sort; }
uids() { grep -h '^UID:' "$1"/*.ics | tr -d '\r' | sort; }
files() { stat -c '%n %i %Y' cal/*; }

# A calendar of UIDs of the old form (the zone, a percent-encoded name), as earlier versions
# wrote it: the first run of this version replaces every file in one run, and one sync.
oldForm() {
  calendar 1700000000 --vdir=new --dates=first.tsv
  mkdir cal
  for file in new/*.ics; do
    old=$(printf %s "${file#new/}" | sed 's/^\([0-9T]*\)-/\1-UTC-/; s/-[0-9a-f]*@rondelo\.ics$/-%2C%3B%5C%3A@rondelo/')
    sed "s/^UID:.*/UID:$old\r/" "$file" >"cal/$(printf %s "$old" | sed 's/%/%25/g').ics"
  done
  rm -r new
}

roundTrip() {
  rm -rf cal readback status && mkdir readback
  vdirsyncerConfig >vdirsyncer.conf
  oldForm
  vdirsyncer discover up back >/dev/null 2>&1 || fail "vdirsyncer discover"
  [ "$(sync up | grep -c uploading)" = "$(ids cal | wc -l)" ] || fail "the old calendar did not go up whole"
  ids cal >old
  run 1700000000 first.tsv
  [ -z "$(ids cal | grep -F -f old)" ] || fail "old files left beside the new ones: $(ids cal | grep -F -f old | head -n 3)"
  changes=$(sync up)
  [ "$(printf '%s\n' "$changes" | grep -c '^Deleting')" = "$(wc -l <old)" ] &&
    [ "$(printf '%s\n' "$changes" | grep -c uploading)" = "$(ids cal | wc -l)" ] ||
    fail "the first sync of the new form: $changes"
  sync back >/dev/null
  [ "$(uids readback)" = "$(uids cal)" ] || fail "the server holds other events than the directory"
  # The collection takes the directory's name and colour; the second pair brings them down.
  vdirsyncer metasync up >/dev/null 2>&1 && vdirsyncer metasync back >/dev/null 2>&1 || fail "metasync"
  [ "$(cat readback/displayname)" = 'Family, near' ] && [ "$(cat readback/color)" = '#1E90FF' ] ||
    fail "metasync brought down '$(cat readback/displayname)' '$(cat readback/color)'"

  # A day later, Anna gone and Carla new: only their events go up and away, nothing is updated.
  ids cal >before
  run 1700086400 second.tsv
  ids cal >after
  changes=$(sync up)
  [ -z "$(printf '%s\n' "$changes" | grep -v -e 'uploading' -e '^Deleting')" ] || fail "updates: $changes"
  [ "$(printf '%s\n' "$changes" | grep -c anna)" = "$(grep -c anna before)" ] &&
    [ "$(printf '%s\n' "$changes" | grep anna | grep -c '^Deleting')" = "$(grep -c anna before)" ] &&
    [ "$(printf '%s\n' "$changes" | grep -c carla)" = "$(grep -c carla after)" ] &&
    [ "$(printf '%s\n' "$changes" | grep carla | grep -c uploading)" = "$(grep -c carla after)" ] &&
    [ "$(printf '%s\n' "$changes" | grep -c bob)" = 0 ] || fail "the second sync changed: $changes"
  # The server changed in those events only: the second pair brings exactly them down.
  pulled=$(sync back)
  [ "$(printf '%s\n' "$pulled" | grep -c -e anna -e carla)" = "$(printf '%s\n' "$changes" | wc -l)" ] &&
    [ "$(printf '%s\n' "$pulled" | grep -c bob)" = 0 ] || fail "read back from the server: $pulled"
  [ "$(uids readback)" = "$(uids cal)" ] || fail "the server holds other events than the directory"

  # A run that changes nothing, on another day, uploads nothing and leaves every file as it was.
  files >before
  run 1700172800 second.tsv
  [ "$(files)" = "$(cat before)" ] || fail "a run without change rewrote files: $(files | diff before -)"
  [ -z "$(sync up)" ] || fail "a run without change synced: $(sync up)"

  # vdirsyncer's status lost: the server's UIDs are the files' own, so the items pair up again;
  # nothing is refused (412) and nothing comes down beside rondelo's own files.
  rm -rf status
  vdirsyncer discover up >/dev/null 2>&1 || fail "vdirsyncer discover after the status was lost"
  vdirsyncer sync up >sync.log 2>&1 || fail "a sync without status: $(grep -v '^Syncing' sync.log | head -n 5)"
  [ "$(ids cal)" = "$(cat after)" ] || fail "a sync without status brought down: $(ids cal | grep -v -F -f after)"
  rm -rf readback/*.ics status
  vdirsyncer discover back >/dev/null 2>&1 && sync back >/dev/null
  [ "$(uids readback)" = "$(uids cal)" ] || fail "the server holds other events than the directory"
}

# The birthday calendar, every year (a birthday without a year too), run on three nights with
# the window one year from that night's --from: what passed stays, in the directory and on the
# server, while its person is in the address book; Bob, gone on the third night, goes wholly.
vcard() { printf 'BEGIN:VCARD\r\nVERSION:4.0\r\nFN:%s\r\n%s\r\nEND:VCARD\r\n' "$1" "$2" >"book/$1.vcf"; }
night() {  # --from and --until of that night's window
  SOURCE_DATE_EPOCH=1700000000 "$rondelo" --contacts=book --every=1y --from="$1" --until="$2" \
    --vdir=birthdays || fail "the birthday calendar of $1 exited $?"
}
count() { ids birthdays | grep -c -- "-$1-" || :; }
birthdayNights() {
  rm -rf book birthdays birthdaysback && mkdir book birthdaysback
  vcard Anna BDAY:19900517
  vcard Bob BDAY:--0704
  vcard Carla ANNIVERSARY:20010303
  night 2027-05-01 2028-05-01
  vdirsyncer discover nightly nightlyback >/dev/null 2>&1 || fail "vdirsyncer discover nightly"
  [ "$(count anna) $(count bob) $(count carla)" = "1 1 1" ] || fail "the first night holds $(ids birthdays)"
  sync nightly >/dev/null
  # Anna's 37th (17 May 2027) and Bob's day (4 July) have passed; next year's come.
  night 2027-07-10 2028-07-10
  [ "$(count anna) $(count bob) $(count carla)" = "2 2 1" ] || fail "the second night holds $(ids birthdays)"
  changes=$(sync nightly)
  [ -z "$(printf '%s\n' "$changes" | grep -v uploading)" ] && [ "$(printf '%s\n' "$changes" | wc -l)" = 2 ] ||
    fail "the second night synced: $changes"
  rm book/Bob.vcf
  night 2027-07-11 2028-07-11
  [ "$(count anna) $(count bob) $(count carla)" = "2 0 1" ] || fail "the third night holds $(ids birthdays)"
  changes=$(sync nightly)
  [ "$(printf '%s\n' "$changes" | grep -c '^Deleting.*-bob-')" = 2 ] && [ "$(printf '%s\n' "$changes" | wc -l)" = 2 ] ||
    fail "the third night synced: $changes"
  sync nightlyback >/dev/null
  [ "$(uids birthdaysback)" = "$(uids birthdays)" ] || fail "the server holds other birthdays than the directory"
}

httpPort=$(freePort)
for server in radicale xandikos; do
  "$server" "$(freePort)"
  roundTrip
  birthdayNights
done

# khal reads the directory as a calendar.
printf '[calendars]\n[[family]]\npath = %s/cal\n[locale]\ndefault_timezone = UTC\nlocal_timezone = UTC\ndateformat = %%Y-%%m-%%d\nlongdateformat = %%Y-%%m-%%d\n' \
  "$work" >khal.conf
listed=$(khal -c khal.conf list --format '@{title}' 2027-01-01 1826d | grep -c '^@') || :
[ "$listed" = "$(ids cal | wc -l)" ] || fail "khal lists $listed of $(ids cal | wc -l) events"

# The single file, subscribed to over HTTP, arrives whole.
mkdir web subscribed
calendar 1700000000 --ics --dates=second.tsv >web/family.ics
/usr/bin/python3 -m http.server "$httpPort" --bind 127.0.0.1 --directory web >http.log 2>&1 & pids="$pids $!"
waitFor "$httpPort"
vdirsyncer discover feed >/dev/null 2>&1 || fail "vdirsyncer discover feed"
sync feed >/dev/null
# vdirsyncer's http storage replaces each UID with a hash of the event: compare the summaries.
summaries() { grep -h '^SUMMARY:' "$1"/*.ics | tr -d '\r' | sort; }
[ "$(summaries subscribed)" = "$(summaries cal)" ] || fail "the subscribed file holds other events than the directory"

# Every file parses; names, refresh, reminders and manners are as the options say.
/usr/bin/python3 - cal/*.ics web/family.ics subscribed/*.ics <<'PYTHON'
import sys
from datetime import date, timedelta
import icalendar
failures, kinds = [], set()
for path in sys.argv[1:]:
    calendar = icalendar.Calendar.from_ical(open(path, "rb").read())
    # subscribed/: the events of the file, split by vdirsyncer with the file's header
    own, single = path.startswith("cal/"), path.startswith("web/")
    refresh = [str(calendar.get(key)) for key in ("REFRESH-INTERVAL", "X-PUBLISHED-TTL") if key in calendar]
    if calendar.get("NAME") != "Family, near" or calendar.get("X-WR-CALNAME") != "Family, near" or \
            refresh != ([] if own else ["P1D", "P1D"]):
        failures.append(f"{path}: name {calendar.get('NAME')!r}, refresh {refresh}")
    events = calendar.walk("VEVENT")
    if len(events) != 1 and not single:
        failures.append(f"{path}: {len(events)} events")
    for event in events:
        allDay = type(event.decoded("DTSTART")) is date
        kinds.add(allDay)
        want = [timedelta(hours=-15), timedelta(minutes=-30)] if allDay else \
               [timedelta(days=-1), timedelta(minutes=-30)]
        got = [alarm.decoded("TRIGGER") for alarm in event.walk("VALARM")]
        if got != want:
            failures.append(f"{path}: {event['SUMMARY']}: triggers {got}, expected {want}")
        if event.get("TRANSP") != "TRANSPARENT" or event["CATEGORIES"].cats != ["Milestone"] or \
                not str(event.get("DESCRIPTION")).startswith("Counted from "):
            failures.append(f"{path}: {event['SUMMARY']}: {event.get('TRANSP')}, {event.get('CATEGORIES')}")
if kinds != {True, False}:
    failures.append("not both all-day and timed events")
sys.exit("\n".join(failures) or None)
PYTHON
