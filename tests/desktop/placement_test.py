#!/usr/bin/python3
"""Page places under a real window manager at any scale: Xvfb (started with -noreset, so that
an Xft.dpi set with xrdb before any client stays), the window manager named by WM (openbox,
xfwm4, kwin_x11, fluxbox), and the wizard with QT_SCALE_FACTOR=SCALE or Xft.dpi DPI. Twelve page
changes by keys and clicks, title-bar drags to a place fully on the screen and partly off it,
and a maximise and a full-screen request: the next page stands exactly where the old one stood,
at its fixed size."""
import os
import subprocess
import sys
import tempfile
import time

import desktop_support as support
from desktop_support import wait_for

TOVARO = os.environ["TOVARO"]
WM = os.environ.get("WM", "openbox")
SCALE = os.environ.get("SCALE", "1")
DPI = os.environ.get("DPI", "")
factor = float(DPI) / 96 if DPI else float(SCALE)
xvfb, display = support.start_xvfb("-screen", "0", "3200x2000x24" if factor > 1 else "1600x1000x24")
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
for k in ("WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS"):
    env.pop(k, None)
app_env = dict(env)
if SCALE != "1":
    app_env["QT_SCALE_FACTOR"] = SCALE
label = "%s, %s" % (WM, "Xft.dpi %s" % DPI if DPI else "scale %s" % SCALE)
procs = [xvfb]
check = support.Checks()


def run(*args):
    return subprocess.run(args, env=env, capture_output=True, text=True).stdout.strip()


def visible_pages():
    return [w for w in run("xdotool", "search", "--onlyvisible", "--name", "^ Tovaro Wizard 1.00$").split() if w]


def page():
    return wait_for(lambda: visible_pages()[0] if len(visible_pages()) == 1 else None)


def place(window):
    return support.client_place(run, window)


def size(window):
    info = run("xwininfo", "-id", window)
    return (int(info.split("Width:")[1].split()[0]), int(info.split("Height:")[1].split()[0]))


def windows_state():
    """The visible pages with their places and sizes, or None while one is coming or going."""
    try:
        return tuple((w, place(w), size(w)) for w in visible_pages())
    except (IndexError, ValueError):
        return None


def settle():
    """Waits until the window manager is done: one page, standing still for 0.3 s (at most 5 s)."""
    time.sleep(0.1)
    last, since = windows_state(), time.time()
    end = since + 5
    while time.time() < end:
        time.sleep(0.1)
        now = windows_state()
        if now != last:
            last, since = now, time.time()
        elif now is not None and len(now) == 1 and time.time() - since >= 0.3:
            return


# Device pixels per pixel of the layout.


def click_button(window, left, top, width=1215, height=375):
    x, y = place(window)
    move_pointer(x + int((left + width / 2) / 15 * factor), y + int((top + height / 2) / 15 * factor))
    run("xdotool", "click", "1")


def move_pointer(x, y):
    support.move_pointer(run, x, y)


def press(window, keys):
    run("xdotool", "windowactivate", "--sync", window)
    run("xdotool", "key", "--clearmodifiers", keys)


def drag(window, dx, dy):
    """Drags the window by its title bar (just above the client area) by dx, dy pixels."""
    x, y = place(window)
    # A point of the title bar that is on the screen before and after the drag.
    grab_x = min(max(x + 40, 20, 20 - dx), x + int(400 * factor))
    grab_y = y - 8
    move_pointer(grab_x, grab_y)
    run("xdotool", "mousedown", "1")
    steps = 8
    for i in range(1, steps + 1):
        move_pointer(grab_x + dx * i // steps, grab_y + dy * i // steps)
        time.sleep(0.03)
    run("xdotool", "mouseup", "1")


def start_wm():
    if WM == "openbox":
        return subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if WM == "xfwm4":
        return subprocess.Popen(["xfwm4", "--compositor=off"], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    if WM == "kwin_x11":
        return subprocess.Popen(["kwin_x11", "--replace"], env=dict(env, QT_QPA_PLATFORM="xcb",
                                KWIN_COMPOSE="N"), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if WM == "fluxbox":
        home = tempfile.mkdtemp()
        return subprocess.Popen(["fluxbox"], env=dict(env, HOME=home), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    raise SystemExit("unknown WM " + WM)


try:
    width, height = (3200, 2000) if factor > 1 else (1600, 1000)
    wait_for(lambda: subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0)
    if DPI:
        subprocess.run(["xrdb", "-merge"], input="Xft.dpi: %s\n" % DPI, text=True, env=env)
    procs.append(start_wm())
    time.sleep(3 if WM == "kwin_x11" else 1.5)
    work = tempfile.mkdtemp()
    procs.append(subprocess.Popen([TOVARO], env=app_env, cwd=work, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL))
    current = page()
    check("%s: page 1 shows" % label, current is not None)
    where = place(current)
    first_size = size(current)
    check("%s: the page has its size at this scale" % label,
          abs(first_size[0] - round(512 * factor)) <= 2 and abs(first_size[1] - round(503 * factor)) <= 2,
          first_size)
    number = {current: 1}
    moves = [("key", "alt+s"), ("key", "alt+c"), ("click", "next"), ("click", "next"),
             ("drag", (int(30 * factor), int(40 * factor))), ("key", "alt+c"), ("click", "back"),
             ("offscreen", "left"), ("key", "alt+s"), ("click", "next"), ("offscreen", "bottom"),
             ("key", "alt+c"), ("key", "alt+s"), ("maximise", "maximized_vert,maximized_horz"), ("key", "alt+c"),
             ("click", "next"), ("maximise", "fullscreen"), ("click", "back")]
    changes = 0
    for kind, what in moves:
        if kind in ("drag", "offscreen"):
            if kind == "drag":
                target = (where[0] + what[0], where[1] + what[1])
            elif what == "left":
                target = (-int(110 * factor), where[1])
            else:
                target = (where[0], height - int(200 * factor))
            # The user drags the page by its title bar, as far as the target lies from here.
            drag(current, target[0] - where[0], target[1] - where[1])
            settle()
            new = place(current)
            if new == where:
                check("%s: the page moved for %s" % (label, kind), False, (where, new))
            where = new
            continue
        if kind == "maximise":
            run("wmctrl", "-i", "-r", current, "-b", "add," + what)
            settle()
            check("%s: the page keeps its size when asked for %s" % (label, what),
                  size(current) == first_size, size(current))
            where = place(current)
            continue
        if kind == "key":
            press(current, what)
        else:
            click_button(current, 6120 if what == "next" else 4680, 6960)
        settle()
        target = page()
        changes += 1
        now = place(target)
        check("%s: change %d (%s %s) keeps the place" % (label, changes, kind, what), now == where,
              (where, now))
        check("%s: change %d keeps the size" % (label, changes), size(target) == first_size,
              (first_size, size(target)))
        current = target
    check("%s: ten and more page changes" % label, changes >= 10)
finally:
    for p in reversed(procs):
        p.kill()
        p.wait()
print("placement (%s): %d passed, %d failed" % (label, check.passed, check.failed))
sys.exit(1 if check.failed else 0)
