#!/usr/bin/env python3
# rondelo's zone rules against Python's zoneinfo over the same tzdata: fold=0 is the first
# occurrence of a repeated time and reads a gap with the offset before it, as rondelo must, and
# an aware datetime plus days is the same wall-clock time so many dates on, as days and weeks are.
# Usage: zone_oracle.py path/to/rondelo
import subprocess, sys
from datetime import date, datetime, timedelta, timezone
from zoneinfo import ZoneInfo

rondelo, failures = sys.argv[1], []
seconds = {"hours": 3600, "minutes": 60, "seconds": 1}
planets = {"Mercury": 87.969, "Venus": 224.701, "Mars": 686.980, "Jupiter": 4332.59,
           "Saturn": 10759.22, "Uranus": 30688.5, "Neptune": 60182}

def report(*args):
    run = subprocess.run([rondelo, *args], capture_output=True, text=True, env={"LC_ALL": "C", "TZ": "UTC"})
    # Years have an oracle of their own (milestones_oracle.py).
    return {line.split(",")[-1]: line.split(",") for line in run.stdout.splitlines()
            if line.split(",")[2] != "11"}

def count(label):  # "-10K days" is -10000, "2^30 seconds" 1073741824, "1 Mars year" 1
    number = label.split()[0].lstrip("-")
    n = 2 ** int(number[2:]) if number.startswith("2^") else \
        int(number.rstrip("KMG")) * {"K": 10**3, "M": 10**6, "G": 10**9}.get(number[-1], 1)
    return -n if label.startswith("-") else n

def check(zone, day, clock="00:00:00", *options):
    tz, (h, m, s) = ZoneInfo(zone), map(int, clock.split(":"))
    lines = report("--zone=" + zone, "--time=" + clock, *options, *str(day).split("-"))
    classic = report(*options, "--", *str(day).split("-"))  # the same series at 00:00 UTC
    start = datetime(day.year, day.month, day.day, h, m, s, tzinfo=tz)
    reference = int(start.timestamp())
    for label, fields in lines.items():
        ts, where = int(fields[0]), f"{zone} {day} {clock} {' '.join(options)} {label}"
        try:
            wall = (datetime(1970, 1, 1, tzinfo=timezone.utc) + timedelta(seconds=ts)).astimezone(tz)
            shown = [wall.strftime("%a %b %e %H:%M:%S %Y")] if wall.year >= 1400 else []
        except OverflowError:  # past the year 9999
            shown = []
        if fields[1:-2] != shown:
            failures.append(f"{where}: shown as {fields[1:-2]}, zoneinfo says {shown}")
        n, unit = (count(label), label.split(" ", 1)[1]) if label != "Reference" else (0, "")
        if unit == "months":  # its UTC date from the classic run, at the time of day
            d = date(1970, 1, 1) + timedelta(days=int(classic[label][0]) // 86400)
            expected = int(datetime(d.year, d.month, d.day, h, m, s, tzinfo=tz).timestamp())
        elif unit in ("weeks", "days"):
            days = n * (7 if unit == "weeks" else 1)
            if "--count-first-day" in options:
                days -= 1 if n > 0 else -1
            try:
                expected = int((start + timedelta(days=days)).timestamp())
            except OverflowError:  # past the year 9999, where Python's calendar ends
                continue
        elif unit in seconds:
            expected = reference + n * seconds[unit]
        else:  # the reference, or planet years
            expected = reference + round(n * planets.get(unit.split(" ")[0], 0) * 86400)
        if ts != expected:
            failures.append(f"{where}: {ts}, expected {expected}")

for n in range(365):  # both transitions, the gap and the fold, and every day between
    counting = ["--count-first-day", "--month-end=clamp"] if n % 2 else []
    families = ["--series=all"] if n % 6 == 1 else []  # some 800 lines a run
    check("Europe/Berlin", date(2021, 1, 1) + timedelta(days=n), "02:30:00", *counting, *families)
check("Europe/Berlin", date(2022, 10, 30), "02:30:00", "--before", "--series=all")
check("Europe/Berlin", date(2023, 3, 26), "02:30:00", "--before", "--count-first-day")
check("Asia/Kolkata", date(2000, 1, 31), "23:59:59")
check("Asia/Kathmandu", date(1986, 1, 1), "00:10:00")  # +5:30 until 00:15, then +5:45
check("Australia/Lord_Howe", date(2021, 4, 4), "01:45:00")  # a half-hour fold
check("Pacific/Apia", date(2011, 12, 30))  # a day the zone skipped
check("Asia/Tokyo", date(9999, 12, 31), "08:59:59")  # east of UTC, past the end of 9999
check("America/New_York", date(1400, 1, 1), "00:00:00", "--before")  # local mean time
print("\n".join(failures[:20]) or "zone rules agree with zoneinfo")
sys.exit(1 if failures else 0)
