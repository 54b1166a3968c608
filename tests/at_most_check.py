#!/usr/bin/python3
"""--at-most against an independent ranking: the lines of an uncapped run, ranked by the
documented notability order and cut per day, Monday week, month or year with zoneinfo, must be
the lines of the capped run, as made, with --sort and with --next, in Berlin and Auckland, where
some milestones fall just before and after midnight between a Sunday and a Monday.
Usage: at_most_check.py path/to/rondelo"""
import csv, datetime, random, re, subprocess, sys, tempfile
from zoneinfo import ZoneInfo

CELEBRATED = {'birthday', 'anniversary', 'memorial'}
FIBONACCI = {1597, 2584, 4181, 6765, 10946, 17711, 28657, 46368, 75025, 121393, 196418, 317811,
             514229, 832040, 1346269, 2178309, 3524578, 5702887, 9227465, 14930352, 24157817,
             39088169, 63245986, 102334155, 165580141, 267914296, 433494437, 701408733,
             1134903170, 1836311903, 2971215073}
PLANETS = ('Mercury', 'Venus', 'Mars', 'Jupiter', 'Saturn', 'Uranus', 'Neptune')


def book():
    """An address book of every kind of date, some on a Sunday evening or a Monday morning."""
    rng, cards = random.Random(30), []
    for i in range(36):
        day = datetime.datetime(1940, 1, 1) + datetime.timedelta(minutes=rng.randrange(40 * 525960))
        lines = ['FN:P%d' % i, 'BDAY;TZ=%s:%s' % (rng.choice(['Europe/Berlin', 'Pacific/Auckland',
                 'America/New_York']), day.strftime('%Y%m%dT%H%M'))]
        if i % 4 == 1:
            lines.append('ANNIVERSARY:%d%02d%02d' % (rng.randrange(1970, 2015), rng.randrange(1, 13), rng.randrange(1, 29)))
        if i % 6 == 2:
            lines += ['item1.X-ABDATE:%d-03-0%d' % (rng.randrange(1990, 2020), rng.randrange(1, 9)), 'item1.X-ABLabel:Firma']
        if i % 9 == 4:
            lines.append('DEATHDATE:%d%02d15' % (rng.randrange(1995, 2020), rng.randrange(1, 13)))
        if i % 5 == 3:
            lines[1] = 'BDAY:--%02d%02d' % (rng.randrange(1, 13), rng.randrange(1, 29))
        cards.append(lines)
    for zone in ('Europe/Berlin', 'Pacific/Auckland'):  # Sunday 23:30 and Monday 00:30
        cards += [['FN:Sun ' + zone, 'BDAY;TZ=%s:20000102T2330' % zone],
                  ['FN:Mon ' + zone, 'BDAY;TZ=%s:20000103T0030' % zone]]
    return ''.join('BEGIN:VCARD\nVERSION:4.0\n%s\nEND:VCARD\n' % '\n'.join(c) for c in cards)


def rank(label, name):
    """The documented notability of a line as (tier, larger count first)."""
    kind = re.search(r' \((anniversary|died|memorial|Firma)\)$', name)
    kind = {'died': 'death', 'Firma': 'other'}.get(kind.group(1), kind.group(1)) if kind else 'birthday'
    if label == 'Reference':
        return 0, 0
    if label in ('birthday', 'anniversary', 'other', 'death', 'memorial'):  # a yearly day
        return (2, 0) if kind in CELEBRATED else (4, 0)
    if label.startswith('2^'):
        return 6, 0
    if any(planet in label for planet in PLANETS):
        return 9, 0
    number, multiplier, unit = re.fullmatch(r'(\d+)([KMG]?) (\w+)', label).groups()
    count = int(number) * {'': 1, 'K': 10 ** 3, 'M': 10 ** 6, 'G': 10 ** 9}[multiplier]
    if unit.startswith('year') and kind in CELEBRATED:
        return (1 if count % 10 == 0 else 2), 0
    digits = str(count)
    if len(digits) >= 4 and len(set(digits)) == 1:
        return 5, 0
    if len(digits) >= 4 and '1234567890'.startswith(digits):
        return 8, 0
    if count in FIBONACCI:
        return 7, 0
    return (3 if re.fullmatch(r'10*', digits) else 4), -count


def period(unix, zone, span):
    local = datetime.datetime.fromtimestamp(unix, ZoneInfo(zone)).date()
    return {'d': local, 'w': local - datetime.timedelta(days=local.weekday()),
            'mo': (local.year, local.month), 'y': local.year}[span]


def capped(lines, zone, most, span):
    """The lines kept, as (unix, made) in the order made."""
    periods = {}
    for made, line in enumerate(lines):
        periods.setdefault(period(int(line[0]), zone, span), []).append((rank(line[3], line[4]), int(line[0]), made))
    kept = [p for group in periods.values() for p in sorted(group)[:most]]
    return sorted(kept, key=lambda p: p[2])


def run(rondelo, args):
    out = subprocess.run([rondelo] + args, capture_output=True, text=True, check=True, env={'TZ': 'UTC'})
    return list(csv.reader(out.stdout.splitlines()))


def main(rondelo):
    with tempfile.NamedTemporaryFile('w', suffix='.vcf') as vcf:
        vcf.write(book())
        vcf.flush()
        checked = 0
        for families in (['--series=all', '--every=1w'], ['--every=1y', '--units=years']):
            for zone in ('Europe/Berlin', 'Pacific/Auckland'):
                base = ['-c', vcf.name, '--kinds=birthday,anniversary,other,death,memorial',
                        '--zone=' + zone, '--from=2027-01-01', '--until=2028-01-01'] + families
                lines = run(rondelo, base)
                for most, span in ((1, 'd'), (2, 'w'), (3, 'w'), (1, 'mo'), (5, 'y')):
                    kept = [lines[made] for _, _, made in capped(lines, zone, most, span)]
                    by_time = sorted(kept, key=lambda l: int(l[0]))  # stable: ties as made
                    cap = base + ['--at-most=%d/%s' % (most, span)]
                    for got, want in ((run(rondelo, cap), kept), (run(rondelo, cap + ['--sort']), by_time),
                                      (run(rondelo, cap + ['--next=7']), by_time[:7])):
                        checked += 1
                        if got != want or len(kept) == len(lines):
                            print(' '.join(cap), 'gave', *got, 'not', *want, sep='\n', file=sys.stderr)
                            sys.exit(1)
    print('%d capped runs agree with the ranking' % checked)


main(*sys.argv[1:])
