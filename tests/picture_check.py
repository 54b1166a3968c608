#!/usr/bin/python3
# The picture and the page as people meet them: xmllint and librsvg read the SVG, html5lib the
# page, and headless Chromium, cut off from the network, opens both from disk without a console
# message, shows more than a blank screen, and holds each milestone's title, written here from
# rondelo's JSON and zoneinfo. A golden picture is compared by structure, to a tolerance; 100
# rows of more than 10,000 milestones stay under the size the README states, account for every
# milestone as a mark or in a band, and keep their labels apart by DejaVu Sans's own metrics.
# Usage: picture_check.py RONDELO EXAMPLES_DIR GOLDEN_SVG
import json, os, random, re, shutil, struct, subprocess, sys, tempfile, time, zlib
import xml.etree.ElementTree as ET
from datetime import datetime
from zoneinfo import ZoneInfo
import html5lib
from fontTools.ttLib import TTFont

rondelo, examples, golden = map(os.path.abspath, sys.argv[1:4])
failures, tmp = [], tempfile.mkdtemp()
SVG = "{http://www.w3.org/2000/svg}"
SIZE_BOUND = 4_000_000  # bytes, as the README states for 100 rows whatever they draw


def run(*args, stdin=None):
    done = subprocess.run([rondelo, *args], input=stdin, capture_output=True, text=True,
                          cwd=examples, env={"LC_ALL": "C", "TZ": "Europe/Berlin"})
    if done.returncode or done.stderr:
        failures.append(f"rondelo {' '.join(args)}: status {done.returncode}, {done.stderr!r}")
    return done.stdout


def saved(name, text):
    path = os.path.join(tmp, name)
    open(path, "w", encoding="utf-8").write(text)
    return path


def png_pixels(path):
    """The pixels of an 8-bit RGB or RGBA PNG, each row unfiltered, as a list of byte rows."""
    data, at, idat = open(path, "rb").read(), 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IHDR":
            width, height, _, colour = struct.unpack(">IIBB", data[at + 8:at + 18])
        idat += data[at + 8:at + 8 + length] if kind == b"IDAT" else b""
        at += 12 + length
    n = {2: 3, 6: 4}[colour]
    raw, stride, rows, prev = zlib.decompress(idat), width * n, [], bytearray(width * n)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride) if kind else ():
            a, b, c = (line[i - n] if i >= n else 0), prev[i], (prev[i - n] if i >= n else 0)
            p = a + b - c
            guess = [0, a, b, (a + b) // 2,
                     a if abs(p - a) <= min(abs(p - b), abs(p - c)) else b if abs(p - b) <= abs(p - c) else c][kind]
            line[i] = (line[i] + guess) & 255
        rows.append(bytes(line))
        prev = line
    return [bytes(r[i:i + 3]) for r in rows for i in range(0, stride, n)]


def check_not_blank(what, png):
    pixels = png_pixels(png)
    inked = sum(p != pixels[0] for p in pixels) / len(pixels)
    if inked < 0.01 or len(set(pixels)) < 8:
        failures.append(f"{what}: a blank picture ({inked:.3%} inked, {len(set(pixels))} colours)")


def check_self_contained(what, text):
    found = re.findall(r"<script|\bhref=|\bsrc=|url\(|@import|@font-face", text)
    if found:
        failures.append(f"{what} reaches out of itself: {found[:3]}")


def chromium(*args):
    """Headless Chromium in a network namespace of its own, any proxy a closed port."""
    isolated = ["unshare", "-n"] if subprocess.run(["unshare", "-n", "true"]).returncode == 0 else []
    return subprocess.run(isolated + [
        "/usr/bin/chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
        "--no-first-run", "--disable-background-networking", "--disable-component-update",
        "--disable-sync", "--proxy-server=127.0.0.1:9", "--user-data-dir=" + tempfile.mkdtemp(dir=tmp),
        "--enable-logging=stderr", "--v=0", "--window-size=1100,700",
        "--force-device-scale-factor=0.5", *args],  # half the pixels to read back
        capture_output=True, text=True, timeout=120)


