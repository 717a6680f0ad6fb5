"""The three browser engines that visitors use, each driven the way its own tools drive it:
Chromium through the DevTools protocol over a pipe, Firefox ESR through Marionette on a
loopback port, WebKitGTK through its GObject API in a helper process under Xvfb. Each loads a
page in a fresh process and answers with the time until the load ended and the value of a
script run afterwards. Nothing here leaves this machine: pages come from file:// URLs."""
import json
import os
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


class Chromium:
    name = "Chromium"

    def __init__(self, binary=None):
        binary = binary or os.environ.get("CHROMIUM", "chromium")
        self.profile = tempfile.mkdtemp()
        to_browser, from_us = os.pipe()
        to_us, from_browser = os.pipe()

        def pipes():  # the protocol reads fd 3 and writes fd 4
            a, b = os.dup(to_browser), os.dup(from_browser)
            os.dup2(a, 3)
            os.dup2(b, 4)
        self.proc = subprocess.Popen(
            [binary, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--remote-debugging-pipe", "--user-data-dir=" + self.profile, "about:blank"],
            pass_fds=(3, 4), preexec_fn=pipes, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser)
        os.close(from_browser)
        self.out = os.fdopen(from_us, "wb", buffering=0)
        self.into = os.fdopen(to_us, "rb", buffering=0)
        self.buf = b""
        self.last_id = 0
        self.events = []
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.send("Page.enable", session=True)

    def send(self, method, params=None, session=False):
        self.last_id += 1
        msg = {"id": self.last_id, "method": method, "params": params or {}}
        if session:
            msg["sessionId"] = self.session
        self.out.write(json.dumps(msg).encode() + b"\0")
        while True:
            m = self._read()
            if m.get("id") == self.last_id:
                if "error" in m:
                    raise RuntimeError(m["error"])
                return m["result"]
            self.events.append(m)

    def _read(self):
        while b"\0" not in self.buf:
            chunk = self.into.read(1 << 16)
            if not chunk:
                raise RuntimeError("Chromium closed its pipe")
            self.buf += chunk
        line, self.buf = self.buf.split(b"\0", 1)
        return json.loads(line)

    def _wait_event(self, method, timeout=300):
        end = time.time() + timeout
        while time.time() < end:
            for i, e in enumerate(self.events):
                if e.get("method") == method and e.get("sessionId") == self.session:
                    return self.events.pop(i)
            self.events.append(self._read())
        raise RuntimeError("no " + method)

    def phone(self, width=375, height=800):
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 2, "mobile": True}, session=True)

    def load(self, url, script):
        t0 = time.time()
        self.events.clear()
        self.send("Page.navigate", {"url": url}, session=True)
        self._wait_event("Page.loadEventFired")
        seconds = time.time() - t0
        r = self.send("Runtime.evaluate", {"expression": script, "returnByValue": True}, session=True)
        return seconds, r["result"].get("value")

    def accessibility_tree(self):
        self.send("Accessibility.enable", session=True)
        nodes = self.send("Accessibility.getFullAXTree", session=True)["nodes"]
        return [(n.get("role", {}).get("value"), n.get("name", {}).get("value")) for n in nodes]

    def close(self):
        try:
            self.send("Browser.close")
            self.proc.wait(timeout=20)
        except Exception:
            self.proc.kill()
            self.proc.wait()


class Firefox:
    name = "Firefox"

    def __init__(self, binary="firefox-esr"):
        self.profile = tempfile.mkdtemp()
        probe = socket.socket()
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
        probe.close()
        with open(os.path.join(self.profile, "user.js"), "w") as f:
            for pref, value in (("marionette.port", port), ("browser.shell.checkDefaultBrowser", False),
                                ("datareporting.policy.dataSubmissionEnabled", False),
                                ("app.update.disabledForTesting", True)):
                f.write("user_pref(%s, %s);\n" % (json.dumps(pref), json.dumps(value)))
        self.proc = subprocess.Popen(
            [binary, "--headless", "--marionette", "--no-remote", "--profile", self.profile, "about:blank"],
            env=dict(os.environ, MOZ_HEADLESS="1"), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        end = time.time() + 90
        while True:
            try:
                self.sock = socket.create_connection(("127.0.0.1", port), timeout=300)
                break
            except OSError:
                if time.time() > end or self.proc.poll() is not None:
                    raise RuntimeError("Firefox did not start")
                time.sleep(0.2)
        self.buf = b""
        self.last_id = 0
        self._read()  # the greeting
        self._command("WebDriver:NewSession", {"capabilities": {"alwaysMatch": {"pageLoadStrategy": "normal"}}})

    def _read(self):
        while b":" not in self.buf:
            self.buf += self.sock.recv(1 << 16)
        size, rest = self.buf.split(b":", 1)
        size = int(size)
        while len(rest) < size:
            rest += self.sock.recv(1 << 16)
        self.buf = rest[size:]
        return json.loads(rest[:size])

    def _command(self, name, params=None):
        self.last_id += 1
        data = json.dumps([0, self.last_id, name, params or {}]).encode()
        self.sock.sendall(str(len(data)).encode() + b":" + data)
        while True:
            m = self._read()
            if m[0] == 1 and m[1] == self.last_id:
                if m[2]:
                    raise RuntimeError(m[2])
                return m[3]

    def load(self, url, script):
        t0 = time.time()
        self._command("WebDriver:Navigate", {"url": url})
        seconds = time.time() - t0
        value = self._command("WebDriver:ExecuteScript", {"script": "return " + script, "args": []})["value"]
        return seconds, value

    def close(self):
        try:
            self._command("Marionette:Quit")
            self.proc.wait(timeout=30)
        except Exception:
            self.proc.kill()
            self.proc.wait()


class WebKit:
    """WebKitGTK in a helper process (webkit_helper.py) under Xvfb: one line of JSON a request."""
    name = "WebKitGTK"

    def __init__(self):
        self.proc = subprocess.Popen(
            ["xvfb-run", "-a", "/usr/bin/python3", os.path.join(HERE, "webkit_helper.py")],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)

    def load(self, url, script):
        self.proc.stdin.write(json.dumps({"url": url, "script": script}) + "\n")
        self.proc.stdin.flush()
        answer = self.proc.stdout.readline()
        if not answer:
            raise RuntimeError("the WebKit helper ended")
        answer = json.loads(answer)
        if "error" in answer:
            raise RuntimeError(answer["error"])
        return answer["seconds"], answer["value"]

    def close(self):
        self.proc.stdin.close()
        try:
            self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


ENGINES = (Chromium, Firefox, WebKit)
