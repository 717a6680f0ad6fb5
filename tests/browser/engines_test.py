#!/usr/bin/env python3
"""One search page, the same queries, in the three engines visitors use (Chromium, Firefox ESR,
WebKitGTK): each must show the same word, count and hits, in the same order, as expected; and a
phone (375 by 800 CSS pixels, in Chromium) must show the page at its own width, in German, with
a named search field."""
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


page("a.htm", "Gartenpflege", "garten, rasen", "Tipps für den Rasen.")
page("docs/b.htm", "Bären im Wald", "bär, wald", "Über Bären & Füchse.")
page("docs/c d.htm", "Preise <50 €", "preise", "Alles für den Garten")
page("e.htm", "C++ lernen", "c++", "Sprachen <b>fett</b>")
# Umlauts as references, and a "u" with a combining diaeresis.
page("f.htm", "&Ouml;ffnungszeiten", "zeiten", "In Zu\u0308rich")
LONG = "ein_sehr_langer_dateiname_ohne_jede_stelle_zum_umbrechen_mit_tipps_zu_garten_und_rasen.htm"
page(LONG, "Lange Adresse", "garten", "Lang")


def generate(names, out):
    listing = os.path.join(work, "list")
    with open(listing, "w") as f:
        f.write("\n".join(os.path.join(site, n) for n in names))
    subprocess.run([GEN, "--files-from", listing, "-o", out], check=True, stdout=subprocess.DEVNULL)


out = os.path.join(site, "lookup.htm")
generate(("a.htm", "docs/b.htm", "docs/c d.htm", "e.htm", "f.htm"), out)
long_out = os.path.join(site, "lang.htm")
generate(("a.htm", LONG), long_out)
# More hits than one block of results holds: 1,001 pages that all match "viele".
for i in range(1, 1002):
    page("viele/s%d.htm" % i, "Seite %d" % i, "viele", "Nummer %d" % i)
many_out = os.path.join(site, "viele.htm")
generate(["viele/s%d.htm" % i for i in range(1, 1002)], many_out)

# What the page wrote: the word, the count line and each hit's title and link.
SCRIPT = ("JSON.stringify({word: (document.querySelector('b') || {}).textContent || null,"
          " count: ((document.body.innerText.match(/(\\d+) Ergebnisse gefunden/) || [])[1]) || null,"
          " titles: Array.from(document.querySelectorAll('b')).slice(1).map(function (b) { return b.textContent; }),"
          " links: Array.from(document.querySelectorAll('a[target]')).map(function (a) {"
          " return a.getAttribute('href').trim(); }),"
          " form: !!document.querySelector('form[role=search] input[name=lookup]')})")

QUERIES = [  # query, word shown, hits (title, link) in page order
    ("", None, []),
    ("?lookup=garten", "garten", [("Gartenpflege", "a.htm"), ("Preise <50 €", "docs/c%20d.htm")]),
    ("?lookup=B%C3%A4r", "bär", [("Bären im Wald", "docs/b.htm")]),
    ("?lookup=b%E4r", "bär", [("Bären im Wald", "docs/b.htm")]),
    ("?lookup=c%2B%2B", "c++", [("C++ lernen", "e.htm")]),
    ("?lookup=50", "50", [("Preise <50 €", "docs/c%20d.htm")]),
    ("?lookup=F%C3%BCchse", "füchse", [("Bären im Wald", "docs/b.htm")]),
    ("?lookup=zebra", "zebra", []),
    ("?lookup=%C3%B6ffnungszeiten", "öffnungszeiten", [("Öffnungszeiten", "f.htm")]),
    ("?lookup=in+z%C3%BCrich", "in zürich", [("Öffnungszeiten", "f.htm")]),
]

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


for engine_class in engines.ENGINES:
    engine = engine_class()
    try:
        for query, word, hits in QUERIES:
            _, value = engine.load("file://" + out + query, SCRIPT)

            got = json.loads(value) if isinstance(value, str) else value
            want = {"word": word, "count": None if word is None else str(len(hits)),
                    "titles": [t for t, _ in hits], "links": [l for _, l in hits], "form": True}
            check("%s %s" % (engine.name, query or "(no query)"), got == want, (got, want))
            console = engine.take_console()
            check("%s %s: nothing logged" % (engine.name, query or "(no query)"), console == [], console)
    finally:
        engine.close()

# A phone: the page at the device's width, German, a named search field, readable text.
phone = engines.Chromium()
try:
    phone.phone(375, 800)
    _, value = phone.load(
        "file://" + out + "?lookup=garten",
        "JSON.stringify({scale: visualViewport.scale, width: innerWidth, lang: document.documentElement.lang,"
        " sizes: Array.from(document.querySelectorAll('b, font, input')).map(function (e) {"
        " return parseFloat(getComputedStyle(e).fontSize) * visualViewport.scale; })})")

    got = json.loads(value)
    check("phone: laid out at the device width", got["width"] == 375 and abs(got["scale"] - 1) < 0.01, got)
    check("phone: German", got["lang"] == "de", got)
    check("phone: text at least 12 CSS pixels", min(got["sizes"]) >= 12, got["sizes"])
    tree = phone.accessibility_tree()
    check("phone: the search field is named", ("textbox", "Suchbegriff") in tree, tree)
    check("phone: a search landmark", any(role == "search" for role, _ in tree), tree)
    # A long address without break points wraps instead of widening the page.
    _, value = phone.load("file://" + long_out + "?lookup=garten",
                          "JSON.stringify({hits: document.querySelectorAll('a[target]').length,"
                          " width: document.documentElement.scrollWidth})")
    got = json.loads(value)
    check("phone: a long address keeps the page within the screen",
          got["hits"] == 2 and got["width"] <= 375, got)
    # Blocks of hits out of view are laid out, and so reach a screen reader, as the reading
    # comes to them: with the focus on each block's last link in turn, every hit's link is there.
    phone.load("file://" + many_out + "?lookup=viele", "0")
    links_seen = []
    for last in (499, 999, 1000):
        phone.send("Runtime.evaluate", {"expression": "document.querySelectorAll('a[target]')[%d].focus()" % last},
                   session=True)
        for _ in range(100):  # the next block is laid out in a frame to come
            links = sum(1 for role, _ in phone.accessibility_tree() if role == "link")
            if links > (links_seen[-1] if links_seen else 0):
                break
            time.sleep(0.05)
        links_seen.append(links)
    check("phone: every one of 1,001 hits reaches a screen reader as the reading goes on",
          links_seen[-1] == 1001, links_seen)
finally:
    phone.close()

print("engines: %d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)
