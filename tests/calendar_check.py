#!/usr/bin/python3
# rondelo --ics read by an independent parser (icalendar) and imported into two real calendar
# clients (calcurse; khal, twice, with reminders), against the CSV report of the same run.
# Usage: calendar_check.py path/to/rondelo
import os, subprocess, sys, tempfile
from datetime import date, datetime, timedelta, timezone
import icalendar

rondelo, failures = sys.argv[1], []
title = "Ünïcødé 🎉, a; b\\c\nsecond line of a long title that runs past one content line"
args = ["--zone=Asia/Kolkata", "--sort", "2000", "1", "31"]  # midnight in the zone: all-day
env = {"LC_ALL": "C", "TZ": "UTC", "SOURCE_DATE_EPOCH": "1700000000"}
calendar = lambda title, *more: subprocess.run([rondelo, "--ics", "--title=" + title, *more, *args],
                                               capture_output=True, env=env).stdout
ics = calendar(title)
csv = subprocess.run([rondelo, *args], capture_output=True, text=True, env=env).stdout.splitlines()
lines = [line.split(",") for line in csv if line.count(",") == 3 and not line.endswith(",Reference")]
moments = []  # one event a moment: the lines of an instant, each label after the first named in it
for ts, shown, _, label in lines:
    if moments and moments[-1][0] == ts:
        moments[-1][2].append(label)
    else:
        moments.append((ts, shown, [label]))

def start_of(ts, shown):
    if shown[11:19] == "00:00:00":
        return datetime.strptime(shown, "%a %b %d %H:%M:%S %Y").date()
    return datetime.fromtimestamp(int(ts), timezone.utc)

for raw in ics.split(b"\r\n")[:-1]:
    if len(raw) > 75 or b"\n" in raw or b"\r" in raw:
        failures.append(f"content line of {len(raw)} octets: {raw[:40]!r}")
    raw.decode("utf-8")  # a character split by the folding fails here
events = icalendar.Calendar.from_ical(ics).walk("VEVENT")
if len(events) != len(moments) or len({str(e["UID"]) for e in events}) != len(moments):
    failures.append(f"{len(events)} events with distinct UIDs, expected {len(moments)}")
for event, (ts, shown, labels) in zip(events, moments):
    start, expected = event.decoded("DTSTART"), start_of(ts, shown)
    others = "\nAt the same moment: " + " · ".join(labels[1:]) if labels[1:] else ""
    if str(event["SUMMARY"]) != title + ": " + " · ".join(labels) or start != expected or \
            str(event["DESCRIPTION"]) != "Counted from 31 January 2000 in Asia/Kolkata" + others:
        failures.append(f"{labels}: {event['SUMMARY']!r}, {event['DESCRIPTION']!r} at {start!r}, expected {expected!r}")
all_day = sum(moment[1][11:19] == "00:00:00" for moment in moments)

# Every event of an address book is transparent, and its category is its kind's: a death's and a
# memorial's milestones Memorial, a birthday's and an anniversary's years Birthday and
# Anniversary, the rest Milestone; a moment's category is its first line's.
contacts = os.path.join(os.path.dirname(os.path.abspath(__file__)), "contacts")
book = [rondelo, "-c", contacts, "-c", os.path.join(contacts, "couples"),
        "--kinds=birthday,anniversary,other,death,memorial", "--series=round,planets", "--sort",
        "--from=1990-01-01", "--until=2040-01-01"]
kind = lambda name, label: "Memorial" if name.endswith(("(died)", "(memorial)")) else "Milestone" if \
    label.split()[1:] != ["years"] or label.startswith("-") else \
    "Anniversary" if name.endswith("(anniversary)") else "Milestone" if name.endswith(")") else "Birthday"
expected, seen = [], set()
for ts, shown, _, label, name in (l.split(",", 4) for l in subprocess.run(
        book, capture_output=True, text=True, env=env).stdout.splitlines()):
    if label != "Reference" and (ts, name) not in seen:
        seen.add((ts, name))
        expected.append((str(start_of(ts, shown)), kind(name.strip('"'), label)))
got = [(str(e.decoded("DTSTART")), str(e["CATEGORIES"].cats[0])) for e in
       icalendar.Calendar.from_ical(subprocess.run(book + ["--ics"], capture_output=True, env=env).stdout).walk("VEVENT")
       if e["TRANSP"] == "TRANSPARENT"]
if sorted(got) != sorted(expected) or len(set(c for _, c in got)) != 4:
    failures.append(f"categories: {sorted(set(got) ^ set(expected))[:6]} differ")

