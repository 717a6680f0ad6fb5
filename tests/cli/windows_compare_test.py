#!/usr/bin/env python3
"""The Linux and the Windows tovaro-gen on one site: the same exit statuses, messages and page
bytes, up to the spelling of paths. The Windows program runs under Wine, which shows the Linux
root as drive Z:, so both read the very same files: UTF-8 names (Unicode names on Windows),
windows-1252 and UTF-8 contents, CR LF and LF lines, a Ctrl+Z byte, and a folder tree.

Usage: windows_compare_test.py LINUX_TOVARO_GEN WINDOWS_TOVARO_GEN_EXE WINE_RUN HOLD_OPEN_EXE
"""
import os
import re
import subprocess
import sys
import tempfile
import time

linux_gen, windows_gen, wine_run, hold_open = sys.argv[1:5]
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def page(title, keywords="k", description="d", end="\r\n"):
    return ("<html>" + end + "<head>" + end + "<title>" + title + "</title>" + end
            + '<meta name="keywords" content="' + keywords + '">' + end
            + '<meta name="description" content="' + description + '">' + end
            + "</head>" + end + "<body></body>" + end + "</html>" + end)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def run(argv, cwd):
    p = subprocess.run(argv, cwd=cwd, capture_output=True, timeout=120)
    return p.returncode, p.stdout, p.stderr


def run_linux(args, cwd):
    return run([linux_gen] + args, cwd)


def run_windows(args, cwd):
    return run(["bash", wine_run, windows_gen] + args, cwd)


def entry_blocks(text):
    """The page without its entries, and each entry's four lines, numbers taken out."""
    lines = text.split(b"\r\n")
    blocks, rest, i = [], [], 0
    while i < len(lines):
        if re.match(rb"^\s*urls\[\d+\]=", lines[i]):
            block = tuple(re.sub(rb"\[\d+\]", b"[]", l) for l in lines[i:i + 4])
            blocks.append(block)
            i += 4
        else:
            rest.append(lines[i])
            i += 1
    return rest, blocks


