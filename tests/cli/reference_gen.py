#!/usr/bin/env python3
"""An independent reference for tovaro-gen, written from the extraction, cleaning, URL and page
rules (not from the C++ code): reads a file list, prints the status lines and writes the page.
Usage: reference_gen.py LIST SITE_DIR WEB_ROOT OUTPUT FIXTURES_DIR"""
import html.entities
import os
import re
import stat
import sys
import unicodedata

APPEARANCE = {"heading": "Tovaro Suche", "font face": "Arial, Helvetica, sans-serif",
              "font size": "3", "text colour": "#000000", "background colour": "#FFFFE1"}


def ascii_lower(b):
    return bytes(c + 32 if 65 <= c <= 90 else c for c in b)


def lines_of(data):
    # CR LF, a lone CR and a lone LF all end a line.
    out, cur, i = [], bytearray(), 0
    while i < len(data):
        c = data[i]
        if c in (13, 10):
            out.append(bytes(cur))
            cur = bytearray()
            if c == 13 and i + 1 < len(data) and data[i + 1] == 10:
                i += 1
        else:
            cur.append(c)
        i += 1
    if cur:
        out.append(bytes(cur))
    return out


def read_fields(data):
    title = keywords = description = b""
    for line in lines_of(data):
        lower = ascii_lower(line)
        end = lower.find(b"</head>")
        if end >= 0:
            line, lower = line[:end], lower[:end]
        if b"<title" in lower:
            p = lower.find(b"<title>")
            start = None
            if p >= 0:
                start = p + 7
            else:
                t = lower.find(b"<title")
                if t + 6 < len(lower) and lower[t + 6] in b" \t":
                    close = lower.find(b">", t)
                    if close >= 0:
                        start = close + 1
            q = lower.find(b"</title>")
            if start is not None and q >= 0 and q >= start:
                title = line[start:q]
        m = lower.find(b"<meta")
        while m >= 0:
            tag = line[m:].replace(b"<meta ", b"")
            if b">" in tag:
                tag = tag[:tag.index(b">")]
            pieces = tag.split(b"=")
            for j in range(len(pieces)):
                if ascii_lower(pieces[j]) == b"name" and j + 1 < len(pieces):
                    key = ascii_lower(pieces[j + 1].split(b" ")[0])
                    if j + 2 < len(pieces):
                        if key == b'"keywords"':
                            keywords = pieces[j + 2].replace(b'"', b"")
                        elif key == b'"description"':
                            description = pieces[j + 2].replace(b'"', b"")
            m = lower.find(b"<meta", m + 1)
        if end >= 0:
            break
    return title, keywords, description


def lower_text(b):
    try:
        text = b.decode("utf-8")
    except UnicodeDecodeError:
        out = bytearray()
        for c in b:
            if 65 <= c <= 90 or (0xC0 <= c <= 0xDE and c != 0xD7):
                c += 32
            elif c in (0x8A, 0x8C, 0x8E):
                c += 0x10
            elif c == 0x9F:
                c = 0xFF
            out.append(c)
        return bytes(out)
    chars = []
    for ch in text:
        o = ord(ch)
        if 65 <= o <= 90 or (0xC0 <= o <= 0xDE and o != 0xD7):
            ch = chr(o + 32)
        chars.append(ch)
    return "".join(chars).encode("utf-8")


# The named references of HTML 4, and XHTML's "apos"; and the legacy names, which HTML's table
# holds without ";" as well, and which the text of a page decodes so.
NAMED = dict(html.entities.name2codepoint, apos=0x27)
LEGACY = {name: text for name, text in html.entities.html5.items() if not name.endswith(";")}
REFERENCE = re.compile(r"&#([xX][0-9a-fA-F]+|[0-9]+);?|&([A-Za-z0-9]+)(;?)")
# The spaces that the page's script takes for spaces (its "\s"), besides the ASCII ones.
SPACES = "\u00a0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007\u2008\u2009\u200a" \
         "\u2028\u2029\u202f\u205f\u3000\ufeff"


def decode(b, markup):
    """Character references decoded as a browser does (numeric ones also without ";", 0,
    surrogates and too large numbers as U+FFFD, 128-159 as windows-1252; unknown names kept),
    a decoded "&" kept as "&amp;" in markup and a decoded line break as a blank; then the
    letters of UTF-8 text composed (NFC)."""
    if b"&" in b:
        def character(m):
            if m.group(1) is not None:
                digits = m.group(1)
                n = int(digits[1:], 16) if digits[0] in "xX" else int(digits)
                if n == 0 or n > 0x10FFFF or 0xD800 <= n <= 0xDFFF:
                    ch = "\ufffd"
                elif 0x80 <= n <= 0x9F and n not in (0x81, 0x8D, 0x8F, 0x90, 0x9D):
                    ch = bytes([n]).decode("cp1252")
                else:
                    ch = chr(n)
            elif m.group(3) == ";" and m.group(2) in NAMED:
                ch = chr(NAMED[m.group(2)])
            else:
                name = m.group(2)
                for n in range(min(len(name), 6), 1, -1):
                    if name[:n] in LEGACY:
                        ch = LEGACY[name[:n]]
                        rest = name[n:] if n < len(name) else ""
                        if n < len(name):
                            rest += m.group(3)
                        break
                else:
                    return m.group(0)
                if ch == "&" and markup:
                    ch = "&amp;"
                return ch + rest
            if ch == "&" and markup:
                return "&amp;"
            return " " if ch in "\r\n" else ch
        b = REFERENCE.sub(character, to_utf8(b).decode("utf-8")).encode("utf-8", "surrogatepass")
    try:
        text = b.decode("utf-8")
    except UnicodeDecodeError:
        return b  # windows-1252: no combining letters
    return unicodedata.normalize("NFC", text).encode("utf-8")


