#!/usr/bin/python3
"""Wayland sessions. Run under dbus-run-session.
1. A stand-in desktop portal on the private session bus answers Screenshot.PickColor: the wizard,
   told it runs in a Wayland session (XWayland stood in for by Xvfb), takes the colour into the
   field and preview, and the generated page carries it; a cancel changes nothing; the Escape
   hint is hidden afterwards.
2. With a portal that lacks PickColor, "Bildschirmpipette" runs the live picker.
3. With only a Wayland display (weston's headless backend), the wizard starts natively and shows
   page 1."""
import os
import re
import subprocess
import sys
import tempfile
import threading
import time

import dbus
import dbus.service
import pyatspi

import desktop_support as support
from desktop_support import find_app, showing_texts, wait_for
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

TOVARO = os.environ["TOVARO"]
xvfb, display = support.start_xvfb("-screen", "0", "1024x768x24")
work = tempfile.mkdtemp()
check = support.Checks()
procs = [xvfb]


# The stand-in portal: the first request picks #12AB34, the second is cancelled.
DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
PICKED = (0x12 / 255.0, 0xAB / 255.0, 0x34 / 255.0)


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results):
        pass


class Portal(dbus.service.Object):
    def __init__(self, conn, path):
        super().__init__(conn, path)
        self.calls = 0
        self.requests = []

    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}",
                         out_signature="o", sender_keyword="sender")
    def PickColor(self, parent, options, sender=None):
        self.calls += 1
        token = str(options.get("handle_token", "t%d" % self.calls))
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (
            sender[1:].replace(".", "_"), token)
        request = Request(bus, path)
        self.requests.append(request)
        if self.calls == 1:
            answer = (0, {"color": dbus.Struct([dbus.Double(c) for c in PICKED], signature="ddd")})
        else:
            answer = (1, {})
        GLib.timeout_add(300, lambda: (request.Response(dbus.UInt32(answer[0]),
                                                        dbus.Dictionary(answer[1], signature="sv")), False)[1])
        return dbus.ObjectPath(path)


loop = GLib.MainLoop()
threading.Thread(target=loop.run, daemon=True).start()


def start_portal():
    name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
    return name, Portal(bus, "/org/freedesktop/portal/desktop")


def x_env():
    return dict(os.environ, DISPLAY=display, XDG_SESSION_TYPE="wayland",
                QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG="C.UTF-8")


def run(*args, env=None):
    return subprocess.run(args, env=env or x_env(), capture_output=True, text=True).stdout.strip()


def visible_page():
    out = run("xdotool", "search", "--onlyvisible", "--name", "^ Tovaro Wizard 1.00$").split()
    return out[0] if len(out) == 1 else None


def client_place(window):
    return support.client_place(run, window)


