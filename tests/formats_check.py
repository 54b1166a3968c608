#!/usr/bin/python3
# rondelo's JSON read back by Python's json and its text read against zoneinfo and dateutil,
# both line by line against the CSV of the same run, over the zones and edges of the zone check.
# Usage: formats_check.py path/to/rondelo
import csv, json, subprocess, sys, tempfile, time, unicodedata
from datetime import datetime
from zoneinfo import ZoneInfo
from dateutil.relativedelta import relativedelta

rondelo, failures, C = sys.argv[1], [], {"LC_ALL": "C", "TZ": "UTC"}
english, german = ("Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"), ("Mo", "Di", "Mi", "Do", "Fr", "Sa", "So")
# Names of other widths: each two columns wide, and of one to three columns with combining marks.
japanese, hindi = "月火水木金土日", ("सोम", "मंगल", "बुध", "गुरु", "शुक्र", "शनि", "रवि")

def run(fmt, args, env=C, stdin=None):
    done = subprocess.run([rondelo, "--format=" + fmt, *args], input=stdin, capture_output=True,
                          text=True, env=env)
    return done.stdout.splitlines(), done.stderr

def wall(ts, zone):  # None outside the years 1400 to 9999, as rondelo shows them
    try:
        shown = datetime.fromtimestamp(ts, ZoneInfo(zone))
        return shown if shown.year >= 1400 else None
    except (OverflowError, ValueError):
        return None

def count(label):  # "-10K days" is (-10000, "days"), "2^30 seconds" (1073741824, "seconds")
    number, unit = label.split(" ", 1)
    if "^" in number:
        return 2 ** int(number.split("^")[1]), unit
    scale = {"K": 10**3, "M": 10**6, "G": 10**9}.get(number[-1], 1)
    return int(number.rstrip("KMG")) * scale, unit

def counted(n, unit):
    return f"{n} {unit}" if n == 1 else f"{n} {unit}s"