def controls_and_spaces(b, markup):
    """Control characters (C0, DEL, C1) as blanks; the other spaces as plain spaces in the
    keywords, as numeric references in what the page shows."""
    try:
        text = b.decode("utf-8")
        utf8 = True
    except UnicodeDecodeError:
        text = "".join(chr(c) if c >= 0x80 else chr(c) for c in b)  # one character a byte
        utf8 = False
    out = []
    for ch in text:
        o = ord(ch)
        if not utf8 and o >= 0x80:
            o = ord(bytes([o]).decode("cp1252")) if o not in (0x81, 0x8D, 0x8F, 0x90, 0x9D) else o
        if o < 0x20 or 0x7F <= o <= 0x9F:
            out.append(" ")
        elif chr(o) in SPACES:
            out.append("&#%d;" % o if markup else " ")
        else:
            out.append(ch)
    joined = "".join(out)
    return joined.encode("utf-8") if utf8 else joined.encode("latin-1")


def clean(b, keywords=False):
    """Quotes out, backslashes doubled; keywords lower-cased with "<" as the script escape,
    titles and descriptions (shown as markup) with "<" as the entity."""
    b = b.replace(b"'", b"").replace(b"\\", b"\\\\")
    if keywords:
        return lower_text(b).replace(b"<", b"\\x3C")
    return b.replace(b"<", b"&lt;")


def to_utf8(b):
    """Valid UTF-8 unchanged; anything else read as windows-1252, undefined bytes as C1 controls."""
    try:
        b.decode("utf-8")
        return b
    except UnicodeDecodeError:
        return "".join(bytes([c]).decode("cp1252") if c not in (0x81, 0x8D, 0x8F, 0x90, 0x9D)
                       else chr(c) for c in b).encode("utf-8")


def utf8_length(b, i):
    """Length of the valid UTF-8 character at b[i], or 0."""
    lead = b[i]
    n = 2 if 0xC0 <= lead < 0xE0 else 3 if 0xE0 <= lead < 0xF0 else 4 if 0xF0 <= lead < 0xF8 else 0
    if n == 0:
        return 0
    try:
        b[i:i + n].decode("utf-8")
        return n if i + n <= len(b) else 0
    except UnicodeDecodeError:
        return 0


def encode(b, specials, below):
    out, i = b"", 0
    while i < len(b):
        c = b[i]
        n = utf8_length(b, i) if c >= 0x80 else 0
        if n:
            out += b[i:i + n]
            i += n
            continue
        out += b"%%%02X" % c if c < below or c >= 0x7F or bytes([c]) in specials else bytes([c])
        i += 1
    return out


def page_url(path, site, root):
    rel = path
    if site and path.startswith(site) and (site.endswith(b"/") or path[len(site):len(site) + 1] == b"/"):
        rel = path[len(site):]
        if rel.startswith(b"/"):
            rel = rel[1:]
    url = b""
    if root:
        url = encode(root, [b'"', b"'", b"<", b">", b"\\"], 0x20)
        if not root.endswith(b"/"):
            url += b"/"
    return url + encode(rel, [bytes([c]) for c in b"\"#%&':<>?\\^`{|}"], 0x21)


REASONS = {FileNotFoundError: "Der Ordner oder die Datei existiert nicht",
           PermissionError: "Keine Berechtigung", IsADirectoryError: "Das ist ein Ordner",
           OSError: "Das ist keine gewöhnliche Datei, sondern ein Gerät, eine Pipe oder ein Socket"}


def fill(text, values):
    for k, v in values.items():
        text = text.replace(b"{" + k.encode() + b"}", v if isinstance(v, bytes) else v.encode())
    return text


def main():
    list_file, site, root, output, fixtures = sys.argv[1:6]
    site, root = os.fsencode(site), os.fsencode(root)
    fx = {n: open(os.path.join(fixtures, "page_%s.txt" % n), "rb").read().replace(b"\n", b"\r\n")
          for n in ("head", "entry", "tail")}
    page = fill(fx["head"], APPEARANCE)
    m = 0
    status = []
    for raw in open(list_file, "rb").read().splitlines():
        if not raw:
            continue
        path = raw
        try:
            st = os.stat(path)
            if stat.S_ISDIR(st.st_mode):
                raise IsADirectoryError
            if not stat.S_ISREG(st.st_mode):
                raise OSError
            data = open(path, "rb").read()
        except OSError as e:
            status.append(b"Nicht lesbar: " + path + b" (" + REASONS.get(type(e), REASONS[OSError]).encode() + b")")
            continue
        t, k, d = read_fields(data)
        t, k, d = decode(t, True), decode(k, False), decode(d, True)
        t, k, d = controls_and_spaces(t, True), controls_and_spaces(k, False), controls_and_spaces(d, True)
        t, k, d = clean(t), clean(k, True), clean(d)
        missing = [name for name, v in ((b"Titel", t), (b"Keywords", k), (b"Description", d)) if not v]
        if missing:
            status.append(b"Fehlend: " + b", ".join(missing) + b" " + path)
            continue
        if m % 1000 == 0:  # the index in script elements of 1000 entries
            page += (b"</script>\r\n" if m else b"") + b'<script language="JavaScript">\r\n'
        page += fill(fx["entry"], {"n": str(m), "URL": page_url(path, site, root),
                                    "keywords": to_utf8(k), "title": to_utf8(t),
                                    "description": to_utf8(d)})
        m += 1
    page += (b"</script>\r\n" if m else b"") + fill(fx["tail"], dict(APPEARANCE, M=str(m)))
    open(output, "wb").write(page)
    sys.stdout.buffer.write(b"".join(s + b"\n" for s in status) + b"Die Suchdatei wurde erfolgreich erstellt!\n")


main()
