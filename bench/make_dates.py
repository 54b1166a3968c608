#!/usr/bin/env python3
"""Writes a file of references for rondelo --dates: dates 1900 to 2025, random times of day, a
dozen zones (every eighth line without a zone column). Usage: make_dates.py COUNT [SEED]"""
import random
import sys

ZONES = ["Europe/Berlin", "America/New_York", "Asia/Kolkata", "Asia/Kathmandu", "Australia/Sydney",
         "America/Sao_Paulo", "Africa/Cairo", "Asia/Tokyo", "Europe/London", "Pacific/Auckland",
         "America/Los_Angeles", "UTC"]

def main():
    count = int(sys.argv[1])
    rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 1)
    out = sys.stdout
    for i in range(count):
        year, month, day = rng.randint(1900, 2025), rng.randint(1, 12), rng.randint(1, 28)
        when = f"{year:04d}-{month:02d}-{day:02d}T{rng.randint(0, 23):02d}:{rng.randint(0, 59):02d}"
        zone = "" if i % 8 == 0 else "\t" + rng.choice(ZONES)
        out.write(f"{when}\tPerson {i}{zone}\n")

main()