def near(apart):  # under two days: the two largest whole units
    a, names = abs(apart), {86400: "day", 3600: "hour", 60: "minute", 1: "second"}
    big, small = (86400, 3600) if a >= 86400 else (3600, 60) if a >= 3600 else (60, 0) if a >= 60 else (1, 0)
    text = counted(a // big, names[big])
    if small and a % big // small:
        text += " " + counted(a % big // small, names[small])
    return "now" if apart == 0 else f"in {text}" if apart > 0 else f"{text} ago"

def quantity(label):  # "10K days" is "10,000 days", "1G seconds" "1 billion seconds"
    number, unit = label.lstrip("-").split(" ", 1)
    n = count(label.lstrip("-"))[0]
    if "^" in number:
        return f"{number} {unit}"
    for scale, word in (10**9, "billion"), (10**6, "million"):
        if n >= scale and n % scale == 0:
            return f"{n // scale:,} {word} {unit}"
    return f"{n:,} {unit}"

def title(label, name, age):  # a plain date's, or a dated line's, in English
    if label == "Reference":
        return name or "The date"
    if label.startswith("-"):
        return f"{quantity(label)} to {name}" if name else f"{quantity(label)} to go"
    n, unit = count(label)
    if unit in ("year", "years") and not age:
        ending = "th" if n % 100 in (11, 12, 13) else {1: "st", 2: "nd", 3: "rd"}.get(n % 10, "th")
        return f"{name}'s {n:,}{ending} birthday" if name else f"{n:,}{ending} birthday"
    return f"{name} is {quantity(label)} old" if name else f"{quantity(label)} old"

def distance(ts, zone, now):
    if abs(ts - int(now)) < 172800:
        return near(ts - int(now))
    then, today = (datetime.fromtimestamp(t, ZoneInfo(zone)).date() for t in (ts, now))
    days, apart = (then - today).days, relativedelta(max(then, today), min(then, today))
    months = apart.years * 12 + apart.months
    n, unit = (abs(days), "days") if months < 2 else (months, "months") if months < 24 else (apart.years, "years")
    return f"in {n:,} {unit}" if days > 0 else f"{n:,} {unit} ago"

def check_json(where, ts, shown, kind, label, name, zone, line, age):
    o = json.loads(line)
    keys = ["unix", "local"][:1 + bool(shown)] + ["zone", "type", "label"] + \
           ["unit", "count"] * (label != "Reference") + ["name"] * bool(name) + ["title"]
    if list(o) != keys or (o["unix"], o["zone"], str(o["type"]), o["label"], o.get("name", "")) != \
            (ts, zone, kind, label, name) or ("count" in o and (o["count"], o["unit"]) != count(label)) or \
            o["title"] != title(label, name, age):
        failures.append(f"{where}: {line} against {ts},{shown},{kind},{label}")
    elif shown:
        local = datetime.fromisoformat(o["local"])
        if local.timestamp() != ts or local.strftime("%a %b %e %H:%M:%S %Y") != shown or \
                local.utcoffset() != wall(ts, zone).utcoffset():
            failures.append(f"{where}: local {o['local']} against {ts},{shown}")

def width(text):  # terminal columns: none for a combining mark, two for a wide character
    return sum(0 if unicodedata.category(c) in ("Mn", "Me", "Cf") else
               1 + (unicodedata.east_asian_width(c) in "WF") for c in text)

def pad(text, columns):
    return text + " " * (columns - width(text))

# A text line: the date's columns as wide as the widest weekday makes them, the distance as wide
# as "23 hours 59 minutes ago", then the title of its moment.
def check_text(where, ts, shown, titled, zone, line, days, now):
    w, at = wall(ts, zone), max(map(width, days)) + 26
    date = f"{pad(days[w.weekday()], at - 26)} {w:%Y-%m-%d %H:%M:%S} {w.tzname()}" if w else \
        'after the year 9999' if ts > 0 else 'before the year 1400'
    far = {distance(ts, zone, t) for t in now} if w else {line[at + 2:at + 25].rstrip()}
    if (w is None) != (shown is None) or \
            line not in [pad(date, at) + "  " + pad(d, 23) + "  " + titled for d in far]:
        failures.append(f"{where}: {line!r}, expected {date!r} {far} {titled!r}")

# The lines of one reference at one instant, in the order of their first: one text line each.
def moments(rows, age):
    grouped = {}
    for row in rows:
        key = (row[0], row[4], len(grouped)) if row[3] == "Reference" or age else (row[0], row[4])
        grouped.setdefault(key, []).append(row)
    return list(grouped.values())

# One run in the three formats: JSON every field, text every column, against the CSV.
def compare(where, args, zones, days=english, env=C, stdin=None, with_json=True):
    (table, err), named, age = run("csv", args, stdin=stdin), "--dates=-" in args, "--age" in args
    (lines, json_err) = run("json", args, stdin=stdin) if with_json else ([None] * len(table), err)
    before = int(time.time())
    (text, text_err), after = run("text", args, env, stdin), int(time.time())
    rows = [(int(f[0]), f[1] if len(f) == 4 + named else None, f[-2 - named], f[-1 - named], f[-1] if named else "")
            for f in csv.reader(table)]
    groups = moments(rows, age)
    if not len(table) == len(lines) or len(text) != len(groups) or err != json_err or \
            sorted(err.splitlines()) != sorted(text_err.splitlines()):
        failures.append(f"{where}: {len(lines)} JSON, {len(text)} text, {len(table)} CSV lines, {len(groups)} moments")
    for (ts, shown, kind, label, name), line in zip(rows, lines):
        if line is not None:
            check_json(where, ts, shown, kind, label, name, zones[name], line, age)
    for group, row in zip(groups, text):
        ts, shown, _, label, name = group[0]
        titled = " · ".join([title(label, name, age)] + [quantity(other[3]) for other in group[1:]])
        check_text(where, ts, shown, titled, zones[name], row, days, (before, after))
    return len(table)

for zone, when, *options in [
        ("Europe/Berlin", "2021-03-28T02:30"), ("Europe/Berlin", "2021-10-31T02:30"),  # gap, fold
        ("Asia/Kolkata", "2000-01-31T23:59:59"), ("Asia/Kathmandu", "1986-01-01T00:10"),
        ("Australia/Lord_Howe", "2021-04-04T01:45"), ("Pacific/Apia", "2011-12-30T00:00"),
        ("Asia/Tokyo", "9999-12-31T08:59:59"), ("America/New_York", "1400-01-01T00:00", "--before")]:
    date, clock = when.split("T")
    compare(f"{zone} {when}", ["--zone=" + zone, "--time=" + clock, *options, *date.split("-")], {"": zone})

# Each family in each unit and --every in each unit, forward from the calendar's start and back
# from its end, in UTC and in zones whose abbreviations are numbers: each label the calendar
# allows is made.
families, units = ("round", "repdigit", "sequence", "binary", "fibonacci", "planets"), \
    ("years", "months", "weeks", "days", "hours", "minutes", "seconds")
spans = ["100y", "1000mo", "10000w", "100000d", "1000000h", "10000000min", "1000000000s"]
for zone in ("UTC", "Asia/Kathmandu", "America/Sao_Paulo"):
    chosen = [[f"--series={f}", f"--units={u}"] for f in families for u in units] if zone == "UTC" else [["--series=all"]]
    for way, date in ([], "1400 1 2"), (["--before"], "9999 12 30"):
        for extra in *chosen, *(["--every=" + span] for span in spans):
            compare(f"{zone} {' '.join(extra + way)} {date}", ["--zone=" + zone, *extra, *way, *date.split()],
                    {"": zone}, with_json=False)

# References whose milestones fall around now, in zones a day apart, named as JSON must escape,
# with German weekday names from LC_TIME.
now, names = time.time(), ['Anna "A", 1', "back\\slash", "Ünïcødé 🎉", "a/b <c> & 'd'", "Bo"]
zones = {f"{names[k % 5]} {k}": ("Pacific/Kiritimati", "Pacific/Pago_Pago")[k % 2] for k in range(-600, 601)}
dates = "".join(f"{datetime.fromtimestamp(now + (int(n.split()[-1]) * 25 - 24000) * 3600, ZoneInfo(z)):%Y-%m-%dT%H:%M:%S}"
                f"\t{n}\t{z}\n" for n, z in zones.items()) + "9999-12-31T23:00\tLate\tUTC\n"
with tempfile.TemporaryDirectory() as locales:
    subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8", locales + "/de_DE.UTF-8"], capture_output=True)
    # glibc's setlocale and newlocale lose their copy of LOCPATH, which a sanitizer build sees.
    open(locales + "/glibc.supp", "w").write("leak:argz_add_sep\n")
    env = {"LOCPATH": locales, "LANG": "C", "LC_TIME": "de_DE.UTF-8", "TZ": "UTC",
           "LSAN_OPTIONS": f"suppressions={locales}/glibc.supp:print_suppressions=0"}
    if compare("dates", ["--dates=-", "--from=-30mo", "--until=+30mo"], {**zones, "Late": "UTC"}, german, env, dates) < 5000:
        failures.append("too few lines around now")
    # Lines that show their date and lines that cannot, under names of display widths unlike
    # their lengths.
    for locale, days in ("ja_JP", japanese), ("hi_IN", hindi):
        subprocess.run(["localedef", "-i", locale, "-f", "UTF-8", f"{locales}/{locale}.UTF-8"], capture_output=True)
        compare(locale, ["--zone=Asia/Tokyo", "9000", "1", "1"], {"": "Asia/Tokyo"}, days,
                {**env, "LC_TIME": locale + ".UTF-8"}, with_json=False)
# A message comes after the line it is about, though lines go out in blocks.
merged = subprocess.run([rondelo, "--format=json", "--dates=-", "--from=9999-12-31"], input=dates,
                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True).stdout.splitlines()
if merged[1:3] != ['{"unix":253462777200,"zone":"UTC","type":2,"label":"100 weeks","unit":"weeks","count":100,"name":"Late","title":"Late is 100 weeks old"}',
                   "rondelo: Late: 100 weeks falls after the year 9999 and cannot be shown"]:
    failures.append(f"messages and lines: {merged[:3]}")

print("\n".join(failures[:20]) or "JSON and text agree with the CSV, zoneinfo and dateutil")
sys.exit(1 if failures else 0)
