#!/usr/bin/python3
"""What a blind user hears: Orca itself, keys only, on all three pages (Xvfb with openbox,
run under dbus-run-session). Orca runs with speech on but no synthesizer; its debug log holds
every utterance ("SPEECH OUTPUT: '...'"), which is what is checked: each action's result is
spoken once, a list that a button changes is not announced as if it had the focus, the drive
box says its drive, the colour fields their full names, the run its outcome before the message
box, the help panel its text; and reading the window line by line (flat review) finds the
status panel after a run and the help panel's text, panels that were hidden at start."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import desktop_support as support
from desktop_support import wait_for

# Orca ends at once when it finds another Orca of the same user (another session's screen
# reader). The test runs in a process namespace of its own, where no other process is seen;
# where it may not make one, another Orca ends the test with one line that says so.
if "TOVARO_ORCA_ALONE" not in os.environ:
    alone = dict(os.environ, TOVARO_ORCA_ALONE="1")
    # A chroot, whose root is no mount point, cannot make the namespace's own /proc private.
    if os.geteuid() == 0 and shutil.which("unshare") and subprocess.run(
            ["unshare", "--pid", "--fork", "--mount-proc", "true"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0:
        os.execvpe("unshare", ["unshare", "--pid", "--fork", "--mount-proc", sys.executable,
                               *sys.argv], alone)
    if subprocess.run(["pgrep", "-u", str(os.getuid()), "-x", "orca"],
                      stdout=subprocess.DEVNULL).returncode == 0:
        print("FAIL another Orca runs for this user, and this Orca would end at once; run the "
              "test as root outside a chroot, which gives it a process namespace of its own")
        sys.exit(1)

TOVARO = os.environ["TOVARO"]
check = support.Checks()
work = tempfile.mkdtemp()
site = os.path.join(work, "site")
os.makedirs(site)


def page(title, keywords="k", description="d"):
    head = "<title>%s</title>" % title
    if keywords:
        head += '<meta name="keywords" content="%s">' % keywords
    if description:
        head += '<meta name="description" content="%s">' % description
    return "<html><head>%s</head><body></body></html>" % head


for name, text in (("a.htm", page("A")), ("b.htm", page("B")), ("c.htm", page("C", keywords=""))):
    with open(os.path.join(site, name), "w") as f:
        f.write(text)

xvfb, display = support.start_xvfb("-screen", "0", "1280x1024x24")
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
           QT_ACCESSIBILITY="1", LANG="C.UTF-8")
env.pop("WAYLAND_DISPLAY", None)
log_path = os.path.join(work, "orca.log")
procs = [xvfb]


def spoken():
    """Every utterance so far."""
    try:
        with open(log_path, encoding="utf-8", errors="replace") as f:
            return re.findall(r"SPEECH OUTPUT: '(.*?)'", f.read())
    except FileNotFoundError:
        return []


def act(keys, expect=None, timeout=8):
    """Presses `keys` (xdotool names; "hold:K" holds K a moment, "type:T" types T) and returns
    what was said after it, waiting until `expect` (a pattern) has been said."""
    before = len(spoken())
    for k in keys.split():
        if k.startswith("type:"):
            subprocess.run(["xdotool", "type", "--delay", "60", k[5:]], env=env)
        elif k.startswith("hold:"):
            subprocess.run(["xdotool", "keydown", k[5:]], env=env)
            time.sleep(0.3)
            subprocess.run(["xdotool", "keyup", k[5:]], env=env)
        else:
            subprocess.run(["xdotool", "key", "--clearmodifiers", k], env=env)
        time.sleep(0.5)
    if expect is None:
        time.sleep(1.5)
        return spoken()[before:]
    wait_for(lambda: any(re.search(expect, s) for s in spoken()[before:]), timeout)
    time.sleep(0.5)  # anything said right after it
    return spoken()[before:]


def review_window():
    """The window as flat review reads it, line by line: Orca's "read all" in flat review."""
    act("KP_Subtract", "Entering flat review")
    before = len(spoken())
    # Pressed twice at once, the key reads the whole window from the top.
    subprocess.run(["xdotool", "key", "--repeat", "2", "--delay", "80", "KP_Add"], env=env)
    wait_for(lambda: any(s.startswith("Hilfe not checked") for s in spoken()[before:]), 10)
    lines = spoken()[before:]
    act("KP_Subtract", "Leaving flat review")
    return lines


def heard(name, said, expect, never=None):
    ok = any(re.search(expect, s) for s in said)
    if never is not None:
        ok = ok and not any(re.search(never, s) for s in said)
    check(name, ok, said)


