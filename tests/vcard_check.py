#!/usr/bin/python3
"""Each card's dates and names as vobject and dateutil read them, against the references that
rondelo --contacts makes of them (the reference line of each, in JSON); and the dates without a
year, each year with --every=1y, against Python's calendar by both rules for 29 February.
Usage: vcard_check.py path/to/rondelo DIRECTORY (its *.vcf files and its vdirs)"""
import datetime, glob, json, os, re, subprocess, sys
import vobject
from dateutil.parser import isoparse
from vobject.icalendar import stringToTextValues

KINDS = {'BDAY': 'birthday', 'ANNIVERSARY': 'anniversary', 'X-ANNIVERSARY': 'anniversary',
         'X-ABDATE': 'other', 'DEATHDATE': 'death'}


def card_name(card):
    fn = card.contents.get('fn', [None])[0]
    if fn is not None and fn.value:
        return fn.value
    n = card.n.value
    words = lambda part: ' '.join(part) if isinstance(part, list) else part
    return ' '.join(part for part in (words(n.given), words(n.family)) if part)


def month_day(line):
    """A date without its year as (month, day): --MMDD, --MM-DD, or Apple's omitted year."""
    omitted = line.params.get('X-APPLE-OMIT-YEAR', [None])[0]
    value = line.value[len(omitted):].lstrip('-') if omitted and line.value.startswith(omitted) else line.value
    found = re.fullmatch(r'(?:--)?(\d\d)-?(\d\d)', value) if value != line.value or value.startswith('--') else None
    return (int(found.group(1)), int(found.group(2))) if found else None


def yearly_days(month, day, clamp, years):
    """The day in each year, 29 February as 28 February (clamp) or 1 March in a common year."""
    for year in years:
        try:
            yield datetime.date(year, month, day)
        except ValueError:
            yield datetime.date(year, 2, 28) if clamp else datetime.date(year, 3, 1)


def shown(line):
    """The value as the dump shows it; None for a date without its year, month or day."""
    value, params = line.value, line.params
    if params.get('VALUE', ['date'])[0].lower() not in ('date', 'date-time', 'date-and-or-time'):
        return None
    if value.startswith(params.get('X-APPLE-OMIT-YEAR', ['-'])[0]) or not re.match(r'\d{4}-?\d\d-?\d\d', value):
        return None
    when = isoparse(value)
    if when.tzinfo is not None:
        return '@%d' % when.timestamp()
    return when.isoformat() if 'T' in value else when.date().isoformat()


def named(card, line, labels):
    """The name a line of the card carries, its kind after it as rondelo shows it."""
    kind, label = KINDS[line.name], labels.get((line.group or '').upper(), '_$!<Other>!$_')
    if line.name == 'X-ABDATE' and label == '_$!<Anniversary>!$_':
        kind = 'anniversary'
    label = {'birthday': None, 'anniversary': 'anniversary', 'death': 'died'}.get(kind, label)
    label = re.sub(r'^_\$!<(.*)>!\$_$', lambda m: m.group(1).lower(), label or '')
    return card_name(card) + (' (%s)' % label if label else ''), kind


def cards_of(path):
    with open(path, encoding='utf-8') as file:
        for card in vobject.readComponents(file, allowQP=True):
            lines = list(card.getChildren())
            labels = {l.group.upper(): stringToTextValues(l.value, listSeparator=None)[0]
                      for l in lines if l.name == 'X-ABLABEL' and l.group}
            yield card, lines, labels


def expected(path):
    for card, lines, labels in cards_of(path):
        for line in lines:
            value = shown(line) if line.name in KINDS else None
            if value is not None:
                yield named(card, line, labels)[0], value, line.params.get('TZ', ['UTC'])[0]


def expected_yearly(paths, clamp):
    """Each date without a year of the books as (name, label, day) in 2027 to 2030 in UTC."""
    for path in paths:
        for card, lines, labels in cards_of(path):
            for line in lines:
                found = month_day(line) if line.name in KINDS else None
                if found and shown(line) is None:
                    name, kind = named(card, line, labels)
                    for day in yearly_days(*found, clamp, range(2027, 2031)):
                        yield name, kind, day.isoformat()


def read_yearly(rondelo, paths, clamp):
    run = subprocess.run([rondelo, '--kinds=birthday,anniversary,other,death', '--format=json',
                          '--every=1y', '--from=2027-01-01', '--until=2031-01-01',
                          '--month-end=' + ('clamp' if clamp else 'overflow')] +
                         ['--contacts=' + p for p in paths], capture_output=True, text=True, env={'TZ': 'UTC'})
    for line in map(json.loads, run.stdout.splitlines()):
        if line['count'] is None:
            assert line['local'].endswith('T00:00:00+00:00') and line['type'] == 11, line
            yield line['name'], line['label'], line['local'][:10]


def read(rondelo, path, want):
    """rondelo's references of path, each shown as the value of the date it came from is."""
    run = subprocess.run([rondelo, '--contacts=' + path, '--kinds=birthday,anniversary,other,death',
                          '--format=json', '--units=years'], capture_output=True, text=True, env={'TZ': 'UTC'})
    refs = [line for line in map(json.loads, run.stdout.splitlines()) if line['type'] == 8]
    for ref, (_, value, _) in zip(refs, want):
        shown = '@%d' % ref['unix'] if value.startswith('@') else ref['local'][:19 if 'T' in value else 10]
        yield ref['name'], shown, ref['zone']


def main(rondelo, directory):
    paths = sorted(glob.glob(os.path.join(directory, '*.vcf')))
    vdirs = sorted(set(os.path.dirname(p) for p in glob.glob(os.path.join(directory, '*', '*.vcf'))))
    want, got = [], []
    for path, files in [(p, [p]) for p in paths] + [(d, sorted(glob.glob(d + '/*.vcf'))) for d in vdirs]:
        dates = [date for file in files for date in expected(file)]
        want += dates
        got += read(rondelo, path, dates)
    for clamp in (False, True):  # a year's day without its year, each year, by either rule
        yearly = sorted(expected_yearly(paths, clamp))
        if sorted(read_yearly(rondelo, paths, clamp)) != yearly or not any('-02-29' in d for *_, d in yearly):
            print('rondelo\'s yearly days differ from', *yearly, sep='\n', file=sys.stderr)
            sys.exit(1)
    if got != want or not want:
        print('rondelo read:', *got, 'vobject read:', *want, sep='\n', file=sys.stderr)
        sys.exit(1)
    print('%d dates and %d yearly days in %d files agree' % (len(want), len(yearly), len(paths) + len(vdirs)))


main(*sys.argv[1:])
