#!/usr/bin/env python3
"""What `rondelo --dates=FILE --from=FROM --until=UNTIL` writes, by a straightforward script with
datetime and zoneinfo: the yardstick of rondelo's throughput, and a second opinion on its lines.
Lines without a zone column are in UTC; every line of FILE must be good.
Usage: dates_reference.py FILE FROM UNTIL (FROM and UNTIL as YYYY-MM-DD, in UTC)"""
import sys
from datetime import datetime, timedelta, timezone
from zoneinfo import ZoneInfo

UTC = timezone.utc
EPOCH = datetime(1970, 1, 1, tzinfo=UTC)

# (format, type, bound, skipped, multiplier, seconds per counter) for each run of a series.
WEEK, DAY, HOUR, MINUTE = 604800, 86400, 3600, 60
FIXED = [
    ("%d weeks", 2, 10, (), 100, 100 * WEEK), ("%dK weeks", 3, 10, (), 1, 1000 * WEEK),
    ("%dK weeks", 3, 3, (), 10, 10000 * WEEK),
    ("%dK days", 4, 10, (7,), 1, 1000 * DAY), ("%dK days", 4, 10, (7,), 10, 10000 * DAY),
    ("%dK days", 4, 6, (), 100, 100000 * DAY),
    ("%dK hours", 5, 10, (5,), 10, 10000 * HOUR), ("%dK hours", 5, 10, (5,), 100, 100000 * HOUR),
    ("%dM hours", 5, 4, (), 1, 1000000 * HOUR),
    ("%dK minutes", 6, 10, (), 10, 10000 * MINUTE), ("%dK minutes", 6, 10, (6,), 100, 100000 * MINUTE),
    ("%dM minutes", 6, 10, (), 1, 1000000 * MINUTE), ("%dM minutes", 6, 10, (5, 6), 10, 10000000 * MINUTE),
    ("%dM minutes", 6, 6, (), 100, 100000000 * MINUTE),
    ("%dM seconds", 7, 10, (3, 6), 1, 1000000), ("%dM seconds", 7, 10, (3, 6), 10, 10000000),
    ("%dM seconds", 7, 10, (), 100, 100000000), ("%dG seconds", 7, 7, (6,), 1, 1000000000),
]

def unix(aware):
    return (aware - EPOCH) // timedelta(seconds=1)

def csv_field(text):
    return '"' + text.replace('"', '""') + '"' if ("," in text or '"' in text) else text

def lines(wall, zone, name, start, end):
    """The CSV lines of one reference whose instants lie in [start, end)."""
    def line(instant, kind, label):
        if start <= instant < end:
            shown = (EPOCH + timedelta(seconds=instant)).astimezone(zone)
            yield f"{instant},{shown.strftime('%a %b %e %H:%M:%S %Y')},{kind},{label},{csv_field(name)}\n"
    reference = unix(wall.replace(tzinfo=zone, fold=0))
    yield from line(reference, 8, "Reference")
    for years in [*range(10, 100, 10), *range(100, 1000, 100), *range(1000, 10000, 1000)]:
        if wall.year + years > 9999:
            break
        first = datetime(wall.year + years, wall.month, 1, wall.hour, wall.minute, wall.second)
        yield from line(unix((first + timedelta(days=wall.day - 1)).replace(tzinfo=zone, fold=0)),
                        11, f"{years} years")
    for months in range(100, 1001, 100):
        index = wall.year * 12 + wall.month - 1 + months
        if months % 12 == 0 or not 1400 <= index // 12 <= 9999:
            continue
        first = datetime(index // 12, index % 12 + 1, 1, wall.hour, wall.minute, wall.second)
        yield from line(unix((first + timedelta(days=wall.day - 1)).replace(tzinfo=zone, fold=0)),
                        1, f"{months} months")
    for form, kind, bound, skipped, multiplier, seconds in FIXED:
        for counter in range(1, bound):
            if counter in skipped:
                continue
            if kind <= 4:  # weeks and days are calendar days: the same time of day on the clock
                instant = unix((wall + timedelta(seconds=counter * seconds)).replace(tzinfo=zone, fold=0))
            else:
                instant = reference + counter * seconds
            yield from line(instant, kind, form % (counter * multiplier))

def main():
    path, start, end = sys.argv[1:4]
    start, end = (unix(datetime.fromisoformat(t).replace(tzinfo=UTC)) for t in (start, end))
    zones = {}
    out = sys.stdout
    with open(path, encoding="utf-8") as file:
        for row in file:
            when, name, *zone = row.rstrip("\n").split("\t")
            zone = zones.setdefault(zone[0], ZoneInfo(zone[0])) if zone else UTC
            out.writelines(lines(datetime.fromisoformat(when), zone, name, start, end))

main()
