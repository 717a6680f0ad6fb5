"""The three browser engines that visitors use, each driven the way its own tools drive it:
Chromium through the DevTools protocol over a pipe, Firefox ESR through Marionette on a
loopback port, WebKitGTK through its GObject API in a helper process under Xvfb. Each loads a
page and answers with the time until the load ended and the value of a script run afterwards,
runs further scripts in the page loaded, lays pages out at a given size (a phone's, 375 by 800
CSS pixels) and tells what the pages wrote to the console: an error or a warning there is a
fault of the page. Nothing here leaves this machine: pages come from file:// URLs."""
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
        self.send("Runtime.enable", session=True)
        self.send("Log.enable", session=True)

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

    def desktop(self):
        self.send("Emulation.clearDeviceMetricsOverride", session=True)

    def run(self, script):
        r = self.send("Runtime.evaluate", {"expression": script, "returnByValue": True}, session=True)
        return r["result"].get("value")

    def take_console(self):
        """The errors and warnings the pages logged since the last call."""
        self.send("Runtime.evaluate", {"expression": "0"}, session=True)  # the events so far
        logged, kept = [], []
        for e in self.events:
            method, params = e.get("method"), e.get("params", {})
            if method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "warning", "assert"):
                logged.append(params["type"] + ": " + " ".join(
                    str(a.get("value", a.get("description"))) for a in params.get("args", [])))
            elif method == "Runtime.exceptionThrown":
                details = params.get("exceptionDetails", {})
                logged.append("exception: " + str(details.get("exception", {}).get("description", details.get("text"))))
            elif method == "Log.entryAdded" and params.get("entry", {}).get("level") in ("error", "warning"):
                logged.append("log: " + params["entry"].get("text", ""))
            else:
                kept.append(e)
        self.events = kept
        return logged

    def load(self, url, script):
        t0 = time.time()
        self.events.clear()
        self.events = [e for e in self.events if e.get("method") != "Page.loadEventFired"]
        self.send("Page.navigate", {"url": url}, session=True)
        self._wait_event("Page.loadEventFired")
        seconds = time.time() - t0
        return seconds, self.run(script)

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
                                ("app.update.disabledForTesting", True),
                                # What pages write to the console goes to standard output.
                                ("devtools.console.stdout.content", True),
                                # and not what the browser's own modules write to theirs
                                # ("RSLoader: ..." at times, however the modules are disabled).
                                ("devtools.console.stdout.chrome", False),
                                # The browser's own studies and remote settings, which would log
                                # their failures on a machine without a network.
                                ("app.normandy.enabled", False),
                                ("messaging-system.rsexperimentloader.enabled", False),
                                ("app.shield.optoutstudies.enabled", False),
                                # The studies' loader logs through its own console even so
                                # ("console.error: RSLoader: ..."); this is that console's level.
                                ("messaging-system.log", "off"),
                                ("services.settings.server", "data:,"),
                                ("browser.backup.enabled", False),
                                ("browser.region.network.url", "")):
                f.write("user_pref(%s, %s);\n" % (json.dumps(pref), json.dumps(value)))
        self.log = os.path.join(self.profile, "console.log")
        self.log_read = 0
        with open(self.log, "wb") as log:
            self.proc = subprocess.Popen(
                [binary, "--headless", "--marionette", "-remote-allow-system-access", "--no-remote",
                 "--profile", self.profile, "about:blank"],
                env=dict(os.environ, MOZ_HEADLESS="1"), stdout=log, stderr=subprocess.STDOUT)
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
        self.take_console()  # what the browser logged of itself while it started

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
        return seconds, self.run(script)

    def run(self, script):
        # As the other engines run a script: its last expression's value.
        return self._command("WebDriver:ExecuteScript",
                             {"script": "return eval(arguments[0]);", "args": [script]})["value"]

    def phone(self, width=375, height=800):
        # The browser window's own style keeps it at least 500 pixels wide.
        self._chrome("document.documentElement.style.minWidth = '0px';")
        self._size(width, height)

    def desktop(self):
        self._size(1280, 800)

    def _chrome(self, script):
        self._command("Marionette:SetContext", {"value": "chrome"})
        try:
            self._command("WebDriver:ExecuteScript", {"script": script, "args": []})
        finally:
            self._command("Marionette:SetContext", {"value": "content"})

    def _size(self, width, height):
        # The window's size and what the window itself takes: the page gets the size asked for.
        self._command("WebDriver:SetWindowRect", {"width": width, "height": height})
        inner = self.run("[innerWidth, innerHeight]")
        self._command("WebDriver:SetWindowRect", {"width": 2 * width - inner[0], "height": 2 * height - inner[1]})

    def take_console(self):
        """The errors and warnings the pages logged since the last call: the lines Firefox writes
        for the console of a page (not the script errors of the browser's own modules)."""
        with open(self.log, "rb") as f:
            f.seek(self.log_read)
            text = f.read()
            self.log_read += len(text)
        lines = text.decode("utf-8", "replace").splitlines()
        return [line for line in lines
                if (line.startswith(("console.error", "console.warn")) and not self._browser_module(line))
                or (line.startswith(("JavaScript error", "JavaScript warning")) and "file://" in line)]

    # Consoles of the browser's own modules, which write "console.error: <module>: ..." on a
    # machine without a network however their prefs are set; the pages never use these names.
    BROWSER_MODULES = ("RSLoader", "RemoteSettings", "Nimbus", "ExperimentManager")

    @classmethod
    def _browser_module(cls, line):
        text = line.split(":", 1)[1].lstrip()
        return any(text.startswith(module + ":") for module in cls.BROWSER_MODULES)

    def close(self):
        try:
            self._command("Marionette:Quit")
            self.proc.wait(timeout=30)
        except Exception:
            self.proc.kill()
            self.proc.wait()


