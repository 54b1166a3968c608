#!/usr/bin/env python3
"""The orders and the window, over random references and options, against rondelo's own
unwindowed output as made: --sort is a stable sort of it by instant, a window [--from, --until)
is the lines inside it (at edges that are milestones themselves), --next=N is the first N of the
sorted window, calendars hold each UID once, and --before mirrors the exact-second units."""
import datetime
import random
import subprocess
import sys

RONDELO = sys.argv[1]
rng = random.Random(28)  # the same references on every run, so that a failure repeats
ZONES = ["UTC", "Europe/Berlin", "America/New_York", "Asia/Kathmandu", "America/Sao_Paulo",
         "Australia/Lord_Howe"]
FAMILIES = ["round", "repdigit", "sequence", "binary", "fibonacci", "planets"]
EVERY = ["", "", "100d", "1y", "7mo", "1000d"]
EPOCH = datetime.datetime(1970, 1, 1)


def run(args, dates):
    done = subprocess.run([RONDELO, "--dates=-", *args], input=dates, capture_output=True,
                          text=True, env={"TZ": "UTC", "SOURCE_DATE_EPOCH": "1700000000"})
    assert done.returncode == 0, (args, dates, done.stderr)
    return done.stdout.splitlines()


def instant(line):
    return int(line.split(",", 1)[0])


def when(seconds):
    return (EPOCH + datetime.timedelta(seconds=seconds)).strftime("%Y-%m-%dT%H:%M:%S")


def references():
    lines = []
    for _ in range(rng.randint(1, 3)):
        day = datetime.date(1900, 1, 1) + datetime.timedelta(days=rng.randrange(47000))
        lines.append(f"{day}T{rng.randrange(24):02}:{rng.randrange(60):02}\tP{len(lines)}"
                     f"\t{rng.choice(ZONES)}")
    lines.append(rng.choice(lines))  # a twin: the same line again
    return "\n".join(lines) + "\n"


def options():
    chosen = [f for f in FAMILIES if rng.random() < 0.3] or ["round"]
    args = ["--series=" + ",".join(chosen)]
    every = rng.choice(EVERY)
    return args + (["--every=" + every] if every else [])


def uids(calendar):
    found = [line for line in calendar if line.startswith("UID:")]
    assert len(found) == len(set(found)), "a UID twice"
    return found


def check_orders(dates, args):
    made = run(args, dates)
    by_time = sorted(made, key=instant)  # Python's sort is stable: ties stay as made
    assert run(args + ["--sort"], dates) == by_time, ("--sort", args)
    calendar = [instant(line) for line in by_time if -17987443200 <= instant(line) < 253402300800]
    low, high = sorted(rng.sample(calendar, 2))
    high += rng.choice([0, 1])
    window = ["--from=" + when(low), "--until=" + when(high)]
    inside = [line for line in made if low <= instant(line) < high]
    if low < high:
        assert run(args + window, dates) == inside, ("window", args, window)
    n = rng.randint(1, 8)
    ahead = [line for line in by_time if instant(line) >= low][:n]
    assert run(args + [window[0], f"--next={n}"], dates) == ahead, ("--next", args, n)
    sorted_uids = uids(run(args + [window[0], "--sort", "--ics"], dates))
    next_uids = uids(run(args + [window[0], f"--next={n}", "--ics"], dates))
    assert set(next_uids) <= set(sorted_uids), ("--next --ics", args, n)


def check_mirror(dates, args):
    exact = args + ["--units=hours,minutes,seconds"]
    forward = {(l.split(",")[3], l.split(",")[-1]): instant(l) for l in run(exact, dates)}
    for line in run(exact + ["--before"], dates):
        label, name = line.split(",")[3], line.split(",")[-1]
        if label.startswith("-") and (label[1:], name) in forward:
            start = forward[("Reference", name)]
            assert start - instant(line) == forward[(label[1:], name)] - start, (line, args)


for trial in range(40):
    dates, args = references(), options()
    check_orders(dates, args)
    check_mirror(dates, [args[0]])
print("40 trials: orders, windows, --next, UIDs and --before agree")
