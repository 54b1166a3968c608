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


def kind_of(line, labels):
    """The kind of a line's date, and the label rondelo shows after the name."""
    kind, label = KINDS[line.name], labels.get((line.group or '').upper(), '_$!<Other>!$_')
    if line.name == 'X-ABDATE' and label == '_$!<Anniversary>!$_':
        kind = 'anniversary'
    label = {'birthday': None, 'anniversary': 'anniversary', 'death': 'died'}.get(kind, label)
    return kind, re.sub(r'^_\$!<(.*)>!\$_$', lambda m: m.group(1).lower(), label or '')


def person(card, lines, labels):
    """Who a card's person is to a spouse: family and first given name, UID, spouses named."""
    n = card.contents.get('n', [None])[0]
    words = card_name(card).split(' ')
    first = lambda part: (part[0] if isinstance(part, list) else part).split(' ')[0] if part else ''
    family = (' '.join(n.value.family) if isinstance(n.value.family, list) else n.value.family) if n else ''
    spouses = [l.value for l in lines if l.name == 'RELATED' and
               'SPOUSE' in ','.join(l.params.get('TYPE', [])).upper().split(',')]
    spouses += [l.value for l in lines if l.name == 'X-ABRELATEDNAMES' and
                re.sub(r'^_\$!<(.*)>!\$_$', r'\1', labels.get((l.group or '').upper(), '')).lower() in ('spouse', 'partner')]
    return {'family': family or words[-1], 'given': (first(n.value.given) if n else '') or words[0],
            'uid': card.contents['uid'][0].value if 'uid' in card.contents else None, 'spouses': spouses}


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
            if value is None:
                continue
            label = kind_of(line, labels)[1]
            yield dict(name=card_name(card), label=label, value=value, zone=line.params.get('TZ', ['UTC'])[0],
                       **person(card, lines, labels))


def couples(dates):
    """A book's dates as rondelo gives them: its anniversaries last, two of one wedding one."""
    weddings = [d for d in dates if d['label'] == 'anniversary']
    names = lambda a, b: any(s in (b['name'], b['given'], b['uid'], 'urn:uuid:%s' % b['uid']) for s in a['spouses'])
    partner = {}
    for rule in (lambda a, b: names(a, b) or names(b, a), lambda a, b: a['family'] == b['family']):
        for i, a in enumerate(weddings):
            for j, b in enumerate(weddings[i + 1:], i + 1):
                if i not in partner and j not in partner and (a['value'], a['zone']) == (b['value'], b['zone']) and rule(a, b):
                    partner[i], partner[j] = j, i
    joined = [dict(w, name=' & '.join(sorted({w['name'], weddings[partner[i]]['name']})) if i in partner else w['name'])
              for i, w in enumerate(weddings) if partner.get(i, i + 1) > i]
    return [(d['name'] + (' (%s)' % d['label'] if d['label'] else ''), d['value'], d['zone'])
            for d in [d for d in dates if d['label'] != 'anniversary'] + joined]


def expected_yearly(paths, clamp):
    """Each date without a year of the books as (name, label, day) in 2027 to 2030 in UTC."""
    for path in paths:
        for card, lines, labels in cards_of(path):
            for line in lines:
                found = month_day(line) if line.name in KINDS else None
                if found and shown(line) is None:
                    kind, label = kind_of(line, labels)
                    name = card_name(card) + (' (%s)' % label if label else '')
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
        dates = couples([date for file in files for date in expected(file)])
        want += dates
        got += read(rondelo, path, dates)
        # The same cards the other way round: the same couples, named alike.
        cards = [c for f in files for c in re.findall(r'BEGIN:VCARD.*?END:VCARD\r?\n', open(f, encoding='utf-8').read(), re.S)]
        back = subprocess.run([rondelo, '-c', '-', '--kinds=anniversary', '--format=json', '--units=years'], env={'TZ': 'UTC'},
                              input=''.join(reversed(cards)), capture_output=True, text=True).stdout
        backwards = sorted(o['name'] for o in map(json.loads, back.splitlines()) if o['type'] == 8)
        if backwards != sorted(d[0] for d in dates if d[0].endswith('(anniversary)')):
            print(path, 'backwards:', *backwards, sep='\n', file=sys.stderr)
            sys.exit(1)
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
