#!/bin/sh
# The calendar directory as users meet it: synced by vdirsyncer to a Radicale CalDAV server on
# 127.0.0.1, read back into an empty directory, read by khal; the .ics file subscribed to over
# HTTP; every file read by python3-icalendar, reminders and all.
# Usage: caldav_check.sh path/to/rondelo
set -eu
rondelo=$1 work=$(mktemp -d) pids=""
trap 'for pid in $pids; do kill "$pid" 2>/dev/null || :; done; rm -rf "$work"' EXIT
fail() { printf 'caldav_check: %s\n' "$*" >&2; exit 1; }
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
run() { calendar "$1" --vdir=cal --dates="$2" || fail "rondelo --vdir exited $?"; }
printf '1990-05-17\tAnna\n1985-12-01T14:30\tBob\tEurope/Berlin\n' >first.tsv
printf '1985-12-01T14:30\tBob\tEurope/Berlin\n2001-03-03\tCarla\n' >second.tsv

radicalePort=$(freePort)
printf '[server]\nhosts = 127.0.0.1:%s\n[auth]\ntype = none\n[storage]\nfilesystem_folder = %s/radicale\n' \
  "$radicalePort" "$work" >radicale.conf
radicale --config radicale.conf >radicale.log 2>&1 & pids="$pids $!"
waitFor "$radicalePort"
httpPort=$(freePort) server="http://127.0.0.1:$radicalePort/rondelo/family/"
/usr/bin/python3 -c 'import sys, urllib.request as u
u.urlopen(u.Request(sys.argv[1], method="MKCALENDAR", headers={"Authorization": "Basic cm9uZGVsbzp4"}))' "$server"
storage() { printf '[storage %s]\ntype = "filesystem"\npath = "%s/%s"\nfileext = ".ics"\n' "$1" "$work" "$1"; }
pair() { printf '[pair %s]\na = "%s"\nb = "%s"\ncollections = null\nconflict_resolution = "%s wins"\n' "$1" "$2" "$3" "$4"; }
{
  printf '[general]\nstatus_path = "%s/status/"\n' "$work"
  storage cal; storage readback; storage subscribed
  printf '[storage server]\ntype = "caldav"\nurl = "%s"\nusername = "rondelo"\npassword = "x"\n' "$server"
  printf '[storage web]\ntype = "http"\nurl = "http://127.0.0.1:%s/family.ics"\n' "$httpPort"
  pair up cal server a; pair back readback server b; pair feed subscribed web b
} >vdirsyncer.conf
sync() { vdirsyncer -c vdirsyncer.conf sync "$1" 2>&1 | grep -E '^(Copying|Deleting)' | sort || :; }
mkdir readback subscribed
ids() { ls "$1" | sed -n 's/\.ics$//p' | sort; }

# A first sync uploads every event: rondelo makes the directory that vdirsyncer discovers.
run 1700000000 first.tsv
vdirsyncer -c vdirsyncer.conf discover up back >/dev/null 2>&1 </dev/null || fail "vdirsyncer discover"
[ "$(ids cal | wc -l)" -ge 4 ] || fail "too few events: $(ids cal)"
[ "$(sync up | grep -c uploading)" = "$(ids cal | wc -l)" ] || fail "the first sync did not upload every event"
sync back >/dev/null

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
uids() { grep -h '^UID:' "$1"/*.ics | tr -d '\r' | sort; }
[ "$(uids readback)" = "$(uids cal)" ] || fail "the server holds other events than the directory"

# A run that changes nothing, on another day, uploads nothing and leaves every file as it was.
files() { stat -c '%n %i %Y' cal/*; }
files >before
run 1700172800 second.tsv
[ "$(files)" = "$(cat before)" ] || fail "a run without change rewrote files: $(files | diff before -)"
[ -z "$(sync up)" ] || fail "a run without change synced: $(sync up)"

# khal reads the directory as a calendar.
printf '[calendars]\n[[family]]\npath = %s/cal\n[locale]\ndefault_timezone = UTC\nlocal_timezone = UTC\ndateformat = %%Y-%%m-%%d\nlongdateformat = %%Y-%%m-%%d\n' \
  "$work" >khal.conf
listed=$(khal -c khal.conf list --format '{title}' 2027-01-01 1826d | grep -c ': ') || :
[ "$listed" = "$(ids cal | wc -l)" ] || fail "khal lists $listed of $(ids cal | wc -l) events"

# The single file, subscribed to over HTTP, arrives whole.
mkdir web
calendar 1700000000 --ics --dates=second.tsv >web/family.ics
/usr/bin/python3 -m http.server "$httpPort" --bind 127.0.0.1 --directory web >http.log 2>&1 & pids="$pids $!"
waitFor "$httpPort"
vdirsyncer -c vdirsyncer.conf discover feed >/dev/null 2>&1 </dev/null || fail "vdirsyncer discover feed"
sync feed >/dev/null
# vdirsyncer's http storage replaces each UID with a hash of the event: compare the summaries.
summaries() { grep -h '^SUMMARY:' "$1"/*.ics | tr -d '\r' | sort; }
[ "$(summaries subscribed)" = "$(summaries cal)" ] || fail "the subscribed file holds other events than the directory"

# Every file parses; names, refresh and reminders are as the options say.
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
if kinds != {True, False}:
    failures.append("not both all-day and timed events")
sys.exit("\n".join(failures) or None)
PYTHON
