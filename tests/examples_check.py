#!/usr/bin/python3
# Runs every example of the README and the manual page that shows its output (a line led by
# "$ " and the lines after it) and compares what it prints with what the text shows: byte for
# byte, or by shape (as many lines, each a report line) where the clock decides the output.
# Usage: examples_check.py BUILD_DIR README GROFF MANPAGE
import os, re, subprocess, sys

LINE = re.compile(r"-?\d+,(Mon|Tue|Wed|Thu|Fri|Sat|Sun) [A-Z][a-z]{2} [ 1-3]\d \d\d:\d\d:\d\d "
                  r"\d{4},(1[01]|[1-8]),(Reference|-?\d+[KMG]? (year|month|week|day|hour|minute|second)s)(,.*)?")
TEXT = re.compile(r"[A-Z][a-z]{2} \d{4}-\d\d-\d\d \d\d:\d\d:\d\d [A-Z+-][A-Za-z0-9]+ +"
                  r"(today|tomorrow|yesterday|in [\d,]+ \w+|[\d,]+ \w+ ago) +\S.*")
build, readme, groff, manual = sys.argv[1:5]
# The files that examples read, such as people.tsv, in the directory they run in.
examples_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "examples")


def examples(lines, ends):
    """(command, lines shown) for each "$ " line, its output running to the next line ends() marks."""
    found, current = [], None
    for line in lines:
        if line.lstrip().startswith("$ "):
            indent = len(line) - len(line.lstrip())
            current = (line.lstrip()[2:], [])
            found.append(current)
        elif ends(line):
            current = None
        elif current is not None:
            current[1].append(line[indent:])
    return found


def wrong(command, shown):
    env = dict(os.environ, PATH=build + ":" + os.environ["PATH"], TZ="Europe/Berlin", LC_ALL="C")
    run = subprocess.run(["/bin/sh", "-c", command], capture_output=True, text=True, env=env,
                         cwd=examples_dir)
    got = run.stdout.splitlines()
    if run.returncode or run.stderr:
        return f"status {run.returncode}, {run.stderr!r}"
    if not re.search(r"now|--next|=[+-]\d", command):
        return got != shown and f"prints {got}"
    shaped = lambda l: LINE.fullmatch(l) or TEXT.fullmatch(l)
    return (len(got) != len(shown) or not all(shaped(l) for l in got + shown)) and \
        f"prints {got}, not in the shape shown"


page = subprocess.run([groff, "-man", "-Tascii", "-P-cbou", manual], capture_output=True,
                      text=True, check=True).stdout.splitlines()
cases = examples(open(readme, encoding="utf-8").read().splitlines(), lambda l: l.startswith("```"))
cases += examples(page, lambda l: not l.strip())
failed = [f"FAIL $ {c}: {w}" for c, shown in cases if (w := wrong(c, shown))]
print("\n".join(failed + [f"{len(cases) - len(failed)} of {len(cases)} examples print what they show"]))
sys.exit(bool(failed) or not cases)
