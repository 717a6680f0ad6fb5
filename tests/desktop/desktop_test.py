#!/usr/bin/python3
"""The real wizard on a desktop: Xvfb with openbox (a window manager that draws frames) and the
accessibility bus. Run under dbus-run-session. Checks, as a user would with keys and the mouse:
the page keeps its place over page changes and after a drag, the focus when a page is first
shown, the colour dialog's German title, a failed write's German message, and a close request
while the message box is open. With NO_WM=1 the same runs without a window manager."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

import desktop_support as support
from desktop_support import find_app, showing_texts, wait_for

TOVARO = os.environ["TOVARO"]
USE_WM = os.environ.get("NO_WM") != "1"
xvfb, display = support.start_xvfb("-screen", "0", "1280x1024x24")
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
           QT_ACCESSIBILITY="1", LANG="en_US.UTF-8", LC_ALL="")
env.pop("WAYLAND_DISPLAY", None)
env.pop("XDG_SESSION_TYPE", None)
os.environ["DISPLAY"] = display
procs = [xvfb]
check = support.Checks()


def run(*args):
    return subprocess.run(args, env=env, capture_output=True, text=True).stdout.strip()


def visible_pages():
    out = run("xdotool", "search", "--onlyvisible", "--name", "^ Tovaro Wizard 1.00$")
    return [w for w in out.split() if w]


def page():
    return wait_for(lambda: visible_pages()[0] if len(visible_pages()) == 1 else None)


def client_place(window):
    return support.client_place(run, window)


def settle():
    time.sleep(0.4)


def shot(name):
    if os.environ.get("SHOTS"):
        run("import", "-window", "root", os.path.join(os.environ["SHOTS"], name + ".png"))


def accessible_app():
    return wait_for(find_app, 15)


def focused(app):
    """The object of the application's showing windows that has the keyboard focus."""
    def walk(node, depth=0):
        if node is None or depth > 30:
            return None
        try:
            state = node.getState()
            if depth > 0 and not state.contains(pyatspi.STATE_SHOWING):
                return None
            if state.contains(pyatspi.STATE_FOCUSED):
                return node
            for i in range(node.childCount):
                hit = walk(node.getChildAtIndex(i), depth + 1)
                if hit is not None:
                    return hit
        except Exception:
            return None
        return None
    return wait_for(lambda: walk(app), 5)


def click_client(window, x, y):
    """A click at client coordinates of the window (in pixels)."""
    cx, cy = client_place(window)
    support.move_pointer(run, cx + x, cy + y)
    run("xdotool", "click", "1")


def press(window, keys):
    run("xdotool", "windowactivate" if USE_WM else "windowfocus", "--sync", window)
    run("xdotool", "key", "--clearmodifiers", keys)


def twips(v):
    return v * 96 // 1440


