#!/usr/bin/python3
# rondelo --ics read by an independent parser (icalendar) and imported into a real calendar
# client (calcurse), against the CSV report of the same run.
# Usage: calendar_check.py path/to/rondelo
import os, subprocess, sys, tempfile
from datetime import date, datetime, timezone
import icalendar

rondelo, failures = sys.argv[1], []
title = "Ünïcødé 🎉, a; b\\c\nsecond line of a long title that runs past one content line"
args = ["--zone=Asia/Kolkata", "--sort", "2000", "1", "31"]  # midnight in the zone: all-day
env = {"LC_ALL": "C", "SOURCE_DATE_EPOCH": "1700000000"}
calendar = lambda title: subprocess.run([rondelo, "--ics", "--title=" + title, *args],
                                        capture_output=True, env=env).stdout
ics = calendar(title)
csv = subprocess.run([rondelo, *args], capture_output=True, text=True, env=env).stdout.splitlines()
lines = [line.split(",") for line in csv if line.count(",") == 3 and not line.endswith(",Reference")]

for raw in ics.split(b"\r\n")[:-1]:
    if len(raw) > 75 or b"\n" in raw or b"\r" in raw:
        failures.append(f"content line of {len(raw)} octets: {raw[:40]!r}")
    raw.decode("utf-8")  # a character split by the folding fails here
events = icalendar.Calendar.from_ical(ics).walk("VEVENT")
if len(events) != len(lines) or len({str(e["UID"]) for e in events}) != len(lines):
    failures.append(f"{len(events)} events with distinct UIDs, expected {len(lines)}")
for event, (ts, shown, _, label) in zip(events, lines):
    start = event.decoded("DTSTART")
    if shown[11:19] == "00:00:00":
        expected = datetime.strptime(shown, "%a %b %d %H:%M:%S %Y").date()
    else:
        expected = datetime.fromtimestamp(int(ts), timezone.utc)
    if str(event["SUMMARY"]) != title + ": " + label or start != expected:
        failures.append(f"{label}: {event['SUMMARY']!r} at {start!r}, expected {expected!r}")
all_day = sum(line[1][11:19] == "00:00:00" for line in lines)

with tempfile.TemporaryDirectory() as home:
    path = os.path.join(home, "rondelo.ics")
    open(path, "wb").write(calendar(title.replace("\n", " ")))  # calcurse takes no line breaks
    imported = subprocess.run(["calcurse", "-D", home, "-i", path], capture_output=True, text=True,
                              env={"TZ": "UTC", "HOME": home}).stdout
    expected = f"{len(lines) - all_day} apps / {all_day} events / 0 todos / 0 skipped"
    if expected not in imported:
        failures.append(f"calcurse: {imported!r}, expected {expected!r}")
print("\n".join(failures[:20]) or f"{len(events)} events parsed and imported")
sys.exit(1 if failures else 0)