def browse(what, path, dump=False):
    shot = os.path.join(tmp, what + ".png")
    done = chromium("--dump-dom" if dump else "--screenshot=" + shot, "file://" + path)
    said = [l for l in done.stderr.splitlines() if ":CONSOLE" in l or "Uncaught" in l]
    if done.returncode or said:
        failures.append(f"Chromium on {what}: status {done.returncode}, {said[:3]}")
    if not dump:
        check_not_blank("Chromium's " + what, shot)
    return done.stdout


def expected_titles(json_lines, now):
    """Each line's tooltip, "TITLE, YYYY-MM-DD HH:MM:SS ZONE", the next of each name marked."""
    titles, nexts = {}, {}
    for line in map(json.loads, json_lines):
        at = datetime.fromtimestamp(line["unix"], ZoneInfo(line["zone"]))
        titles[(line["name"], line["unix"], line["label"])] = \
            f"{line['title']}, {at:%Y-%m-%d %H:%M:%S %Z}"
        if line["unix"] >= now and line["unix"] < nexts.get(line["name"], (1 << 62, None))[0]:
            nexts[line["name"]] = (line["unix"], (line["name"], line["unix"], line["label"]))
    for _, key in nexts.values():
        titles[key] = "next: " + titles[key]
    return titles


def check_svg_file(what, path, zoom):
    lint = subprocess.run(["xmllint", "--noout", path], capture_output=True, text=True)
    png = os.path.join(tmp, what + "-rsvg.png")
    rsvg = subprocess.run(["rsvg-convert", "--zoom", zoom, path, "-o", png], capture_output=True, text=True)
    if lint.returncode or lint.stderr or rsvg.returncode or rsvg.stderr:
        failures.append(f"{what}: xmllint {lint.stderr!r}, rsvg-convert {rsvg.stderr!r}")
    else:
        check_not_blank("librsvg's " + what, png)


def numbers(element):
    """The element's numeric attributes, a path's numbers among them, and what is not a number."""
    found, other = [], {}
    for key, value in sorted(element.attrib.items()):
        values = re.findall(r"-?\d+(?:\.\d+)?", value) if key in "x y cx cy x1 x2 y1 y2 r width height d" else []
        found += [float(v) for v in values]
        other[key] = value if not values else re.sub(r"-?\d+(?:\.\d+)?", "#", value)
    return found, other


def check_golden(svg_text, tolerance=1.5):
    got, want = (list(ET.fromstring(t).iter()) for t in (svg_text, open(golden, encoding="utf-8").read()))
    if len(got) != len(want):
        failures.append(f"golden picture: {len(got)} elements, not {len(want)}")
    for g, w in zip(got, want):
        (gn, go), (wn, wo) = numbers(g), numbers(w)
        if g.tag != w.tag or go != wo or (g.text or "") != (w.text or "") or len(gn) != len(wn) or \
                any(abs(a - b) > tolerance for a, b in zip(gn, wn)):
            failures.append(f"golden picture: {g.tag} {g.attrib} {g.text!r}, not {w.tag} {w.attrib} {w.text!r}")
            return


# A family over a window in the past: its structure against the golden picture, and both renderers.
past = ["--dates=family.tsv", "--from=1985-01-01", "--until=2015-01-01"]
family_svg = run("--format=svg", *past)
check_golden(family_svg)
check_svg_file("family", saved("family.svg", family_svg), "0.5")
check_self_contained("the picture", family_svg)

# Around now: the SVG and the page in Chromium, each milestone's title in the page's DOM.
window = ["--dates=family.tsv", "--from=-5y", "--until=+5y", "--units=years,months,weeks,days"]
before = time.time()
page, lines, svg = run("--format=html", *window), run("--format=json", *window).splitlines(), run("--format=svg", *window)
titles = expected_titles(lines, int(before))
html5lib.HTMLParser(strict=True).parse(page)  # raises at the first parse error
check_self_contained("the page", page)
browse("picture", saved("now.svg", svg))
browse("page", saved("now.html", page))
dom = html5lib.parse(browse("page-dom", os.path.join(tmp, "now.html"), dump=True), namespaceHTMLElements=False)
shown = {t.text for t in dom.iter("{http://www.w3.org/2000/svg}title")}
missing = [t for t in titles.values() if t not in shown]
if missing or dom.get("lang") != "en" or 'class="band"' in svg:
    failures.append(f"the page's DOM lacks {len(missing)} of {len(titles)} titles, as {missing[:2]}")