def click_twips(window, left, top, width, height):
    x, y = client_place(window)
    support.move_pointer(run, x + (left + width // 2) * 96 // 1440, y + (top + height // 2) * 96 // 1440)
    run("xdotool", "click", "1")


def texts():
    app = find_app()
    return showing_texts(app) if app is not None else []


def pixel(x, y):
    out = run("import", "-window", "root", "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-")
    found = re.findall(r"#([0-9A-Fa-f]{6})\b", out)
    return found[-1] if found else out


def start_on_page_two():
    """Starts the wizard and goes to page 2; returns the process and the two page windows."""
    wizard = subprocess.Popen([TOVARO], env=x_env(), cwd=work, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    procs.append(wizard)
    p1 = wait_for(visible_page)
    if p1 is None:
        check("the wizard shows page 1", False)
        raise SystemExit(1)
    run("xdotool", "windowfocus", "--sync", p1)
    run("xdotool", "key", "alt+s")
    p2 = wait_for(lambda: visible_page() if visible_page() != p1 else None)
    return wizard, p1, p2


HINT = "Drücken Sie [Escape] um die momentan gewählte Farbe zu wählen und die Pipette zu beenden."
try:
    wait_for(lambda: subprocess.run(["xdpyinfo"], env=x_env(), capture_output=True).returncode == 0)
    pyatspi.Registry.getDesktop(0)  # the accessibility bus runs before the wizard starts

    # 1. The portal picks the colour.
    portal_name, portal = start_portal()
    output = os.path.join(work, "suche.htm")
    wizard, p1, p2 = start_on_page_two()
    click_twips(p2, 120 + 2880, 720 + 360, 2055, 255)  # Bildschirmpipette, background
    asked = wait_for(lambda: portal.calls == 1, 5)
    check("the wizard asks the portal for a colour", asked)
    hint_while_asking = HINT in texts()
    check("the Escape hint shows while the portal is asked", hint_while_asking)
    took = wait_for(lambda: "#12AB34" in texts(), 5)
    check("the portal's colour is in the field", took, texts()[:20])
    x, y = client_place(p2)
    preview = pixel(x + (120 + 120 + 247) * 96 // 1440, y + (720 + 240 + 247) * 96 // 1440)
    check("the portal's colour is in the preview", preview.upper() == "12AB34", preview)
    check("the Escape hint is hidden after the answer", HINT not in texts())

    click_twips(p2, 120 + 2880, 720 + 360, 2055, 255)  # again: this time cancelled
    run("xdotool", "click", "1")  # a second click while the request is open
    wait_for(lambda: portal.calls >= 2, 5)
    time.sleep(1)
    shown = texts()
    check("a cancel changes nothing", "#12AB34" in shown and HINT not in shown)
    check("no second request while one is open", portal.calls == 2, portal.calls)

    # The generated page carries the colour.
    run("xdotool", "key", "alt+s")
    p3 = wait_for(lambda: visible_page() if visible_page() not in (p1, p2) else None)
    click_twips(p3, 240, 1080, 7095, 285)
    run("xdotool", "key", "ctrl+a")
    run("xdotool", "type", output)
    click_twips(p3, 6120, 6960, 1215, 375)
    page = wait_for(lambda: os.path.exists(output) and open(output, "rb").read(), 10) or b""
    check("the generated page carries the portal's colour", b'<body bgcolor="#12AB34">' in page)
    wizard.kill()
    wizard.wait()

    # 2. A portal without PickColor: the live picker runs. (A stand-in, so that no portal of the
    # machine is started on the test's bus.)
    portal.remove_from_connection()
    other = Request(bus, "/org/freedesktop/portal/desktop")
    wizard, p1, p2 = start_on_page_two()
    click_twips(p2, 120 + 2880, 720 + 360, 2055, 255)
    time.sleep(1.5)
    check("without PickColor the live picker runs (hint shown, no answer to wait for)",
          HINT in texts())
    # The live picker follows the pointer: over the wizard's own text colour preview (black).
    x, y = client_place(p2)
    support.move_pointer(run, x + (120 + 120 + 247) * 96 // 1440, y + (1920 + 240 + 247) * 96 // 1440)
    check("the live picker samples the screen", wait_for(lambda: "#000000" in texts(), 5))
    wizard.kill()
    wizard.wait()

    # 3. Only a Wayland display: the wizard starts natively.
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700)
    w_env = dict(os.environ, XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY="wayland-tovaro")
    w_env.pop("DISPLAY", None)
    w_env.pop("QT_QPA_PLATFORM", None)
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--use-pixman", "--debug",
                               "--socket=wayland-tovaro", "--width=1024", "--height=768"],
                              env=w_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    procs.append(weston)
    wait_for(lambda: os.path.exists(os.path.join(runtime, "wayland-tovaro")), 10)
    native = subprocess.Popen([TOVARO], env=w_env, cwd=work, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE)
    procs.append(native)
    time.sleep(3)
    check("the wizard runs natively on Wayland", native.poll() is None)
    shots = os.path.join(work, "shots")
    os.makedirs(shots)
    subprocess.run(["weston-screenshooter"], env=w_env, cwd=shots, capture_output=True)
    names = [os.path.join(shots, n) for n in os.listdir(shots)]
    share = 0.0
    if names:
        # The page's background (#EFEFEF) covers a good part of the screen once page 1 shows.
        share = float(run("convert", names[0], "-fill", "black", "+opaque", "srgb(239,239,239)",
                          "-fill", "white", "-opaque", "srgb(239,239,239)", "-format",
                          "%[fx:mean]", "info:"))
    check("page 1 shows on the Wayland display", share > 0.03, "screenshots %s, share %.3f" % (names, share))
finally:
    for p in reversed(procs):
        p.kill()
        p.wait()
    loop.quit()
    subprocess.run(["rm", "-rf", work])
print("wayland: %d passed, %d failed" % (check.passed, check.failed))
sys.exit(1 if check.failed else 0)
