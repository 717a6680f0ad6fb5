#!/usr/bin/env python3
"""The Windows programs' resources, read with wrestool (icoutils) as Explorer reads them: an icon
group in four sizes, version information naming the product, its maker and the project's
version, and the manifest each program needs.
Usage: resources_test.py VERSION PROGRAM.exe MANIFEST-WORDS... [-- PROGRAM.exe MANIFEST-WORDS...]"""
import subprocess
import sys

version = sys.argv[1]
groups, current = [], None
for arg in sys.argv[2:]:
    if arg == "--":
        current = None
    elif current is None:
        current = (arg, [])
        groups.append(current)
    else:
        current[1].append(arg)

failed = passed = 0


def check(name, ok, detail=""):
    global failed, passed
    if ok:
        passed += 1
        print("ok  ", name)
    else:
        failed += 1
        print("FAIL", name, detail)


def extract(program, kind):
    return subprocess.run(["wrestool", "-x", "--type=" + kind, "--raw", program],
                          capture_output=True).stdout


for program, words in groups:
    name = program.rsplit("/", 1)[-1]
    listing = subprocess.run(["wrestool", "-l", program], capture_output=True, text=True).stdout
    icons = [l for l in listing.splitlines() if "[type=icon " in l]
    check(name + ": an icon in four sizes", len(icons) == 4, listing)
    check(name + ": an icon group", "[type=group_icon" in listing, listing)
    info = extract(program, "16").decode("utf-16-le", "replace")
    for text in ("Brantwell Software", "Tovaro Wizard", version, name):
        check("%s: version information names %s" % (name, text), text in info, info[:400])
    numbers = [int(n) for n in version.split(".")]
    fixed = extract(program, "16")
    signature = fixed.find(b"\xbd\x04\xef\xfe")
    file_version = (int.from_bytes(fixed[signature + 10:signature + 12], "little"),
                    int.from_bytes(fixed[signature + 8:signature + 10], "little"),
                    int.from_bytes(fixed[signature + 14:signature + 16], "little"))
    check(name + ": the file version is the project's", list(file_version) == numbers,
          file_version)
    manifest = extract(program, "24").decode("utf-8", "replace")
    for word in ["asInvoker"] + words:
        check("%s: the manifest asks for %s" % (name, word), word in manifest, manifest[:300])

print("resources: %d passed, %d failed" % (passed, failed))
sys.exit(1 if failed or not groups else 0)
