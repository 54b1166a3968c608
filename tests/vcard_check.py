#!/usr/bin/python3
"""Each card's dates and names as vobject and dateutil read them, against the references that
rondelo --contacts makes of them (the reference line of each, in JSON).
Usage: vcard_check.py path/to/rondelo DIRECTORY (its *.vcf files and its vdirs)"""
import glob, json, os, re, subprocess, sys
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


def expected(path):
    with open(path, encoding='utf-8') as file:
        cards = list(vobject.readComponents(file, allowQP=True))
    for card in cards:
        name, lines = card_name(card), list(card.getChildren())
        labels = {l.group.upper(): stringToTextValues(l.value, listSeparator=None)[0]
                  for l in lines if l.name == 'X-ABLABEL' and l.group}
        for line in lines:
            value = shown(line) if line.name in KINDS else None
            if value is None:
                continue
            kind, label = KINDS[line.name], labels.get((line.group or '').upper(), '_$!<Other>!$_')
            if line.name == 'X-ABDATE' and label == '_$!<Anniversary>!$_':
                kind = 'anniversary'
            label = {'birthday': None, 'anniversary': 'anniversary', 'death': 'died'}.get(kind, label)
            label = re.sub(r'^_\$!<(.*)>!\$_$', lambda m: m.group(1).lower(), label or '')
            yield name + (' (%s)' % label if label else ''), value, line.params.get('TZ', ['UTC'])[0]


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
    if got != want or not want:
        print('rondelo read:', *got, 'vobject read:', *want, sep='\n', file=sys.stderr)
        sys.exit(1)
    print('%d dates in %d files agree' % (len(want), len(paths) + len(vdirs)))


main(*sys.argv[1:])
