#!/usr/bin/python3
"""A person's first screen: rondelo with standard output on a pseudo-terminal against the same
run piped. argv[1] is rondelo."""
import os, pty, subprocess, sys

RONDELO, failures = sys.argv[1], []
ENV = {"TZ": "Europe/Berlin", "LC_ALL": "C", "RONDELO_CONFIG": ""}
HINT = "rondelo: the next 10; --next=N for more, --format=csv for all of them\n"

def on_terminal(*args):
    """Standard output and status of a run whose standard output is a terminal; its stderr."""
    leader, follower = pty.openpty()
    done = subprocess.Popen([RONDELO, *args], stdout=follower, stderr=subprocess.PIPE, env=ENV, text=True)
    os.close(follower)
    shown = b""
    while True:
        try:
            chunk = os.read(leader, 65536)
        except OSError:  # EIO: the program has closed the terminal
            break
        if not chunk:
            break
        shown += chunk
    os.close(leader)
    err = done.stderr.read()
    return shown.decode().replace("\r\n", "\n"), done.wait(), err

def piped(*args):
    done = subprocess.run([RONDELO, *args], capture_output=True, text=True, env=ENV)
    return done.stdout, done.returncode, done.stderr

def same(what, got, want):
    if got != want:
        failures.append(f"{what}: {got!r}, expected {want!r}")

# A date alone: the next ten in text, and how to see more; piped, the CSV of every line.
date = "1990-05-17T14:30"
out, status, err = on_terminal(date)
same("a terminal's first screen", (out, status, err), piped("--format=text", "--next=10", date)[:2] + (HINT,))
same("piped, nothing changes", piped(date), piped("--format=csv", date))
# A window or an order of one's own keeps its lines, in text; a chosen format is kept.
for args in (["--sort"], ["--from=2030-01-01", "--until=2040-01-01"], ["--age", "--from=2030-01-01"], ["--before", "--next=3"]):
    same(f"a terminal with {args}", on_terminal(*args, date), piped("--format=text", *args, date))
same("a terminal with --format=json", on_terminal("--format=json", "--next=2", date),
     piped("--format=json", "--next=2", date))
# A window with nothing in it says so at a terminal, whatever the format, with the next line.
same("an empty window at a terminal", on_terminal("--format=csv", "--from=now", "--until=2027-06-01", date),
     ("", 0, "rondelo: no milestone until 2027-06-01; the next: 20M minutes on 2028-05-26\n"))

print("\n".join(failures) or "the first screen on a terminal and the same run piped agree")
sys.exit(1 if failures else 0)
