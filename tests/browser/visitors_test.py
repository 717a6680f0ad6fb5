#!/usr/bin/env python3
"""What visitors of a German site type finds what the results show, in Chromium, Firefox ESR
and WebKitGTK, on a desktop and on a phone (375 by 800 CSS pixels):
- a search made with the form, as visitors make it, logs nothing to the console;
- every space counts as a plain one, and the legacy references without ";" as the results
  show them;
- with spelling variants, "strasse" finds "Straße", "muenchen" finds "München", but "grosse"
  does not find "Größe";
- no title, description, address or search word makes the page wider than the screen, and
  nothing is cut off at the edge of a block of hits;
- End reaches the count line and the search field in one press, with 1,000 and 100,000 hits,
  and the page is as long before its blocks of hits are laid out as after."""
import json
import os
import subprocess
import sys
import tempfile
import time

import engines

GEN = os.environ["TOVARO_GEN"]
work = tempfile.mkdtemp()
site = os.path.join(work, "site")


def page(name, title, keywords, description):
    path = os.path.join(site, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write('<html>\r\n<head>\r\n<title>%s</title>\r\n<meta name="keywords" content="%s">\r\n'
                '<meta name="description" content="%s">\r\n</head>\r\n<body></body>\r\n</html>\r\n'
                % (title, keywords, description))
    return path


def generate(paths, out, *options):
    listing = os.path.join(work, "list")
    with open(listing, "w") as f:
        f.write("\n".join(paths))
    subprocess.run([GEN, "--files-from", listing, "-s", site, "-o", out, *options], check=True,
                   stdout=subprocess.DEVNULL)
    return out


# A site with the usual ways of writing a word, searched without and with spelling variants.
words = [
    page("montag.htm", "Öffnungszeiten", "zeiten", "Montag&nbsp;bis Freitag"),
    page("groesse.htm", "Gr&oumlsse der Beete", "beete", "&copy 2024 Gartenfreunde"),
    page("strasse.htm", "Straße am Markt", "markt", "Laden"),
    page("muenchen.htm", "Ausflug nach München", "ausflug", "Reise"),
    page("muenchen2.htm", "Muenchen im Winter", "winter", "Schnee"),
    page("topf.htm", "Größe der Töpfe", "töpfe", "Ton"),
    page("kuebel.htm", "Grösse der Kübel", "kübel", "Zink"),
    page("cafe.htm", "Café am Platz", "kaffee", "Kuchen"),
    page("cafe2.htm", "Cafe Central", "wien", "Melange"),
]
plain = generate(words, os.path.join(site, "suche.htm"))
variants = generate(words, os.path.join(site, "schreibweisen.htm"), "--spelling-variants")

TITLES = {"montag": "Öffnungszeiten", "groesse": "Grösse der Beete", "strasse": "Straße am Markt",
          "muenchen": "Ausflug nach München", "muenchen2": "Muenchen im Winter",
          "topf": "Größe der Töpfe", "kuebel": "Grösse der Kübel", "cafe": "Café am Platz",
          "cafe2": "Cafe Central"}

SEARCHES = [  # page, the word as typed into the field, the pages found
    (plain, "montag bis", ["montag"]),
    (plain, "Montag\u00a0bis", ["montag"]),
    (plain, "grösse der", ["groesse", "kuebel"]),
    (plain, "© 2024", ["groesse"]),
    (plain, "strasse", []),
    (variants, "strasse", ["strasse"]),
    (variants, "straße", ["strasse"]),
    (variants, "STRASSE", ["strasse"]),
    (variants, "STRAẞE", ["strasse"]),
    (variants, "muenchen", ["muenchen", "muenchen2"]),
    (variants, "MÜNCHEN", ["muenchen", "muenchen2"]),
    (variants, "grösse", ["groesse", "topf", "kuebel"]),
    (variants, "groesse", ["groesse", "topf", "kuebel"]),
    (variants, "grosse", []),
    (variants, "cafe", ["cafe", "cafe2"]),
    (variants, "Café", ["cafe", "cafe2"]),
    (variants, "montag bis", ["montag"]),
]
HITS = ("JSON.stringify({search: location.search, titles: Array.from(document.querySelectorAll('b'))"
        ".slice(1).map(function (b) { return b.textContent; }),"
        " count: ((document.body.innerText.match(/(\\d+) Ergebnisse gefunden/) || [])[1]) || null})")

# Long words without a place to break: a title, a description, an address, a search word.
LONG = "Rasenmaehersaisonvorbereitungsanleitung" * 4
long_pages = [page("lang/%s-%03d.htm" % (LONG.lower(), i), LONG, "lang", LONG) for i in range(600)]
wide = generate(long_pages, os.path.join(site, "lang.htm"))
WIDTHS = ("JSON.stringify({hits: document.querySelectorAll('a[target]').length,"
          " page: [document.documentElement.scrollWidth, document.documentElement.clientWidth],"
          " clipped: Array.from(document.querySelectorAll('div, body, font, b')).filter(function (e) {"
          " return e.scrollWidth > e.clientWidth + 1 && e.clientWidth > 0; }).length,"
          " blocks: document.querySelectorAll('div').length})")

# Many hits, every third with a description long enough for two lines on a phone.
many = [page("viele/s%d.htm" % i, "Seite %d" % i, "viele",
             "Nummer %d" % i + (" mit einer Beschreibung, die auf einem Telefon zwei Zeilen"
                                " braucht" if i % 3 == 0 else "")) for i in range(3)]
thousand = generate([many[i % 3] for i in range(1000)], os.path.join(site, "tausend.htm"))
lots = generate([many[i % 3] for i in range(100000)], os.path.join(site, "hunderttausend.htm"))

# End, as the key does it: to the bottom of the page as it stands; then, once the blocks now in
# view are laid out, where the count line and the search field are.
END = "document.scrollingElement.scrollTop = document.scrollingElement.scrollHeight; 0"
AT_END = ("JSON.stringify((function () { var form = document.querySelector('input[name=lookup]')"
          ".getBoundingClientRect(); var rules = document.querySelectorAll('hr');"
          " var count = rules[rules.length - 1].getBoundingClientRect();"
          " return {count: [count.top, count.bottom], field: [form.top, form.bottom],"
          " view: innerHeight}; })())")
HEIGHT = "document.scrollingElement.scrollHeight"
LAY_OUT_ALL = ("Array.from(document.querySelectorAll('div')).forEach(function (d) {"
               " d.style.contentVisibility = 'visible'; }); document.scrollingElement.scrollHeight")

failed = 0
passed = 0


def check(name, ok, detail=""):
    global failed, passed
    if ok:
        passed += 1
        print("ok  ", name)
    else:
        failed += 1
        print("FAIL", name, detail)


def settle(engine, seconds=0.6):
    """Lets the engine lay out what came into view, and answers what it has laid out."""
    time.sleep(seconds)
    return engine.run("0")


def search(engine, page_path, word):
    """Opens the page, types the word into the field and sends the form, as a visitor does;
    answers the hits of the page that came."""
    engine.load("file://" + page_path, "0")
    engine.run("(function () { var f = document.querySelector('input[name=lookup]'); f.value = %s;"
               " f.form.requestSubmit(); return 0; })()" % json.dumps(word))
    got = None
    for _ in range(100):
        time.sleep(0.1)
        try:
            text = engine.run(HITS)
        except RuntimeError:  # the page is being replaced by the next
            continue
        if text is None:  # asked between the two pages: no document answered
            continue
        got = json.loads(text)
        if got["search"].startswith("?lookup=") and got["count"] is not None:
            return got
    return got


def visitors_searches(engine):
    for page_path, word, found in SEARCHES:
        got = search(engine, page_path, word)
        name = "%s %s: %s" % (engine.name, os.path.basename(page_path), word)
        want = [TITLES[f] for f in found]
        check(name, got is not None and sorted(got["titles"]) == sorted(want) and got["count"] == str(len(want)),
              (got, want))
        console = engine.take_console()
        check(name + ": nothing logged", console == [], console)


def screen_sizes(engine, where):
    _, value = engine.load("file://" + wide + "?lookup=" + LONG[:63], WIDTHS)
    settle(engine)
    got = json.loads(engine.run(WIDTHS))
    check("%s %s: long words keep the page within the screen" % (engine.name, where),
          got["hits"] == 600 and got["page"][0] <= got["page"][1], got)
    check("%s %s: nothing is cut off" % (engine.name, where), got["clipped"] == 0, got)
    # Every block of 1,000 hits laid out: the page's length was right before.
    _, before = engine.load("file://" + thousand + "?lookup=viele", HEIGHT)
    after = engine.run(LAY_OUT_ALL)
    settle(engine)
    after = engine.run(HEIGHT)
    check("%s %s: 1,000 hits as long before they are laid out as after" % (engine.name, where),
          abs(after - before) <= 0.03 * after, (before, after))
    console = engine.take_console()
    check("%s %s: nothing logged" % (engine.name, where), console == [], console)


def end_key(engine, where, page_path, label):
    engine.load("file://" + page_path + "?lookup=viele", "0")
    engine.run(END)
    settle(engine, 1.0)
    got = json.loads(engine.run(AT_END))
    check("%s %s: End with %s hits reaches the count line and the field" % (engine.name, where, label),
          0 <= got["count"][0] and got["field"][1] <= got["view"], got)
    console = engine.take_console()
    check("%s %s: nothing logged with %s hits" % (engine.name, where, label), console == [], console)


for engine_class in engines.ENGINES:
    engine = engine_class()
    try:
        engine.desktop()
        visitors_searches(engine)
        screen_sizes(engine, "desktop")
        end_key(engine, "desktop", thousand, "1,000")
        end_key(engine, "desktop", lots, "100,000")
        engine.phone(375, 800)
        screen_sizes(engine, "phone")
        end_key(engine, "phone", thousand, "1,000")
    finally:
        engine.close()

print("visitors: %d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)
