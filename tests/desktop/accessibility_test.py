#!/usr/bin/python3
"""The wizard as a screen reader meets it: Xvfb with openbox and the accessibility bus (run
under dbus-run-session). On each page every focusable control must have a name of its own (a
combo box by the label tied to it), and the page must carry its heading; the picker's hint is
a notification while it shows; on page 3 the help panel, once closed, hides whole and Tab never
stops on what it covers."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

import desktop_support as support
from desktop_support import find_app, showing, showing_texts, wait_for

TOVARO = os.environ["TOVARO"]
xvfb, display = support.start_xvfb("-screen", "0", "1280x1024x24")
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
           QT_ACCESSIBILITY="1")
env.pop("WAYLAND_DISPLAY", None)
os.environ["DISPLAY"] = display
procs = [xvfb]
check = support.Checks()


def run(*args):
    return subprocess.run(args, env=env, capture_output=True, text=True).stdout.strip()


def key(k):
    run("xdotool", "key", "--clearmodifiers", k)
    time.sleep(0.4)


def showing_window(app):
    """The page that shows (the application's one showing top-level object)."""
    def find():
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if w is not None and w.getState().contains(pyatspi.STATE_SHOWING):
                return w
        return None
    return wait_for(find, 5)


def announced(node):
    """What a screen reader says for a control: a combo box by the label tied to it."""
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                for i in range(relation.getNTargets()):
                    target = relation.getTarget(i)
                    if target.getRole() == pyatspi.ROLE_LABEL:
                        return target.name
        return ""
    return node.name


def controls(window):
    """The focusable controls of a page (a combo box's own field and list items aside)."""
    found = []
    for node in showing(window):
        state = node.getState()
        if not state.contains(pyatspi.STATE_FOCUSABLE):
            continue
        parent = node.parent
        if parent is not None and parent.getRole() in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST,
                                                       pyatspi.ROLE_LIST_BOX):
            continue
        found.append(node)
    return found


def check_names(page, window):
    names = [(n.getRoleName(), announced(n)) for n in controls(window)]
    check("page %d: has its controls on the bus" % page, len(names) >= 7, names)
    empty = [r for r, n in names if not n.strip()]
    check("page %d: every control has a name" % page, not empty, empty)
    seen = {}
    for role, name in names:
        seen.setdefault(name, []).append(role)
    twice = {n: r for n, r in seen.items() if len(r) > 1}
    check("page %d: no two controls share a name" % page, not twice, twice)
    return names


def focused_name(app):
    for node in showing(showing_window(app)):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return announced(node)
    return None


def tab_cycle(app, steps):
    names = []
    for _ in range(steps):
        key("Tab")
        names.append(focused_name(app))
    return names


try:
    wait_for(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0)
    procs.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    time.sleep(1)
    pyatspi.Registry.getDesktop(0)  # Qt joins the bus only when it runs already
    work = tempfile.mkdtemp()
    app_proc = subprocess.Popen([TOVARO], env=env, cwd=work, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    procs.append(app_proc)
    app = wait_for(find_app, 15)
    check("the wizard is on the accessibility bus", app is not None)
    headings = ["Schritt 1 - Wählen Sie alle Dateien aus die durchsucht werden sollen.",
                "Schritt 1 - Wählen Sie die Farboptionen aus", "Schritt 4 - Erzeugen der Suchfunktion"]
    for page in (1, 2, 3):
        window = showing_window(app)
        check("page %d: the window carries its heading" % page,
              window is not None and window.description == headings[page - 1],
              window and window.description)
        names = check_names(page, window)
        if page == 2:
            # The live picker's hint is a notification, which a screen reader speaks as it shows.
            run("xdotool", "search", "--onlyvisible", "--name", "^ Tovaro Wizard 1.00$")
            pipette = [n for n in controls(window) if n.name == "Bildschirmpipette Hintergrundfarbe"]
            if pipette:
                pipette[0].queryAction().doAction(0)
            alert = wait_for(lambda: [n for n in showing(showing_window(app))
                                      if n.getRole() == pyatspi.ROLE_NOTIFICATION], 5)
            check("page 2: the picker's hint is a notification", bool(alert) and alert[0].name.startswith(
                "Drücken Sie [Escape]"), [(n.getRoleName(), n.name) for n in showing(showing_window(app))][:8])
            # Held long enough for the picker, which looks at the key every 20 ms.
            run("xdotool", "keydown", "Escape")
            time.sleep(0.2)
            run("xdotool", "keyup", "Escape")
            gone = wait_for(lambda: not [n for n in showing(showing_window(app))
                                         if n.getRole() == pyatspi.ROLE_NOTIFICATION], 5)
            check("page 2: Escape ends the hint", gone)
        if page < 3:
            key("alt+s")
            time.sleep(0.5)

    # Page 3: a run into a folder of our own, then the help panel.
    window = showing_window(app)
    out_field = [n for n in controls(window) if n.name == "Ausgabedatei"][0]
    out_field.queryEditableText().setTextContents(os.path.join(work, "lookup.htm"))
    [n for n in controls(window) if n.name == "Datei erzeugen"][0].queryAction().doAction(0)
    time.sleep(1)
    key("Return")  # the message box
    time.sleep(0.5)
    window = showing_window(app)
    [n for n in controls(window) if n.name == "Hilfe zu den Meldungen"][0].queryAction().doAction(0)
    time.sleep(0.5)
    covered = {"Stammverzeichnis auf Ihrem Webserver", "Meldungen", "Hilfe zu den Meldungen"}
    stops = tab_cycle(app, 12)
    check("page 3 with the help shown: Tab passes over what it covers",
          not covered & set(stops) and "Hilfe schließen" in stops, stops)
    [n for n in controls(showing_window(app)) if n.name == "Hilfe schließen"][0].queryAction().doAction(0)
    time.sleep(0.5)
    texts = showing_texts(app)
    check("page 3: closing the help hides it whole",
          "Hilfe schließen" not in texts and "Titel:" not in texts, texts[-12:])
    web_root = [n for n in showing(showing_window(app)) if n.name == "Stammverzeichnis auf Ihrem Webserver"]
    check("page 3: the web root box shows again", bool(web_root))
    stops = tab_cycle(app, 14)
    check("page 3: Tab reaches the web root box and the links",
          {"Stammverzeichnis auf Ihrem Webserver", "www.tovaro.example", "info@tovaro.example"} <= set(stops),
          stops)
    check_names(3, showing_window(app))
finally:
    for p in reversed(procs):
        p.kill()
        p.wait()
print("accessibility: %d passed, %d failed" % (check.passed, check.failed))
sys.exit(1 if check.failed else 0)
