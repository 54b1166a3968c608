#!/usr/bin/python3
"""rondelo's years, --every and ages against dateutil and zoneinfo; argv[1] is rondelo."""
import calendar, json, os, random, re, subprocess, sys
from datetime import datetime, timedelta, timezone
from fractions import Fraction
from zoneinfo import ZoneInfo

from dateutil.relativedelta import relativedelta

RONDELO, ENV = sys.argv[1], {**os.environ, "TZ": "UTC", "LC_ALL": "C"}
UNITS = {"years": 11, "months": 1, "weeks": 2, "days": 4, "hours": 5, "minutes": 6, "seconds": 7}
EXACT = {"hours": 3600, "minutes": 60, "seconds": 1}
PLANETS = {"Mercury": "87.969", "Venus": "224.701", "Mars": "686.98", "Jupiter": "4332.59",
           "Saturn": "10759.22", "Uranus": "30688.5", "Neptune": "60182"}  # days
PACE = {"years": 365.2425 * 86400, "months": 365.2425 * 7200, "weeks": 604800, "days": 86400,
        **EXACT, **{p + " years": float(d) * 86400 for p, d in PLANETS.items()}}
EPOCH = datetime(1970, 1, 1, tzinfo=timezone.utc)
failures = 0

def instant(zone, local):
    # fold=0: a reading that occurs twice is its first; one in a gap has the offset before it.
    return int((local.replace(tzinfo=ZoneInfo(zone)) - EPOCH).total_seconds())

def shown(zone, ts, low=1400):
    """The zone's reading of ts, None before the year low or past 9999."""
    try:
        local = (EPOCH + timedelta(seconds=ts)).astimezone(ZoneInfo(zone))
        return local if local.year >= low else None
    except OverflowError:
        return None

def when(zone, ts):
    """ts as a wall-clock WHEN of --from and --until, which must be outside every gap and fold."""
    local = shown(zone, ts, 1).replace(tzinfo=None)
    assert instant(zone, local) == instant(zone, local.replace(fold=1)) == ts, (zone, local)
    return local.isoformat()

def place(zone, ref, unit, n, clamp, first):
    """The instant of n units from the naive reading ref; None for a date outside 1400 to 9999."""
    if unit in EXACT:
        return instant(zone, ref) + n * EXACT[unit]
    if unit.endswith(" years"):
        days = Fraction(PLANETS[unit.split()[0]])
        return instant(zone, ref) + round(n * days * 86400)
    try:
        if unit in ("years", "months"):
            local = ref + relativedelta(**{unit: n})  # a day the month lacks is its last
            local += timedelta(days=0 if clamp else ref.day - local.day)
        else:
            days = n * (7 if unit == "weeks" else 1)
            local = ref + timedelta(days=days - first * (n > 0) + first * (n < 0))
    except (OverflowError, ValueError):  # past the year 9999
        return None
    return instant(zone, local) if 1400 <= local.year <= 9999 else None

def line(zone, ts, unit, count, age):
    name = unit[:-1] if abs(count) == 1 else unit
    return ts, shown(zone, ts).isoformat(), UNITS.get(unit, 10), f"{count} {name}", unit, count, age

def check(args, want):
    global failures
    out = subprocess.run([RONDELO, *args], capture_output=True, text=True, check=True, env=ENV)
    got = [(o["unix"], o["local"], o["type"], o["label"], o["unit"], o["count"], "age" in o)
           for o in map(json.loads, out.stdout.splitlines()) if o["type"] != 8]  # but the reference
    if got != want:
        failures += 1
        bad = next(i for i in range(len(got) + 1) if got[i:i + 1] != want[i:i + 1])
        print(f"FAIL {' '.join(args)}: {len(got)} lines, {len(want)} expected; first difference",
              f"at {bad}:", got[bad:bad + 1], want[bad:bad + 1])

