#!/usr/bin/python3
# The person's language: every catalog complete against the texts the sources hold; titles in
# German, French and Spanish from the installed program under locales made here; English for C,
# for an unknown language and for a locale the machine lacks; CSV the same in every locale.
# Usage: language_check.py BUILD_DIR SOURCE_DIR XGETTEXT_OPTION... -- SOURCE...
import json, os, re, subprocess, sys, tempfile

build, source = sys.argv[1:3]
options, sources = sys.argv[3:sys.argv.index("--")], sys.argv[sys.argv.index("--") + 1:]
failures = []
languages = [l.strip() for l in open(os.path.join(source, "po", "LINGUAS")) if l.strip() and not l.startswith("#")]
run = lambda *args, **kw: subprocess.run(args, capture_output=True, text=True, **kw)

with tempfile.TemporaryDirectory() as work:
    fresh = os.path.join(work, "fresh.pot")
    run("xgettext", *options, "-o", fresh, *sources, cwd=source, check=True)
    for catalog in ["rondelo.pot"] + [l + ".po" for l in languages]:
        path = os.path.join(source, "po", catalog)
        missing = run("msgcmp", *["--use-untranslated"] * catalog.endswith(".pot"), path, fresh)
        if missing.returncode:
            failures.append(f"{catalog} lacks texts of the sources: {missing.stderr[:300]}")
        if catalog.endswith(".po"):
            stats = run("msgfmt", "--check", "--statistics", "-o", os.devnull, path).stderr.strip()
            if not re.fullmatch(r"\d+ translated messages\.", stats):
                failures.append(f"{catalog}: {stats}")

    prefix, locales = os.path.join(work, "prefix"), os.path.join(work, "locales")
    run("cmake", "--install", build, "--prefix", prefix, check=True)
    os.mkdir(locales)
    for locale in ("de_DE", "fr_FR", "es_ES", "it_IT"):
        run("localedef", "-i", locale, "-f", "UTF-8", os.path.join(locales, locale + ".UTF-8"))
    open(os.path.join(work, "glibc.supp"), "w").write("leak:argz_add_sep\n")  # glibc's, as in formats_check

    def rondelo(locale, *args, language=None, program=os.path.join(prefix, "bin", "rondelo"),
                people="1990-05-17\tAnna\n1990-05-17\tHans\n"):
        env = {"LOCPATH": locales, "LC_ALL": locale, "TZ": "UTC", "SOURCE_DATE_EPOCH": "1700000000",
               "LSAN_OPTIONS": f"suppressions={work}/glibc.supp:print_suppressions=0",
               **({"LANGUAGE": language} if language else {})}
        return run(program, "--zone=UTC", "--dates=-", "--units=years,days", "--from=2017-10-01",
                   "--until=2030-06-01", *args, input=people, env=env).stdout

    def titles(locale, **kw):
        return {(o["name"], o["label"]): o["title"] for o in map(json.loads, rondelo(locale, "--format=json", **kw).splitlines())}

    expected = {
        "de_DE": ("Annas 40. Geburtstag", "Hans' 40. Geburtstag", "Anna ist 10.000 Tage alt", "Gezählt ab dem 17. Mai 1990 in UTC",
                  "Annas Geburtstag"),
        "fr_FR": ("40e anniversaire d'Anna", "40e anniversaire de Hans", "Anna a 10\u202f000 jours", "Compté à partir du 17 mai 1990 (UTC)",
                  "Anniversaire d'Anna"),
        "es_ES": ("40.º cumpleaños de Anna", "40.º cumpleaños de Hans", "Anna tiene 10.000 días", "Contado desde el 17 de mayo de 1990 en UTC",
                  "Cumpleaños de Anna"),
        "C": ("Anna's 40th birthday", "Hans's 40th birthday", "Anna is 10,000 days old", "Counted from 17 May 1990 in UTC",
              "Anna's birthday"),
    }
    for locale, (anna, hans, days, counted, yearly) in expected.items():
        got = titles(locale + ".UTF-8" * (locale != "C"))
        # A birthday without a year, each year (khard's 1900.MM.DD), is titled without a count.
        days_of_year = rondelo(locale + ".UTF-8" * (locale != "C"), "--format=json", "--every=1y", people="1900.05.17\tAnna\n")
        if {json.loads(l)["title"] for l in days_of_year.splitlines()} != {yearly}:
            failures.append(f"{locale}: the yearly days are titled {days_of_year[:300]}")
        calendar = rondelo(locale + ".UTF-8" * (locale != "C"), "--ics")
        page = rondelo(locale + ".UTF-8" * (locale != "C"), "--format=html")
        tag = f'<html lang="{locale[:2] if locale != "C" else "en"}">'
        if (got.get(("Anna", "40 years")), got.get(("Hans", "40 years")), got.get(("Anna", "10K days"))) != (anna, hans, days) \
                or "DESCRIPTION:" + counted not in calendar or tag not in page:
            failures.append(f"{locale}: {got.get(('Anna', '40 years'))}, {got.get(('Hans', '40 years'))}, "
                            f"{got.get(('Anna', '10K days'))}, {re.findall('DESCRIPTION:.*', calendar)[:1]}, {re.findall('<html[^>]*>', page)}")
    # LANGUAGE's order chooses among the catalogs, past one that has none.
    if titles("de_DE.UTF-8", language="it:fr:de").get(("Anna", "40 years")) != "40e anniversaire d'Anna":
        failures.append("LANGUAGE=it:fr:de under de_DE.UTF-8: not French")
    # The program as built finds the catalogs the build compiled, beside it.
    if "Annas 40. Geburtstag" not in rondelo("de_DE.UTF-8", "--format=json", program=os.path.join(build, "rondelo")):
        failures.append("the built program speaks no German: its catalogs are not found")
    # English where no catalog or no locale answers; CSV the same under every locale.
    english = rondelo("C", "--format=text")
    for locale, language in ("C.UTF-8", "xx"), ("de_AT.UTF-8", None), ("de_AT.UTF-8", "de"):
        if rondelo(locale, "--format=text", language=language) != english:
            failures.append(f"LC_ALL={locale} LANGUAGE={language}: not the English of C")
    # A language without a catalog has English words, and English digits beside them.
    if rondelo("it_IT.UTF-8", "--format=json") != rondelo("C", "--format=json"):
        failures.append("LC_ALL=it_IT.UTF-8: not the English words and digits of C")
    if rondelo("de_DE.UTF-8") != rondelo("C"):
        failures.append("CSV differs under de_DE.UTF-8")

print("\n".join(failures) or f"catalogs {', '.join(languages)} complete; titles in each; English without them")
sys.exit(1 if failures else 0)