cells = [[td.text for td in tr.iter("td")] for tr in dom.iter("tr")]
for line in map(json.loads, lines):
    at = datetime.fromtimestamp(line["unix"], ZoneInfo(line["zone"]))
    if [f"{at:%a}", f"{at:%Y-%m-%d}", f"{at:%H:%M:%S}", f"{at:%Z}", line["title"]] not in [c[:5] for c in cells]:
        failures.append(f"the page's tables lack {line}")

# 100 references and more than 10,000 milestones: the bound, every milestone, labels apart; and
# an every family with names of 80 characters, which fills rows with marks, under the bound too.
random.seed(32)
people = "".join(f"{random.randint(1930, 2020)}-{random.randint(1, 12):02d}-{random.randint(1, 28):02d}T12:00"
                 f"\tPerson {i}{' with a long family name' * (i % 3)}{' & <Co>' * (i == 7)}\t{random.choice(['Europe/Berlin', 'Asia/Tokyo', 'UTC'])}\n"
                 for i in range(100))
many = run("--format=svg", "--dates=-", stdin=people)
every = [json.loads(l) for l in run("--format=json", "--dates=-", stdin=people).splitlines()]
born = {p.split("\t")[1]: p.split("\t") for p in people.splitlines()}
def reach(name):
    when, _, zone = born[name]
    start = datetime.fromisoformat(when).replace(tzinfo=ZoneInfo(zone))
    return start.replace(year=start.year + 100).timestamp()
drawn = [l for l in every if l["unix"] <= reach(l["name"])]
full = run("--format=svg", "--dates=-", "--every=300d",
           stdin=re.sub(r"\t(Person \d+)[^\t]*", lambda m: "\t" + m[1].ljust(80, "x"), people))
if len(many.encode()) >= SIZE_BOUND or len(full.encode()) >= SIZE_BOUND or len(drawn) < 10000:
    failures.append(f"{len(drawn)} milestones in {len(many.encode())} bytes, marks of long names "
                    f"in {len(full.encode())}: not under {SIZE_BOUND}")
check_svg_file("hundred", saved("hundred.svg", many), "0.2")

font = TTFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")
advances, em = font.getBestCmap(), font["head"].unitsPerEm
def box(text):
    size = float(text.get("font-size", "10"))
    width = sum(font["hmtx"][advances.get(ord(c), ".notdef")][0] for c in text.text or "") * size / em
    x, y = float(text.get("x")), float(text.get("y"))
    left = {"end": x - width, "middle": x - width / 2}.get(text.get("text-anchor"), x)
    return left, y - 0.93 * size, left + width, y + 0.24 * size  # DejaVu's ascent and descent
for picture in many, full:
    boxes = sorted(box(t) for t in ET.fromstring(picture).iter(SVG + "text"))
    for i, a in enumerate(boxes):
        for b in boxes[i + 1:]:
            if b[0] >= a[2]:
                break
            if b[1] < a[3] and a[1] < b[3]:
                failures.append(f"labels overlap at {a} and {b}")
root = ET.fromstring(many)

# A mark over a band is one of the band's, but for the reference and the next one.
marks = bands = 0
for row in root.findall(SVG + "g"):
    in_bands = row.findall(SVG + "g[@class='band']")
    spans = [(min(float(r.get("x")) for r in g.iter(SVG + "rect")),
              max(float(r.get("x")) + float(r.get("width")) for r in g.iter(SVG + "rect")))
             for g in in_bands]
    bands += sum(int(g.find(SVG + "title").text.split()[0]) for g in in_bands)
    for mark in row:
        title, x = mark.find(SVG + "title"), mark.get("cx") or mark.get("x") or mark.get("d", "M0").split(",")[0][1:]
        over = any(l <= float(x) <= r for l, r in spans) and mark.get("class") != "fg" and \
            not title.text.startswith("next: ") if title is not None else False
        marks += title is not None and mark.tag != SVG + "g" and not over
if marks + bands != len(drawn):
    failures.append(f"{marks} marks and {bands} in bands for {len(drawn)} milestones")

print("\n".join(failures[:20] + [f"{len(failures)} failures"]))
shutil.rmtree(tmp) if not failures else print("the pictures are in", tmp)
sys.exit(bool(failures))
