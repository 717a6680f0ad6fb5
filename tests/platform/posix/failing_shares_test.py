#!/usr/bin/env python3
"""tovaro-gen on file systems that fail as shares do (fault_fs, a FUSE layer of the tests' own):
a page is never published short with "erfolgreich", and a stop is served at once.

Usage: failing_shares_test.py FAULT_FS TOVARO_GEN
Exits 77 (skipped) where the system offers no FUSE."""

import os
import signal
import subprocess
import sys
import tempfile
import time

FAULT_FS, GEN = sys.argv[1], sys.argv[2]
IO_ERROR = "Ein-/Ausgabefehler beim Zugriff auf den Datenträger"
NOT_FOUND = "Der Ordner oder die Datei existiert nicht"
SUCCESS = "Die Suchdatei wurde erfolgreich erstellt!"


def page(title):
    return (f'<html><head><title>{title}</title>\r\n<meta name="keywords" content="k">\r\n'
            f'<meta name="description" content="d"></head></html>\r\n')


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


class Mount:
    """SOURCE seen through fault_fs with the given faults, at a mount point of its own."""

    def __init__(self, work, source, faults):
        self.point = tempfile.mkdtemp(dir=work)
        self.daemon = subprocess.Popen([FAULT_FS, source, self.point, *faults, "--", "-f"],
                                       stderr=subprocess.PIPE)
        for _ in range(100):
            if os.path.ismount(self.point):
                return
            if self.daemon.poll() is not None:
                break
            time.sleep(0.05)
        raise RuntimeError("fault_fs did not mount: " + self.daemon.stderr.read().decode())

    def close(self):
        subprocess.run(["fusermount3", "-u", "-z", self.point], stderr=subprocess.DEVNULL)
        self.daemon.kill()
        self.daemon.wait()


def urls(path):
    with open(path, encoding="utf-8") as f:
        return [line for line in f.read().splitlines() if line.lstrip().startswith("urls[")]


failures = []


def check(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail}")


def gen(args, stdin=None, cwd=None):
    p = subprocess.run([GEN, *args], stdin=stdin, cwd=cwd, capture_output=True, timeout=60)
    return p.returncode, p.stdout.decode(), p.stderr.decode()


def list_cases(work):
    """A list of 3,000 pages that cannot be read to its end, from standard input or as a file."""
    pages = os.path.join(work, "pages")
    names = [os.path.join(pages, f"seite{i:05d}-mit-einem-langen-namen.htm") for i in range(3000)]
    for i, name in enumerate(names):
        write(name, page(f"Seite {i}"))
    lists = os.path.join(work, "lists")
    write(os.path.join(lists, "liste.txt"), "".join(n + "\n" for n in names))
    out = os.path.join(work, "list-out.htm")
    for faults, whole in (([], True), (["--fail-read", "liste.txt:60000"], False)):
        mount = Mount(work, lists, faults)
        try:
            listed = os.path.join(mount.point, "liste.txt")
            for source in ("-", listed):
                write(out, "alte Seite")
                with open(listed, "rb") as stdin:
                    code, stdout, stderr = gen(["--files-from", source, "--strict", "-o", out],
                                               stdin=stdin)
                what = f"list {source} {'whole' if whole else 'failing'}"
                if whole:
                    check(what, code == 0 and stdout == SUCCESS + "\n", stderr)
                    check(what, len(urls(out)) == 3000, len(urls(out)))
                    continue
                check(what, code == 1, (code, stdout, stderr))
                check(what, stdout == "", stdout)
                check(what, stderr == f"tovaro-gen: Die Dateiliste {source} konnte nicht "
                      f"gelesen werden.\ntovaro-gen: {IO_ERROR}.\n", stderr)
                with open(out, encoding="utf-8") as f:
                    check(what + ": the old page is kept", f.read() == "alte Seite")
        finally:
            mount.close()


