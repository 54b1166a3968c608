#!/usr/bin/python3
"""Runs every example of the README and the manual page that shows its output, a line led by
"$ " and the lines after it, and compares what it prints with what the text shows: byte for byte,
or by shape (as many lines, each a report line) where the output depends on the clock.
Usage: examples_check.py BUILD_DIR README GROFF MANPAGE"""
import os
import re
import subprocess
import sys

REPORT_LINE = re.compile(
    r"-?\d+,(Mon|Tue|Wed|Thu|Fri|Sat|Sun) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
    r"[ 1-3]\d \d\d:\d\d:\d\d \d{4},[1-8],(Reference|-?\d+[KMG]? (months|weeks|days|hours|minutes|seconds))(,.*)?")


def readme_examples(path):
    """(command, expected lines) of each "$ " line in the fenced blocks of a Markdown file."""
    examples, inside, current = [], False, None
    for line in open(path, encoding="utf-8").read().splitlines():
        if line.startswith("```"):
            inside, current = not inside, None
        elif inside and line.startswith("$ "):
            current = (line[2:], [])
            examples.append(current)
        elif current is not None:
            current[1].append(line)
    return examples


def manual_examples(groff, path):
    """The same for the manual page as groff renders it: an example ends at a blank line."""
    text = subprocess.run([groff, "-man", "-Tascii", "-P-cbou", path], capture_output=True,
                          text=True, check=True).stdout
    examples, indent = [], None
    for line in text.splitlines():
        stripped = line.lstrip(" ")
        if stripped.startswith("$ "):
            indent = len(line) - len(stripped)
            examples.append((stripped[2:], []))
        elif indent is not None and line.strip():
            examples[-1][1].append(line[indent:])
        else:
            indent = None
    return examples


def depends_on_the_clock(command):
    return "now" in command or "--next" in command or re.search(r"=[+-]\d", command)


def check(build, source, command, expected):
    environment = dict(os.environ, PATH=build + ":" + os.environ["PATH"], TZ="Europe/Berlin",
                       LC_ALL="C")
    run = subprocess.run(["/bin/sh", "-c", command], capture_output=True, text=True,
                         env=environment)
    got = run.stdout.splitlines()
    if run.returncode != 0 or run.stderr:
        wrong = f"status {run.returncode}, standard error {run.stderr!r}"
    elif not depends_on_the_clock(command):
        wrong = got != expected and f"prints {got}, the text shows {expected}"
    else:
        shapes = [bool(REPORT_LINE.fullmatch(line)) for line in got + expected]
        wrong = (len(got) != len(expected) or not all(shapes)) and \
            f"prints {got}, not in the shape of {expected}"
    if wrong:
        print(f"FAIL {source}: $ {command}: {wrong}")
    return not wrong


def main():
    build, readme, groff, manual = sys.argv[1:5]
    examples = [("README.md", *e) for e in readme_examples(readme)]
    examples += [("rondelo(1)", *e) for e in manual_examples(groff, manual)]
    passed = sum(check(build, source, command, lines) for source, command, lines in examples)
    print(f"{passed} of {len(examples)} examples print what the text shows")
    sys.exit(passed != len(examples) or len(examples) == 0)


main()
