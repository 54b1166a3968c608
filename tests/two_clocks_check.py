#!/usr/bin/python3
"""Two clocks against zoneinfo: a date with an offset or a zone of its own is that instant,
counted on the clock of the run's zone (or a file line's ZONE) and shown on --show-in's, in CSV,
JSON and text alike. argv[1] is rondelo."""
import json, subprocess, sys
from datetime import datetime, timedelta, timezone
from zoneinfo import ZoneInfo

from dateutil.relativedelta import relativedelta

RONDELO, failures = sys.argv[1], []
ENV = {"TZ": "UTC", "LC_ALL": "C", "RONDELO_CONFIG": ""}

def run(*args, stdin=None):
    done = subprocess.run([RONDELO, *args], input=stdin, capture_output=True, text=True, env=ENV)
    if done.returncode or done.stderr:
        failures.append(f"{' '.join(args)}: status {done.returncode}, {done.stderr!r}")
    return done.stdout.splitlines()

def written(text):
    """The instant a written date names: at its offset, else in its bracketed zone (fold=0)."""
    plain, _, zone = text.partition("[")
    if plain.endswith("Z") or plain[-6] in "+-":
        return datetime.fromisoformat(plain.replace("Z", "+00:00"))
    return datetime.fromisoformat(plain).replace(tzinfo=ZoneInfo(zone.rstrip("]")))

def expected(text, counted, shown):
    """(unix, local, zone) of the reference, 10 years, 1000 weeks and 100K hours after it."""
    start = written(text).astimezone(timezone.utc)  # Python adds hours to an aware time on its clock
    wall = start.astimezone(ZoneInfo(counted)).replace(tzinfo=None)  # the reading counted from
    at = [start, (wall + relativedelta(years=10)).replace(tzinfo=ZoneInfo(counted)),
          (wall + timedelta(weeks=1000)).replace(tzinfo=ZoneInfo(counted)), start + timedelta(hours=100000)]
    return [(int(t.timestamp()), t.astimezone(ZoneInfo(shown)).isoformat(), shown) for t in at]

def check(text, counted, shown, zone_args, dates=None):
    args = ["--units=years,weeks,hours", "--series=round", "--until=9000-01-01", *zone_args]
    source = ["--dates=-"] if dates else [text]
    got = [(o["unix"], o["local"], o["zone"]) for o in map(json.loads, run("--format=json", *args, *source, stdin=dates))]
    want = expected(text, counted, shown)
    keep = [g for g in got if g[0] in {w[0] for w in want}]
    if keep != want:
        failures.append(f"{text} counted in {counted}, shown in {shown}: {keep}, expected {want}")
    # The CSV's date and the text's date, time and abbreviation are the same clock's.
    for csv, line, (unix, local, zone) in zip(run("--format=csv", *args, *source, stdin=dates),
                                              run("--format=text", *args, *source, stdin=dates), got):
        t = datetime.fromtimestamp(unix, ZoneInfo(zone))
        if csv.split(",")[1] != t.strftime("%a %b %e %H:%M:%S %Y") or \
                not line.startswith(t.strftime("%a %Y-%m-%d %H:%M:%S ") + f"{t.tzname():<5}  "):
            failures.append(f"{text} shown in {zone}: {csv!r} and {line!r} at {t}")

for text in ["1990-05-17T14:30+02:00", "1990-05-17T12:30Z", "1990-05-17T08:30-04:00",
             "1990-05-17T14:30[Europe/Berlin]", "1990-05-17T14:30+02:00[Europe/Berlin]",
             "2021-10-31T02:30+01:00[Europe/Berlin]", "2021-10-31T02:30+02:00[!Europe/Berlin]",
             "2021-03-28T02:30[Europe/Berlin]", "1986-01-01T00:10[Asia/Kathmandu]"]:
    for counted in ("America/New_York", "Europe/Berlin", "Australia/Lord_Howe"):
        check(text, counted, counted, [f"--zone={counted}"])
        check(text, counted, "Asia/Tokyo", [f"--zone={counted}", "--show-in=Asia/Tokyo"])
    # A file's line is counted on its ZONE's clock, whatever the run's zone, and shown in --show-in's.
    check(text, "Pacific/Apia", "Asia/Kolkata", ["--zone=UTC", "--show-in=Asia/Kolkata"],
          f"{text}\tA\tPacific/Apia\n")

print("\n".join(failures[:20]) or "two clocks agree with zoneinfo")
sys.exit(1 if failures else 0)