try:
    wait_for(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0)
    procs.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    prefs = os.path.join(work, "orca-prefs")
    os.makedirs(prefs)
    # Orca as installed, with its debug log written line by line rather than when it ends, and
    # speech on (flat review speaks only then) without a speech server.
    launcher = ("import builtins, runpy, sys\n"
                "plain_open = builtins.open\n"
                "def line_open(name, mode='r', *args, **kwargs):\n"
                "    if 'w' in mode and 'b' not in mode and not args:\n"
                "        kwargs.setdefault('buffering', 1)\n"
                "    return plain_open(name, mode, *args, **kwargs)\n"
                "builtins.open = line_open\n"
                "import orca.speech\n"
                "orca.speech.init = lambda: None\n"
                "sys.argv = ['orca'] + sys.argv[1:]\n"
                "runpy.run_path('/usr/bin/orca', run_name='__main__')\n")
    procs.append(subprocess.Popen(["/usr/bin/python3", "-c", launcher, "-d", "braille",
                                   "-u", prefs, "--debug-file", log_path],
                                  env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    def started():
        try:
            with open(log_path, encoding="utf-8", errors="replace") as f:
                return "ORCA: Starting registry" in f.read()
        except FileNotFoundError:
            return False
    check("Orca starts", wait_for(started, 30), log_path)
    time.sleep(1)
    before = len(spoken())
    procs.append(subprocess.Popen([TOVARO], env=env, cwd=site, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL))
    wait_for(lambda: any("combo box" in s for s in spoken()[before:]), 20)
    time.sleep(1)
    said = spoken()[before:]
    heard("page 1: the drive box says its drive", said, r"^Laufwerk, / combo box")

    # Page 1. The folder box and the file box say their current item with their name.
    heard("page 1: the folder box says the open folder", act("Tab", r"^site\.$"), r"^site\.$")
    said = act("Tab", r"^a\.htm\.$")
    heard("page 1: the file box says its current file", said, r"^a\.htm\.$")
    act("Down Tab")  # b.htm, then "+"
    heard("page 1: + says what it added, and the list is not announced", act("space", "notification"),
          r"^notification 1 Datei hinzugefügt, 1 ausgewählt", never="Ausgewählte Dateien")
    heard("page 1: ++ likewise", act("Tab space", "notification"),
          r"^notification 3 Dateien hinzugefügt, 4 ausgewählt", never="Ausgewählte Dateien")
    heard("page 1: - with nothing marked", act("Tab space", "notification"),
          r"^notification Keine Datei markiert")
    act("Tab Down shift+Tab")  # the list's second entry (a.htm) marked, back on "-"
    heard("page 1: - says what it removed, and the list is not announced",
          act("space", "notification"), r"^notification 1 Datei entfernt, 3 ausgewählt",
          never="Ausgewählte Dateien")

    # Page 2: the colour fields by their full names; a typed value that is no colour; the
    # picker's hint and the picked colour.
    act("alt+s")
    said = act("Tab Tab Tab", r"Hex")
    heard("page 2: the background field by its full name", said, r"^Hintergrundfarbe \(Hex\) text",
          never=r"^Hex text")
    heard("page 2: a value that is no colour code is said to be one", act("type:#12", "Farbcode"),
          r"^notification Kein Farbcode: #12, die Farbfläche bleibt unverändert")
    act("ctrl+a type:#FFFFE1 Tab Tab")
    heard("page 2: the picker's hint is spoken as it starts", act("space", "Escape"),
          r"^notification Drücken Sie \[Escape\] um die momentan gewählte Farbe zu wählen")
    heard("page 2: the picked colour is spoken", act("hold:Escape", "Hintergrundfarbe #"),
          r"^notification Hintergrundfarbe #[0-9A-F]{6}\.$")

    # Page 3: the outcome before the message box; the help panel's text.
    act("alt+s")
    act("Tab Tab ctrl+a type:%s" % os.path.join(work, "lookup.htm"))
    said = act("Tab space", "erfolgreich")
    outcome = [i for i, s in enumerate(said) if s.startswith("notification Fertig:")]
    box = [i for i, s in enumerate(said) if "Die Suchdatei wurde erfolgreich erstellt!" in s]
    check("page 3: the outcome is spoken before the message box",
          outcome and box and outcome[0] < box[0]
          and said[outcome[0]] == "notification Fertig: 2 Seiten im Index, 1 Meldung.", said)
    act("Return")
    lines = review_window()
    check("page 3: flat review reads the status panel after a run",
          "Fertig: 2 Seiten im Index, 1 Meldung." in lines
          and any(s.startswith("Fehlend: Keywords") for s in lines), lines)
    said = act("Tab Tab space", "Fehlermeldung")
    heard("page 3: the help panel's text is heard", said, r"Sollte eine Fehlermeldung auftreten")
    lines = review_window()
    check("page 3: flat review reads the help panel, and not what it covers",
          "Stichwörter (für die Suche):" in lines
          and any(s.startswith("Sollte eine Fehlermeldung auftreten") for s in lines)
          and not any(s.startswith("Fertig:") for s in lines), lines)
finally:
    for p in reversed(procs):
        p.kill()
        p.wait()
print("orca: %d passed, %d failed" % (check.passed, check.failed))
if check.failed:
    print("Orca's log: %s" % log_path)
sys.exit(1 if check.failed else 0)
