#!/usr/bin/env python3
"""Search pages of UTF-8, windows-1252, mixed and Shift_JIS sites, served over HTTP without a
charset (as many servers do) and opened from file://, in headless Chromium: each must show
"Bären", find it once and link only to pages that exist."""
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading
import urllib.parse
import urllib.request

GEN = os.environ["TOVARO_GEN"]
CHROMIUM = os.environ.get("CHROMIUM", "chromium")
work = tempfile.mkdtemp()
root = os.path.join(work, "www").encode()


def page(path, title, keywords, description):
    """A page whose fields are given as bytes, in whatever encoding the site uses."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(b"<html>\r\n<head>\r\n<title>" + title + b"</title>\r\n"
                b"<meta name=\"keywords\" content=\"" + keywords + b"\">\r\n"
                b"<meta name=\"description\" content=\"" + description + b"\">\r\n"
                b"</head>\r\n<body>Text</body>\r\n</html>\r\n")


def site(name, pages):
    folder = os.path.join(root, name.encode())
    for file_name, fields in pages:
        page(os.path.join(folder, file_name), *fields)
    subprocess.run([GEN, "--tree", folder, "-o", os.path.join(folder, b"lookup.htm")],
                   check=True, stdout=subprocess.DEVNULL)


u8 = lambda s: s.encode("utf-8")
cp = lambda s: s.encode("cp1252")
site("utf8", [(u8("ärger.htm"), (u8("Bären"), u8("bär, wald"), u8("Über Bären.")))])
site("cp1252", [(cp("ärger.htm"), (cp("Bären"), cp("bär, wald"), cp("Über Bären.")))])
site("mixed", [(cp("ärger.htm"), (cp("Bären"), cp("bär"), cp("Über Bären."))),
               (u8("über.htm"), (u8("Übersicht"), u8("übersicht"), u8("Alles über den Wald.")))])
# 表 is 95 5C in Shift_JIS: its trail byte is a backslash.
site("sjis", [(b"tabelle.htm", ("一覧表".encode("shift_jis"), b"tabelle", "表".encode("shift_jis"))),
              (u8("ärger.htm"), (u8("Bären"), u8("bär"), u8("Über Bären.")))])


class Handler(http.server.BaseHTTPRequestHandler):
    """Maps a path's percent-decoded bytes to the file name's bytes, as Apache does, and sends
    text/html without a charset."""

    def do_GET(self):
        rel = urllib.parse.unquote_to_bytes(self.path.split("?", 1)[0]).lstrip(b"/")
        path = os.path.join(root, rel)
        if b".." in rel.split(b"/") or not os.path.isfile(path):
            self.send_error(404)
            return
        data = open(path, "rb").read()
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
threading.Thread(target=server.serve_forever, daemon=True).start()
base = "http://127.0.0.1:%d/" % server.server_address[1]


def dump(url):
    return subprocess.run(
        [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--user-data-dir=" + os.path.join(work, "profile"), "--dump-dom", url],
        capture_output=True, timeout=60).stdout.decode("utf-8", "replace")


def status(url):
    # A browser sends a link's path as UTF-8, percent-encoded.
    url = urllib.parse.quote(url, safe="/:%?=&")
    try:
        return urllib.request.urlopen(url, timeout=10).status
    except Exception as e:  # an HTTP error or a file that is not there
        return getattr(e, "code", str(e))


passed = failed = 0
for name in ("utf8", "cp1252", "mixed", "sjis"):
    for origin in ("http", "file"):
        page_url = (base if origin == "http" else "file://" + os.fsdecode(root) + "/") + name + "/lookup.htm"
        for query in ("b%C3%A4r", "b%E4r"):
            dom = dump(page_url + "?lookup=" + query)
            body = dom[dom.rfind("</script>"):]
            links = re.findall(r'<a href="\s*([^"]*)"', body)
            problems = []
            if "<hr>1 Ergebnisse gefunden." not in dom:
                problems.append("not one hit")
            if "<b>Bären</b>" not in dom or "Suche nach <b>bär</b>" not in dom:
                problems.append("text shown wrongly")
            if origin == "http":
                for link in links:
                    target = urllib.parse.urljoin(page_url, link)
                    if status(target) != 200:
                        problems.append("link %s answers %s" % (target, status(target)))
            else:
                for link in links:
                    target = urllib.parse.urljoin(page_url, link)
                    local = urllib.parse.unquote_to_bytes(urllib.parse.urlparse(target).path)
                    if not os.path.isfile(local):
                        problems.append("link %s names no file" % target)
            if len(links) != 1:
                problems.append("%d links" % len(links))
            label = "%s over %s with %s" % (name, origin, query)
            if problems:
                failed += 1
                print("FAIL", label, "; ".join(problems))
                print(dom[:3000])
            else:
                passed += 1
                print("ok  ", label)
# The UTF-8 page of the mixed site shows its own umlauts too.
dom = dump(base + "mixed/lookup.htm?lookup=%C3%BCbersicht")
if "<b>Übersicht</b>" in dom and "<hr>1 Ergebnisse gefunden." in dom:
    passed += 1
    print("ok   mixed site, UTF-8 page")
else:
    failed += 1
    print("FAIL mixed site, UTF-8 page")
server.shutdown()
subprocess.run(["rm", "-rf", work])
print("encoding: %d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)