def click_button(window, left, top, width=1215, height=375):
    click_client(window, twips(left) + twips(width) // 2, twips(top) + twips(height) // 2)


try:
    wait_for(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0)
    if USE_WM:
        procs.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL))
        time.sleep(1)
    # Qt joins the accessibility bus only when it is running already, as on a desktop.
    pyatspi.Registry.getDesktop(0)
    work = tempfile.mkdtemp()
    app_proc = subprocess.Popen([TOVARO], env=env, cwd=work, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    procs.append(app_proc)
    p1 = page()
    app = accessible_app()
    check("the wizard is on the accessibility bus", app is not None)

    # Focus on the first control of page 1 (without a window manager nobody gives the new
    # window the focus: the test does).
    if not USE_WM:
        run("xdotool", "windowfocus", "--sync", p1)
    f = focused(app) if app else None
    check("page 1 starts with the focus on the drive box",
          f is not None and f.getRole() == pyatspi.ROLE_COMBO_BOX, f and (f.getRoleName(), f.name))

    # Ten and more page changes by keys and clicks, with a drag in between.
    place = client_place(p1)
    moves = [("key", "alt+s"), ("key", "alt+c"), ("click", (6120, 6960)), ("key", "alt+s"),
             ("drag", None), ("key", "alt+c"), ("key", "alt+c"), ("click", (6120, 6960)),
             ("click", (6120, 6960)), ("click", (4680, 6960)), ("key", "alt+c"), ("drag", None),
             ("key", "alt+s"), ("key", "alt+s"), ("key", "alt+c")]
    first_focus = {}  # page number -> (role, name) of the focused control when first shown
    number = {p1: 1}
    current = p1
    changes = 0
    for kind, what in moves:
        if kind == "drag":
            # Drag by the title bar where a window manager draws one; else move the window.
            if USE_WM:
                cx, cy = client_place(current)
                support.move_pointer(run, cx + 100, cy - 8)
                run("xdotool", "mousedown", "1")
                support.move_pointer(run, cx + 140, cy + 60)
                support.move_pointer(run, cx + 180, cy + 110)
                run("xdotool", "mouseup", "1")
            else:
                run("xdotool", "windowmove", current, str(place[0] + 90), str(place[1] + 70))
            settle()
            new_place = client_place(current)
            check("the drag moved the page", new_place != place, (place, new_place))
            place = new_place
            continue
        if kind == "key":
            press(current, what)
        else:
            click_button(current, *what)
        settle()
        target = page()
        changes += 1
        now = client_place(target)
        check("change %d (%s %s) keeps the place" % (changes, kind, what), now == place, (place, now))
        forward = what == "alt+s" or what == (6120, 6960)
        if target not in number:
            number[target] = number[current] + (1 if forward else -1)
            f = focused(app)
            first_focus[number[target]] = (f.getRoleName(), f.name) if f is not None else None
        current = target
    check("ten and more page changes", changes >= 10)
    check("page 2 starts with the focus on >> Schritt 3",
          first_focus.get(2) == ("push button", ">> Schritt 3"), first_focus)
    check("page 3 starts with the focus on << Schritt 3",
          first_focus.get(3) == ("push button", "<< Schritt 3"), first_focus)

    def go(n):
        global current
        while number[current] != n:
            press(current, "alt+s" if number[current] < n else "alt+c")
            settle()
            current = page()

    # Page 2: the colour dialog speaks German.
    go(2)
    p2 = current
    click_button(p2, 120 + 5160, 720 + 360, 2055, 255)  # Farbe wählen... of the background
    dialog = wait_for(lambda: [w for w in run("xdotool", "search", "--onlyvisible", "--name", ".").split()
                               if w not in visible_pages() and run("xdotool", "getwindowname", w).strip()
                               and run("xdotool", "getwindowname", w) != "openbox"], 5)
    shot("colour-dialog")
    title = run("xdotool", "getwindowname", dialog[0]) if dialog else ""
    check("the colour dialog has a German title", title in ("Farbauswahl", "Farbe auswählen", "Farbe wählen"),
          title)
    all_text = " ".join(showing_texts(app))
    check("the colour dialog's buttons are German", "Abbrechen" in all_text and "Cancel" not in all_text,
          all_text[:300])
    run("xdotool", "key", "Escape")
    settle()

    # Page 3: a run that cannot write shows the reason in German.
    go(3)
    p3 = current
    click_client(p3, twips(120 + 120) + 50, twips(720 + 360) + 8)  # into Text1
    run("xdotool", "key", "ctrl+a")
    run("xdotool", "type", "/gibt/es/nicht/lookup.htm")
    # A page shown again gets back the control that had the focus.
    go(2)
    go(3)
    f = focused(app)
    check("page 3 shown again has the focus on the output file box",
          f is not None and f.getRole() == pyatspi.ROLE_TEXT
          and "/gibt/es/nicht" in f.queryText().getText(0, -1), f and (f.getRoleName(), f.name))
    click_button(p3, 6120, 6960)  # Datei erzeugen
    time.sleep(1)
    shot("failed-write")
    all_text = " ".join(showing_texts(app))
    check("a failed write says why in German",
          "Der Ordner oder die Datei existiert nicht." in all_text and "No such file" not in all_text,
          all_text[-400:])

    # A close request for the page while the message box is open ends the program.
    if USE_WM:
        run("wmctrl", "-i", "-c", p3)  # the window manager sends WM_DELETE_WINDOW
    else:
        run(os.environ["SEND_CLOSE"], p3)  # WM_DELETE_WINDOW, as a window manager sends it
    try:
        app_proc.wait(timeout=5)
        ended = True
    except subprocess.TimeoutExpired:
        ended = False
    check("a close request while the message box is open ends the program", ended)

    # A close request during a run on a slow share ends the program at once: the run stops,
    # the old page stays as it was, and no temporary file is left beside it.
    site = os.path.join(work, "langsam")
    os.makedirs(site)
    for i in range(400):
        with open(os.path.join(site, "s%03d.htm" % i), "w") as f:
            f.write("<html><head><title>S%d</title><meta name=\"keywords\" content=\"k\">"
                    "<meta name=\"description\" content=\"d\"></head></html>\n" % i)
    with open(os.path.join(site, "lookup.htm"), "w") as f:
        f.write("alt")
    slow_env = dict(env, LD_PRELOAD=os.environ["SLOW_OPEN"])
    app_proc = subprocess.Popen([TOVARO], env=slow_env, cwd=site, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    procs.append(app_proc)
    current = page()
    if not USE_WM:
        run("xdotool", "windowfocus", "--sync", current)
    click_button(current, 3840, 4275, 615, 495)  # +++
    settle()
    for _ in range(2):
        press(current, "alt+s")
        settle()
        current = page()
    click_client(current, twips(120 + 120) + 50, twips(720 + 360) + 8)  # into Text1
    run("xdotool", "key", "ctrl+a")
    run("xdotool", "type", os.path.join(site, "lookup.htm"))
    click_button(current, 6120, 6960)  # Datei erzeugen: 400 pages at 10 ms, four seconds
    time.sleep(1)
    check("the run is still going a second later", app_proc.poll() is None)
    requested = time.time()
    if USE_WM:
        run("wmctrl", "-i", "-c", current)
    else:
        run(os.environ["SEND_CLOSE"], current)
    try:
        app_proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        pass
    took = time.time() - requested
    check("a close request during a run ends the program at once", took < 1.5, "%.1f s" % took)
    with open(os.path.join(site, "lookup.htm")) as f:
        kept = f.read()
    check("the interrupted run leaves the old page", kept == "alt", kept[:80])
    leftovers = [n for n in os.listdir(site) if n.startswith(".tovaro")]
    check("the interrupted run leaves no temporary file", not leftovers, leftovers)
finally:
    for p in reversed(procs):
        p.kill()
        p.wait()
print("desktop (%s): %d passed, %d failed" % ("openbox" if USE_WM else "no window manager",
                                              check.passed, check.failed))
sys.exit(1 if check.failed else 0)