def tree_cases(work):
    """Folders that cannot be examined or listed to their end, and listings that doubled."""
    site = os.path.join(work, "site")
    for name in ("a.htm", "docs/b.htm", "docs/c.htm", "docs/d.htm", "e.htm"):
        write(os.path.join(site, name), page(name))
    for i in range(400):
        write(os.path.join(site, "gross", f"p{i:03d}.htm"), page(f"p{i}"))
    out = os.path.join(work, "tree-out.htm")
    cases = [
        # faults, exit status, the first line of standard output (or None), pages indexed
        ([], 0, None, 405),
        (["--no-types"], 0, None, 405),
        (["--twice"], 0, None, 405),
        (["--no-types", "--fail-attr", "docs:5"], 3,
         "Ordner nicht lesbar: {site}/docs (" + IO_ERROR + ")", 402),
        (["--fail-attr", "docs:13"], 3, "Ordner nicht lesbar: {site}/docs (Keine Berechtigung)",
         402),
        (["--no-types", "--fail-attr", "c.htm:5"], 3,
         "Nicht lesbar: {site}/docs/c.htm (" + IO_ERROR + ")", 404),
        (["--cut-listing", "gross:169"], 3,
         "Ordner nicht lesbar: {site}/gross (" + NOT_FOUND + ")", 5 + 169),
    ]
    for faults, status, first, indexed in cases:
        mount = Mount(work, work, faults)
        try:
            seen = os.path.join(mount.point, "site")
            code, stdout, stderr = gen(["--tree", seen, "-s", seen, "--strict", "-o", out])
            what = "tree " + " ".join(faults)
            check(what, code == status, (code, stdout, stderr))
            lines = stdout.splitlines()
            if first is not None:
                check(what, lines and lines[0] == first.format(site=seen), stdout)
            else:
                check(what, lines == [SUCCESS], stdout)
            if code in (0, 3):
                found = urls(out)
                check(what, len(found) == indexed, f"{len(found)} pages")
                check(what + ": each page once", len(set(u.split("=", 1)[1] for u in found))
                      == len(found))
            # The start folder itself cut short: a read error, never a part for the whole.
            if faults and faults[0] == "--cut-listing":
                write(out, "alte Seite")
                code, stdout, stderr = gen(["--tree", os.path.join(seen, "gross"), "-o", out])
                check("start folder cut", code == 1 and NOT_FOUND in stderr, (code, stderr))
                with open(out, encoding="utf-8") as f:
                    check("start folder cut: the old page is kept", f.read() == "alte Seite")
        finally:
            mount.close()


def stop_cases(work):
    """A stop signal while the share hangs in creating the page's temporary file."""
    pages = os.path.join(work, "pages")
    first = os.path.join(pages, "seite00000-mit-einem-langen-namen.htm")
    share = os.path.join(work, "share")
    os.makedirs(share, exist_ok=True)
    for sig in (signal.SIGTERM, signal.SIGINT):
        mount = Mount(work, share, ["--hang-create", "20"])
        try:
            run = subprocess.Popen([GEN, first, "-o", os.path.join(mount.point, "lookup.htm")],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(1.0)
            sent = time.monotonic()
            run.send_signal(sig)
            try:
                run.wait(timeout=10)
            except subprocess.TimeoutExpired:
                run.kill()
                run.wait()
            took = time.monotonic() - sent
            check(f"stop by {sig.name} on a hung share", took < 2.0, f"{took:.1f} s")
            check(f"stop by {sig.name}: the signal's status", run.returncode == -sig,
                  run.returncode)
        finally:
            mount.close()

    # Killed outright while the share creates the temporary file: the file it creates after the
    # end is removed by the next run, as the process that named it is gone.
    mount = Mount(work, share, ["--hang-create", "1", "--deaf"])
    try:
        out = os.path.join(mount.point, "lookup.htm")
        run = subprocess.Popen([GEN, first, "-o", out], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        run.kill()
        run.wait()
        time.sleep(1.5)
        left = [n for n in os.listdir(share) if n.startswith(".tovaro-")]
        check("killed outright: the share made the temporary file", len(left) == 1, left)
        code, stdout, stderr = gen([first, "-o", out])
        check("the next run", code == 0, (code, stdout, stderr))
        left = [n for n in os.listdir(share) if n.startswith(".tovaro-")]
        check("the next run removes what the killed one left", left == [], left)
    finally:
        mount.close()


def main():
    if not os.path.exists("/dev/fuse"):
        print("skipped: no /dev/fuse")
        return 77
    with tempfile.TemporaryDirectory() as work:
        list_cases(work)
        tree_cases(work)
        stop_cases(work)
    for f in failures:
        print("FAILED:", f)
    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