with tempfile.TemporaryDirectory() as home:
    path = os.path.join(home, "rondelo.ics")
    open(path, "wb").write(calendar(title.replace("\n", " ")))  # calcurse takes no line breaks
    imported = subprocess.run(["calcurse", "-D", home, "-i", path], capture_output=True, text=True,
                              env={"TZ": "UTC", "HOME": home}).stdout
    expected = f"{len(moments) - all_day} apps / {all_day} events / 0 todos / 0 skipped"
    if expected not in imported:
        failures.append(f"calcurse: {imported!r}, expected {expected!r}")
# Reminders: one VALARM an event, TRIGGER as many days, weeks, hours or minutes before a timed
# one; before an all-day one days and weeks at 09:00 or the time given, hours and minutes before
# its midnight.
hours = lambda h: timedelta(hours=h)
for duration, (timed, allDay) in {"1d": (hours(24), hours(15)), "1d@18:00": (hours(24), hours(6)),
                                  "2w": (timedelta(weeks=2), timedelta(days=13, hours=15)),
                                  "3h": (hours(3), hours(3)), "30min": (hours(0.5), hours(0.5))}.items():
    for event in icalendar.Calendar.from_ical(calendar(title, "--remind=" + duration)).walk("VEVENT"):
        alarms = event.walk("VALARM")
        before = allDay if type(event.decoded("DTSTART")) is date else timed
        if len(alarms) != 1 or alarms[0]["ACTION"] != "DISPLAY" or alarms[0].decoded("TRIGGER") != -before \
                or alarms[0]["DESCRIPTION"] != event["SUMMARY"]:
            failures.append(f"--remind={duration}: {event['SUMMARY']}: {[a.to_ical() for a in alarms]}")

# Reminders by kind: the years of each kind get its own beside those for all; every other unit
# the milestone's. Each run's events are of one kind.
kinds = ["--remind=birthday:1w@18:00", "--remind=anniversary:3d", "--remind=milestone:0d@09:00",
         "--remind=30min"]
before = {"1w@18:00": (timedelta(weeks=1), timedelta(days=7, hours=-18)), "30min": (hours(0.5), hours(0.5)),
          "3d": (timedelta(days=3), timedelta(days=3, hours=-9)), "0d@09:00": (timedelta(0), hours(-9))}
for run, kind in (([*kinds, "--units=years", *args], "1w@18:00"), ([*kinds, "--units=days,hours", *args], "0d@09:00"),
                  ([*kinds, "--units=years", "-c", os.path.dirname(__file__) + "/contacts/vcard4.vcf",
                    "--kinds=anniversary", "--until=2100-01-01"], "3d")):
    got = icalendar.Calendar.from_ical(subprocess.run([rondelo, "--ics", *run], capture_output=True, env=env).stdout)
    if not got.walk("VEVENT"):
        failures.append(f"{run}: no event")
    for event in got.walk("VEVENT"):
        allDay = type(event.decoded("DTSTART")) is date
        want = sorted(-before[d][allDay] for d in (kind, "30min"))
        if sorted(a.decoded("TRIGGER") for a in event.walk("VALARM")) != want:
            failures.append(f"{run[:4]}: {event['SUMMARY']}: {[a.to_ical() for a in event.walk('VALARM')]}")

# khal keeps UIDs: a second import updates every event, alarm and all. A calendar without
# events parses, holding one component, and imports as nothing.
empty = subprocess.run([rondelo, "--ics", "--from=2201-01-01", "--until=2202-01-01", "2000", "1", "1"],
                       capture_output=True, env=env).stdout
if [c.name for c in icalendar.Calendar.from_ical(empty).subcomponents] != ["VFREEBUSY"]:
    failures.append(f"a calendar without events: {empty!r}")
with tempfile.TemporaryDirectory() as home:
    config, store = os.path.join(home, "config"), os.path.join(home, "anna")
    os.mkdir(store)
    open(config, "w").write(f"[calendars]\n[[anna]]\npath = {store}\n[locale]\n"
                            "default_timezone = UTC\nlocal_timezone = UTC\n")
    for ics in (empty, calendar(title, "--remind=1d"), calendar(title, "--remind=1d")):
        open(os.path.join(home, "in.ics"), "wb").write(ics)
        subprocess.run(["khal", "-c", config, "import", "--batch", "-a", "anna", os.path.join(home, "in.ics")],
                       capture_output=True, env={"HOME": home, "TZ": "UTC", "LC_ALL": "C.UTF-8"})
    stored = [open(os.path.join(store, name)).read() for name in os.listdir(store)]
    if len(stored) != len(moments) or not all("TRIGGER:-P1D" in event or "TRIGGER:-PT15H" in event for event in stored):
        failures.append(f"khal: {len(stored)} events after two imports, expected {len(moments)} with alarms")
print("\n".join(failures[:20]) or f"{len(events)} events parsed and imported")
sys.exit(1 if failures else 0)