class WebKit:
    """WebKitGTK in a helper process (webkit_helper.py) on an X server of its own: one line of
    JSON a request, its answer on a pipe, and the pages' console on the helper's output."""
    name = "WebKitGTK"

    def __init__(self):
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp", "-noreset"],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        display = ":" + self.xvfb.stdout.readline().decode().strip()
        self.log = tempfile.NamedTemporaryFile(prefix="webkit-console-")
        self.log_read = 0
        answers, self.helper_answers = os.pipe()

        def answer_pipe():  # the helper answers on fd 3
            os.dup2(self.helper_answers, 3)
        self.proc = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(HERE, "webkit_helper.py")],
            stdin=subprocess.PIPE, stdout=self.log, stderr=subprocess.STDOUT, text=True,
            env=dict(os.environ, DISPLAY=display), pass_fds=(3,), preexec_fn=answer_pipe)
        os.close(self.helper_answers)
        self.answers = os.fdopen(answers)
        self.size = (1024, 768)

    def _ask(self, request):
        self.proc.stdin.write(json.dumps(request) + "\n")
        self.proc.stdin.flush()
        answer = self.answers.readline()
        if not answer:
            raise RuntimeError("the WebKit helper ended")
        answer = json.loads(answer)
        if "error" in answer:
            raise RuntimeError(answer["error"])
        return answer

    def load(self, url, script):
        answer = self._ask({"url": url, "script": script, "width": self.size[0], "height": self.size[1]})
        return answer["seconds"], answer["value"]

    def run(self, script):
        return self._ask({"script": script})["value"]

    def phone(self, width=375, height=800):
        self.size = (width, height)  # for the pages loaded from now on

    def desktop(self):
        self.size = (1024, 768)

    def take_console(self):
        """The pages' errors and warnings since the last call (WebKit writes them to its standard
        error as "URL:LINE:COLUMN: CONSOLE ERROR ...")."""
        with open(self.log.name, "rb") as f:
            f.seek(self.log_read)
            text = f.read()
            self.log_read += len(text)
        return [line for line in text.decode("utf-8", "replace").splitlines()
                if ": CONSOLE " in line and ("ERROR" in line or "WARN" in line)]

    def close(self):
        self.proc.stdin.close()
        try:
            self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.xvfb.terminate()
        self.xvfb.wait()
        self.log.close()


ENGINES = (Chromium, Firefox, WebKit)
