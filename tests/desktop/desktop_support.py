"""What the desktop tests share: waiting, checks, and reading the wizard through the
accessibility bus."""
import subprocess
import time

import pyatspi

APP_NAME = "Tovaro Wizard"


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def __call__(self, name, ok, detail=""):
        if ok:
            self.passed += 1
            print("ok  ", name)
        else:
            self.failed += 1
            print("FAIL", name, detail)


def start_xvfb(*screen):
    """An X server on a display of its own choosing (a fixed number may be held by another
    server or a stale lock): returns the process and the display, ":N"."""
    proc = subprocess.Popen(["Xvfb", "-displayfd", "1", *screen, "-nolisten", "tcp", "-noreset"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return proc, ":" + proc.stdout.readline().decode().strip()


def wait_for(fn, timeout=10.0):
    end = time.time() + timeout
    while time.time() < end:
        value = fn()
        if value:
            return value
        time.sleep(0.1)
    return fn()


def find_app():
    """The wizard's root object on the accessibility bus, or None."""
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == APP_NAME:
            return app
    return None


def showing(node, depth=0):
    """`node` and every showing object below it."""
    if node is None or depth > 30:
        return
    try:
        if depth > 0 and not node.getState().contains(pyatspi.STATE_SHOWING):
            return
        yield node
        for i in range(node.childCount):
            yield from showing(node.getChildAtIndex(i), depth + 1)
    except Exception:
        return


def showing_texts(app):
    """Every name and text of the application's showing objects."""
    found = []
    for node in showing(app):
        if node.name:
            found.append(node.name)
        try:
            t = node.queryText()
            found.append(t.getText(0, t.characterCount))
        except NotImplementedError:
            pass
    return found


def move_pointer(run, x, y):
    """Moves the pointer and waits until it is there. "xdotool mousemove --sync" waits for a
    motion event, which never comes when the pointer stands there already (a second click on
    the same button): it then hangs for seconds, so the move is left out."""
    here = dict(line.split("=") for line in run("xdotool", "getmouselocation", "--shell").split())
    if (int(here["X"]), int(here["Y"])) != (int(x), int(y)):
        run("xdotool", "mousemove", "--sync", str(x), str(y))


def client_place(run, window):
    """The top-left corner of the window's client area on the screen."""
    info = run("xwininfo", "-id", window)
    return (int(info.split("Absolute upper-left X:")[1].split()[0]),
            int(info.split("Absolute upper-left Y:")[1].split()[0]))
