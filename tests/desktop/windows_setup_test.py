#!/usr/bin/env python3
"""The Windows setup program under Wine: a silent install puts the wizard, tovaro-gen and the
help into Program Files with a Start-menu entry and an uninstaller in "Apps & features"; the
installed wizard starts on an X server (Wine's Windows desktop), shows page 1 with its title,
moves to page 2 and 3 by keys in its place, and ends on a close request; the installed
tovaro-gen writes a page; a silent uninstall leaves nothing behind.

Usage: windows_setup_test.py SETUP_EXE WINE_RUN SEND_CLOSE [SCREENSHOT_FOLDER]
"""
import os
import subprocess
import sys
import tempfile
import time

setup, wine_run, send_close = sys.argv[1:4]
shots = sys.argv[4] if len(sys.argv) > 4 else None
prefix = os.environ.get("TOVARO_WINEPREFIX") or os.path.join(
    os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "tovaro", "wine-prefix")
drive_c = os.path.join(prefix, "drive_c")
home = os.path.join(drive_c, "Program Files", "Tovaro Wizard")
shortcut = os.path.join(drive_c, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                        "Tovaro Wizard.lnk")
key = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TovaroWizard"
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


def wine(args, env=None, timeout=180):
    return subprocess.run(["bash", wine_run] + args, capture_output=True, timeout=timeout,
                          env=env)


def registered():
    return wine(["reg", "query", key, "/v", "DisplayName"]).returncode == 0


def wait_for(condition, seconds):
    end = time.time() + seconds
    while time.time() < end:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


# A leftover of an earlier run goes first.
if os.path.exists(os.path.join(home, "uninstall.exe")):
    wine([r"C:\Program Files\Tovaro Wizard\uninstall.exe", "/S"])
    wait_for(lambda: not os.path.exists(home), 60)

wine([setup, "/S"])
check(wait_for(lambda: os.path.exists(os.path.join(home, "uninstall.exe")), 60),
      "silent install: the uninstaller is there")
for name in ("tovaro.exe", "tovaro-gen.exe", os.path.join("help", "index.htm")):
    check(os.path.isfile(os.path.join(home, name)), "installed: " + name)
check(os.path.isfile(shortcut), "Start menu: Tovaro Wizard")
check(registered(), "Apps & features: an uninstaller is registered")

with tempfile.TemporaryDirectory(prefix="tovaro-setup-") as work:
    site = os.path.join(work, "site")
    os.makedirs(site)
    with open(os.path.join(site, "a.htm"), "w", newline="") as f:
        f.write('<title>Über uns</title>\r\n<meta name="keywords" content="k">\r\n'
                '<meta name="description" content="d">\r\n</head>\r\n')
    gen = wine([r"C:\Program Files\Tovaro Wizard\tovaro-gen.exe", "--tree",
                "Z:" + site.replace("/", "\\"), "-o", "Z:" + work.replace("/", "\\") + "\\s.htm"])
    check(gen.returncode == 0 and "erfolgreich".encode() in gen.stdout,
          "the installed tovaro-gen writes a page")

    # The installed wizard on its own X server.
    display = ":%d" % (90 + os.getpid() % 50)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x900x24", "-noreset"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.5)
    env = dict(os.environ, TOVARO_WINE_DISPLAY=display)
    xenv = dict(os.environ, DISPLAY=display)
    wizard = subprocess.Popen(["bash", wine_run, os.path.join(home, "tovaro.exe")], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def window():
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^ Tovaro Wizard 1.00$"],
                           env=xenv, capture_output=True, text=True)
        ids = r.stdout.split()
        return ids[0] if ids else None

    def geometry(w):
        r = subprocess.run(["xdotool", "getwindowgeometry", w], env=xenv, capture_output=True,
                           text=True)
        return [l for l in r.stdout.splitlines() if "Position" in l]

    def shot(name, w):
        if shots:
            subprocess.run(["import", "-window", w, os.path.join(shots, name)], env=xenv)

    check(wait_for(lambda: window() is not None, 90), 'page 1 shown, titled " Tovaro Wizard 1.00"')
    first = window()
    if first:
        time.sleep(1)
        place = geometry(first)
        shot("windows-page1.png", first)
        subprocess.run(["xdotool", "windowactivate", "--sync", first], env=xenv)
        subprocess.run(["xdotool", "windowfocus", "--sync", first], env=xenv)
        subprocess.run(["xdotool", "key", "--window", first, "alt+s"], env=xenv)
        check(wait_for(lambda: window() not in (None, first), 20), "Alt+S shows page 2")
        second = window()
        if second:
            time.sleep(0.5)
            check(geometry(second) == place, "page 2 in page 1's place (%s, %s)"
                  % (place, geometry(second)))
            shot("windows-page2.png", second)
            subprocess.run(["xdotool", "key", "--window", second, "alt+s"], env=xenv)
            check(wait_for(lambda: window() not in (None, first, second), 20),
                  "Alt+S shows page 3")
            third = window()
            if third:
                time.sleep(0.5)
                shot("windows-page3.png", third)
                subprocess.run([send_close, third], env=xenv)
        check(wait_for(lambda: wizard.poll() is not None, 30), "a close request ends the wizard")
    if wizard.poll() is None:
        wizard.kill()
    xvfb.kill()

wine([r"C:\Program Files\Tovaro Wizard\uninstall.exe", "/S"])
check(wait_for(lambda: not os.path.exists(home), 60), "silent uninstall: the folder is gone")
check(not os.path.exists(shortcut), "silent uninstall: the Start-menu entry is gone")
check(not registered(), "silent uninstall: no uninstaller registered")

if failures:
    print("%d checks failed" % len(failures))
    sys.exit(1)
print("setup, wizard and uninstall work under Wine")
