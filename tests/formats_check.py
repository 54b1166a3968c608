#!/usr/bin/python3
# rondelo's JSON read back by Python's json and its text read against zoneinfo and dateutil,
# both line by line against the CSV of the same run, over the zones and edges of the zone check.
# Usage: formats_check.py path/to/rondelo
import csv, json, os, subprocess, sys, tempfile, time
from datetime import datetime, timedelta, timezone
from zoneinfo import ZoneInfo
from dateutil.relativedelta import relativedelta

rondelo, failures = sys.argv[1], []
runs = [("Europe/Berlin", "2021-03-28T02:30"), ("Europe/Berlin", "2021-10-31T02:30"),  # gap, fold
        ("Asia/Kolkata", "2000-01-31T23:59:59"), ("Asia/Kathmandu", "1986-01-01T00:10"),
        ("Australia/Lord_Howe", "2021-04-04T01:45"), ("Pacific/Apia", "2011-12-30T00:00"),
        ("Asia/Tokyo", "9999-12-31T08:59:59"), ("America/New_York", "1400-01-01T00:00", "--before")]
names = ['Anna "A", 1', "back\\slash", "Ünïcødé 🎉", "a/b <c> & 'd'", "Bo"]

def run(fmt, *args, env={"LC_ALL": "C"}, stdin=None):
    done = subprocess.run([rondelo, "--format=" + fmt, *args], input=stdin, capture_output=True,
                          text=True, env=env)
    return done.stdout.splitlines(), done.stderr

def wall(ts, zone):  # None past the years datetime holds, which rondelo cannot show either
    try:
        shown = datetime.fromtimestamp(ts, ZoneInfo(zone))
        return shown if shown.year >= 1400 else None
    except (OverflowError, ValueError):
        return None

def count(label):  # "-10K days" is (-10000, "days")
    number, unit = label.split(" ")
    digits = number.lstrip("-").rstrip("KMG")
    scale = {"K": 10**3, "M": 10**6, "G": 10**9}.get(number[-1], 1)
    return (-1 if number[0] == "-" else 1) * int(digits) * scale, unit

def distance(ts, zone, now):
    then, today = datetime.fromtimestamp(ts, ZoneInfo(zone)).date(), datetime.fromtimestamp(now, ZoneInfo(zone)).date()
    days = (then - today).days
    if abs(days) < 2:
        return ["yesterday", "today", "tomorrow"][days + 1]
    apart = relativedelta(max(then, today), min(then, today))
    months = apart.years * 12 + apart.months
    n, unit = (abs(days), "days") if months < 2 else (months, "months") if months < 24 else (apart.years, "years")
    return f"in {n} {unit}" if days > 0 else f"{n} {unit} ago"

def check_json(where, rows, lines, zones, named):
    for (ts, shown, kind, label, name), line in zip(rows, lines):
        o, zone = json.loads(line), zones[name]
        keys = ["unix"] + ["local"] * bool(shown) + ["zone", "type", "label"] + \
               ["unit", "count"] * (label != "Reference") + ["name"] * named
        if list(o) != keys or o["unix"] != ts or o["zone"] != zone \
                or str(o["type"]) != kind or o["label"] != label or o.get("name", name) != name \
                or (label != "Reference" and (o["count"], o["unit"]) != count(label)):
            failures.append(f"{where}: {line} against {ts},{shown},{kind},{label}")
        elif shown:
            local = datetime.fromisoformat(o["local"])
            if local.timestamp() != ts or local.strftime("%a %b %e %H:%M:%S %Y") != shown or \
                    local.utcoffset() != wall(ts, zone).utcoffset():
                failures.append(f"{where}: local {o['local']} against {ts},{shown}")

def check_text(where, rows, lines, zones, days, now):
    width = max(map(len, days))
    for (ts, shown, kind, label, name), line in zip(rows, lines):
        w, at = wall(ts, zones[name]), width + 28  # the label column
        date = f"{days[w.weekday()]:<{width}} {w:%Y-%m-%d %H:%M:%S} {w.tzname():<5}" if w else \
               f"{'after the year 9999' if ts > 0 else 'before the year 1400':<{width + 26}}"
        far = {distance(ts, zones[name], t) for t in now} if w else {line[at + 15:].split("  ")[0]}
        ends = [f"{d:<14}  {name}" if name else d for d in far]
        if (w is None) != (shown is None) or line[:at] != date + "  " or \
                line[at:at + 15] != f"{label:<13}  " or line[at + 15:] not in ends:
            failures.append(f"{where}: {line!r}, expected {date!r} {label} {ends}")

# Single dates: JSON every field, text every column, against the CSV of the same run.
for zone, when, *options in runs:
    date, clock = when.split("T")
    args = ["--zone=" + zone, "--time=" + clock, *options, *date.split("-")]
    rows = [(int(f[0]), f[1] if len(f) == 4 else None, f[-2], f[-1], "") for f in
            (line.split(",") for line in run("csv", *args)[0])]
    (lines, err), before = run("json", *args), time.time()
    text, after = run("text", *args)[0], time.time()
    if len(lines) != len(rows) or len(text) != len(rows) or err != run("csv", *args)[1]:
        failures.append(f"{zone} {when}: {len(lines)} JSON, {len(text)} text lines, {len(rows)} CSV")
    check_json(f"{zone} {when}", rows, lines, {"": zone}, False)
    check_text(f"{zone} {when}", rows, text, {"": zone}, ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"],
               (before, after))

# Many references around now, in zones a day apart, with names JSON must escape; German
# weekday names from LC_TIME; a message after the line it is about.
now = time.time()
zones = {f"{names[k % 5]} {k}": ["Pacific/Kiritimati", "Pacific/Pago_Pago"][k % 2] for k in range(-600, 601)}
dates = "".join(f"{datetime.fromtimestamp(now + (int(n.split()[-1]) * 25 - 24000) * 3600, ZoneInfo(z)):%Y-%m-%dT%H:%M:%S}"
                f"\t{n}\t{z}\n" for n, z in zones.items()) + "9999-12-31T23:00\tLate\tUTC\n"
zones["Late"] = "UTC"
args = ["--dates=-", "--from=-30m", "--until=+30m"]
rows = [(int(f[0]), f[1] if len(f) == 5 else None, f[-3], f[-2], f[-1]) for f in
        csv.reader(run("csv", *args, stdin=dates)[0])]
check_json("dates", rows, run("json", *args, stdin=dates)[0], zones, True)
with tempfile.TemporaryDirectory() as locales:
    subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8", locales + "/de_DE.UTF-8"], capture_output=True)
    german = {"LOCPATH": locales, "LANG": "C", "LC_TIME": "de_DE.UTF-8"}
    before, (text, err), after = time.time(), run("text", *args, env=german, stdin=dates), time.time()
check_text("dates", rows, text, zones, ["Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"], (before, after))
merged = subprocess.run([rondelo, "--format=json", "--dates=-", "--from=9999-12-31"], input=dates,
                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True).stdout.splitlines()
if merged[2] != "rondelo: Late: 100 weeks falls after the year 9999 and cannot be shown" or \
        json.loads(merged[1])["label"] != "100 weeks":
    failures.append(f"messages and lines: {merged[:3]}")
if len(rows) < 5000 or any(len(t) != len(rows) for t in (text, rows)):
    failures.append(f"{len(rows)} CSV lines around now, {len(text)} text lines")

print("\n".join(failures[:20]) or f"JSON and text agree with the CSV and zoneinfo")
sys.exit(1 if failures else 0)