def every(zone, ref, unit, step, sign=1, clamp=False, first=False, window=None):
    """The lines of every step units, moving away from ref, in window and the calendar."""
    low, high = window or (-2**63, 2**63 - 1)
    near = low - instant(zone, ref) if sign > 0 else instant(zone, ref) - high
    k = max(1, near // (step * EXACT[unit]) if unit in EXACT else 1)
    lines = []
    while (ts := place(zone, ref, unit, sign * k * step, clamp, first)) is not None:
        if sign > 0 and ts >= high or sign < 0 and ts < low:
            break
        if low <= ts < high and shown(zone, ts):
            lines.append(line(zone, ts, unit, sign * k * step, False))
        k += 1
    return lines

def command(zone, ref, sign=1, clamp=False, first=False, window=None):
    args = ["--format=json", f"--zone={zone}", ref.isoformat(), *["--before"] * (sign < 0),
            *["--month-end=clamp"] * clamp, *["--count-first-day"] * first]
    return args + ([f"--from={when(zone, window[0])}", f"--until={when(zone, window[1])}"]
                   if window else [])

def ages(zone, ref, at, clamp=False, first=False):
    """The whole units from ref to at, in every unit and the planets, led by - before ref."""
    sign = 1 if at >= instant(zone, ref) else -1
    lines = []
    for unit in [*UNITS, *(p + " years" for p in PLANETS)]:
        n = int(abs(at - instant(zone, ref)) / PACE[unit]) + 2
        while n > 0 and not ((p := place(zone, ref, unit, sign * n, clamp, first)) is not None
                             and (p <= at if sign > 0 else p >= at)):
            n -= 1
        lines.append(line(zone, at, unit, sign * n, True))
    return lines

# Years: 29 February with either rule, a reading in a gap and in a fold, near 1400 and 9999; every
# one of them in both directions, and the round family's.
for zone, ref in [("UTC", "2000-02-29T12:00"), ("Europe/Berlin", "2021-03-28T02:30"),
                  ("Europe/Berlin", "2021-10-31T02:30"), ("Asia/Tokyo", "9996-02-29T00:00"),
                  ("America/Los_Angeles", "1404-02-29T23:59:59")]:
    for clamp in (False, True):
        for sign in (1, -1):
            ref_at = datetime.fromisoformat(ref)
            args = command(zone, ref_at, sign, clamp)
            check(args + ["--every=1y"], every(zone, ref_at, "years", 1, sign, clamp))
            rounds = [n for n in every(zone, ref_at, "years", 10, sign, clamp)
                      if len(str(abs(n[5])).rstrip("0")) == 1]  # 10, 20 ... 8000
            check(args + ["--units=years"], rounds)

# Every N of each unit: whole calendar, counting the first day, back, and windows across DST.
ref = datetime(1990, 1, 31, 2, 30)
spring, autumn = instant("UTC", datetime(2030, 3, 29)), instant("UTC", datetime(2030, 10, 26))
for unit, step, choice in [
        ("days", 100, {"first": True}), ("days", 100, {"first": True, "sign": -1}),
        ("weeks", 2, {"first": True, "window": (spring - 86400 * 60, spring)}),
        ("days", 1, {"window": (spring - 86400 * 400, spring + 86400 * 2 + 5401)}),  # to 1:30:01Z
        ("months", 1, {"window": (spring - 86400 * 400, spring)}),
        ("months", 1, {"clamp": True, "sign": -1, "window": (0, spring)}),
        ("hours", 1, {"window": (spring + 1800, spring + 3 * 86400)}),  # from a milestone
        ("minutes", 30, {"window": (autumn, autumn + 3 * 86400)}),
        ("seconds", 10, {"window": (autumn + 3600, autumn + 7200)}),
        ("seconds", 7, {"sign": -1, "window": (-17987443200 - 7200, -17987443200 + 7200)})]:
    short = {"months": "mo", "minutes": "min"}.get(unit, unit[0])
    check(command("Europe/Berlin", ref, **choice) + [f"--every={step}{short}"],
          every("Europe/Berlin", ref, unit, step, **choice))

# Ages at a milestone's instant count it, and one second nearer the reference do not.
leap = datetime(2000, 2, 29)
for zone, ref, clamp, first in [("Europe/Berlin", ref, False, True), ("UTC", leap, False, False),
                                ("UTC", leap, True, False)]:
    for unit, n in [("years", 33), ("years", -1), ("months", 500), ("weeks", 2000),
                    ("days", -14000), ("hours", 350000), ("minutes", 21000000),
                    ("seconds", 1300000000), ("Mercury years", 170)]:
        at = place(zone, ref, unit, n, clamp, first)
        for ts in (at, at - 1 if n > 0 else at + 1):
            want = ages(zone, ref, ts, clamp, first)
            if ts == at and want[list(UNITS).index(unit) if unit in UNITS else 7][5] != n:
                print(f"FAIL the oracle's own {unit} age at {n}")
                failures += 1
            args = command(zone, ref, clamp=clamp, first=first) + ["--age", "--series=planets"]
            check(args + [f"--from={when(zone, ts)}"], want)

# The text format's age of each reference, in years, months and days as relativedelta counts
# them between the wall-clock readings ("to go" for a reference still to come), with the whole
# days beside it; references at random across the calendar and zones, at a few instants.
def counted(n, unit):
    return f"{n:,} {unit}{'s' * (n != 1)}"

def phrase(ref, at):
    apart = relativedelta(at, ref) if at >= ref else relativedelta(ref, at)
    parts = [counted(n, unit) for n, unit in
             ((apart.years, "year"), (apart.months, "month"), (apart.days, "day")) if n]
    return (", ".join(parts) or "0 days") + ("" if at >= ref else " to go")

random.seed(31)
zones = ["UTC", "Europe/Berlin", "Asia/Kolkata", "Australia/Lord_Howe", "America/New_York"]
def month_end_or_any():
    year, month = random.randint(1401, 9998), random.randint(1, 12)
    last = calendar.monthrange(year, month)[1]
    day = min(random.choice([1, 28, 29, 30, 31]), last) if random.random() < 0.5 else random.randint(1, last)
    return datetime(year, month, day, random.randint(10, 20), random.randint(0, 59))

refs = [(month_end_or_any(), random.choice(zones)) for _ in range(400)]
for at in ("2026-12-08T10:52:16", "2000-02-29T11:59", "1700-03-01T00:00", "9000-01-31T23:59"):
    dates = "".join(f"{r.isoformat()}\tP{i}\t{z}\n" for i, (r, z) in enumerate(refs))
    out = subprocess.run([RONDELO, "--format=text", "--age", "--units=days", "--zone=UTC", f"--from={at}",
                          "--dates=-"], input=dates, capture_output=True, text=True, env=ENV).stdout
    ts = instant("UTC", datetime.fromisoformat(at))
    for got, (ref, zone) in zip(out.splitlines(), refs):
        wall = shown(zone, ts).replace(tzinfo=None)
        want = [phrase(ref, wall), counted(abs(ages(zone, ref, ts)[3][5]), "day")]
        if re.split(r"  +", got)[1:3] != want:
            failures += 1
            print(f"FAIL the age of {ref} in {zone} at {at}: {got!r}, expected {want}")
    if len(out.splitlines()) != len(refs):
        failures += 1
        print(f"FAIL {len(out.splitlines())} age lines for {len(refs)} references")

sys.exit(1 if failures else 0)