with tempfile.TemporaryDirectory(prefix="tovaro-win-") as work:
    site = os.path.join(work, "site")
    files = {
        "index.htm": page("Startseite", "Start, Übersicht", "Die erste Seite"),
        "Über uns.htm": page("Über uns", "team", "Wer wir sind"),
        "grüße/ä.htm": page("Grüße", "gruss", "Ein Gruß"),
        "preise.htm": page("Preise f\xfcr M\xe4rz", "preise", "Gr\xfc\xdfe", ).encode("cp1252"),
        "unix.htm": page("Nur LF", "lf", "Zeilen mit LF", end="\n"),
        "strg-z.htm": page("Vor\x1a nach", "z", "Ctrl+Z im Titel"),
        "docs/a.htm": page("A", "a", "Seite A"),
        "docs/sub/b.htm": page("B", "b", "Seite B"),
        "Ordner mit Leerzeichen/c.htm": page("C", "c", "Seite C"),
        "docs/unvollständig.htm": page("Ohne", "", "fehlt"),
    }
    for name, content in files.items():
        path = os.path.join(site, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content if isinstance(content, bytes) else content.encode("utf-8"))

    web = "https://www.example.org/suche/"
    site_win = windows_path(site)

    # A list of files in a chosen order, with both separators and a missing file.
    order = ["docs/sub/b.htm", "Über uns.htm", "preise.htm", "fehlt.htm", "unix.htm",
             "strg-z.htm", "grüße/ä.htm", "docs/unvollständig.htm", "index.htm"]
    with open(os.path.join(work, "liste-linux.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(os.path.join(site, n) for n in order) + "\n")
    with open(os.path.join(work, "liste-windows.txt"), "w", encoding="utf-8", newline="") as f:
        f.write("".join(site_win + "\\" + (n.replace("/", "\\") if i % 2 else n) + "\r\n"
                        for i, n in enumerate(order)))

    def same_messages(linux_out, windows_out, what):
        # Windows spells the site's paths with its drive and backslashes: spelled back, the
        # messages are the same bytes.
        spelled = windows_out.replace(site_win.encode("utf-8"), site.encode("utf-8"))
        spelled = re.sub(rb"(?<=" + re.escape(site.encode()) + rb")[^\n]*",
                         lambda m: m.group(0).replace(b"\\", b"/"), spelled)
        check(spelled == linux_out, what + ": the same messages")
        if spelled != linux_out:
            print(linux_out.decode("utf-8", "replace"))
            print(windows_out.decode("utf-8", "replace"))

    def read(name):
        with open(os.path.join(work, name), "rb") as f:
            return f.read()

    # 1. The list, in its order: the same page byte for byte.
    lin = run_linux(["--files-from", "liste-linux.txt", "-s", site, "-o", "linux.htm",
                     "-w", web], work)
    win = run_windows(["--files-from", "liste-windows.txt", "-s", site_win + "\\",
                       "-o", "windows.htm", "-w", web], work)
    check(lin[0] == win[0] == 0, "list: exit status 0 on both (%d, %d)" % (lin[0], win[0]))
    same_messages(lin[1], win[1], "list")
    check(read("linux.htm") == read("windows.htm"), "list: identical pages")
    lpage = read("linux.htm")
    check(b"urls[1]='https://www.example.org/suche/%C3%9Cber%20uns.htm'" in lpage
          or b"urls[1]='https://www.example.org/suche/\xc3\x9cber%20uns.htm'" in lpage,
          "list: a Unicode name in the link as UTF-8")
    # The page is UTF-8: a windows-1252 title arrives converted.
    check("tits[2]= 'Preise für März'".encode() in lpage, "list: windows-1252 title as UTF-8")
    # The file goes on after the byte (no text mode); the page writes it as a blank.
    check(b"Vor  nach" in lpage, "list: the title after a Ctrl+Z byte")

    # 2. The tree, with the site folder as the parent of the page: the same entries, in the
    # order each platform lists its folders.
    lin = run_linux(["--tree", "site", "-s", "site", "-o", "suche.htm", "-w", web], work)
    win = run_windows(["--tree", "site", "-s", "site", "-o", "suche-win.htm", "-w", web], work)
    check(lin[0] == win[0] == 0, "tree: exit status 0 on both (%d, %d)" % (lin[0], win[0]))
    lrest, lblocks = entry_blocks(read("suche.htm"))
    wrest, wblocks = entry_blocks(read("suche-win.htm"))
    check(lrest == wrest, "tree: identical pages outside the entries")
    # Ten files, one of them without keywords.
    check(sorted(lblocks) == sorted(wblocks) and len(lblocks) == 9,
          "tree: the same 9 entries (%d, %d)" % (len(lblocks), len(wblocks)))
    check(sorted(lin[1].split(b"\n")) == sorted(
        win[1].replace(site_win.encode(), site.encode()).replace(b"\\", b"/").split(b"\n")),
        "tree: the same messages in any order")

    # 3. A drive root as the site folder, written with and without its backslash.
    lin = run_linux(["--files-from", "liste-linux.txt", "-s", "/", "-o", "root-l.htm"], work)
    for spelling in ("Z:\\", "z:/"):
        win = run_windows(["--files-from", "liste-windows.txt", "-s", spelling,
                           "-o", "root-w.htm"], work)
        check(lin[0] == win[0] == 0 and read("root-l.htm") == read("root-w.htm"),
              "drive root %s as the site folder: identical pages" % spelling)

    # 4. Mistakes fail alike, with the same statuses.
    for args, what in ((["-s", "fehlt", "index.htm"], "missing site folder"),
                       (["--tree", "fehlt"], "missing tree"),
                       (["--gibtsnicht"], "unknown option")):
        lin = run_linux(args + ["-o", "x.htm"], site)
        win = run_windows(args + ["-o", "x.htm"], site)
        check(lin[0] == win[0] and lin[0] != 0, "%s: the same failure status (%d, %d)"
              % (what, lin[0], win[0]))
        check(lin[2] == win[2], "%s: the same message" % what)

    # 5. A second run replaces the first page, and nothing is left beside it.
    before = set(os.listdir(work))
    win = run_windows(["--files-from", "liste-windows.txt", "-s", site_win, "-o", "windows.htm",
                       "-w", "https://neu.example.org/"], work)
    check(win[0] == 0 and b"https://neu.example.org/" in read("windows.htm"),
          "second run: the page is replaced")
    check(set(os.listdir(work)) == before, "second run: no file left beside the page")

    # 6. The page open in another program that forbids replacing it: a loud failure, the old
    # page kept, no temporary file left.
    old = read("windows.htm")
    ready = os.path.join(work, "bereit")
    holder = subprocess.Popen(["bash", wine_run, hold_open, windows_path(work) + "\\windows.htm",
                               windows_path(ready)], stdin=subprocess.PIPE)
    for _ in range(600):
        if os.path.exists(ready) or holder.poll() is not None:
            break
        time.sleep(0.1)
    check(os.path.exists(ready), "held page: the other program has it open")
    win = run_windows(["--files-from", "liste-windows.txt", "-s", site_win, "-o", "windows.htm"],
                      work)
    holder.stdin.close()
    holder.wait(timeout=60)
    os.remove(ready)
    check(win[0] == 1, "held page: exit status 1 (%d)" % win[0])
    check("Die Datei wird von einem anderen Programm verwendet.".encode() in win[2],
          "held page: the reason in German")
    check(b"erfolgreich" not in win[1], "held page: no success message")
    check(read("windows.htm") == old, "held page: the old page kept")
    check(set(os.listdir(work)) == before, "held page: no temporary file left")

    # 7. In a console (Wine gives the program one on a terminal): the umlauts of a name and the
    # progress line arrive as the console shows them.
    console = subprocess.run(["script", "-qec", " ".join([
        "bash", wine_run, windows_gen, "'" + site_win + "\\Über uns.htm'", "-o", "k.htm"]),
        "/dev/null"], cwd=work, capture_output=True, timeout=120)
    shown = console.stdout.replace(b"\r", b"")
    check(console.returncode == 0 and b"\xc3\x9cber uns.htm" in shown and b"[1/1]" in shown,
          "console: umlauts and progress shown")
    check("Die Suchdatei wurde erfolgreich erstellt!".encode() in shown,
          "console: the success message")

if failures:
    print("%d checks failed" % len(failures))
    sys.exit(1)
print("Linux and Windows pages agree")
