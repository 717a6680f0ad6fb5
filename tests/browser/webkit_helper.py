"""Loads pages in WebKitGTK for engines.WebKit. Reads requests, one line of JSON each, on
standard input and answers each with one line of JSON on file descriptor 3:
  {"url", "script", "width", "height"}: loads the page in a new web view of that size (the last
    one is closed), runs the script once the load has finished and answers {"seconds",
    "value"} (the script's value, as JSON text, parsed);
  {"script"}: runs the script in the page loaded last and answers {"value"}.
What the pages write to the console, WebKit itself writes to standard output (its console
messages are switched on), where engines.WebKit reads them."""
import json
import os
import sys
import time

import gi

gi.require_version("WebKit2", "4.1")
gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk, WebKit2  # noqa: E402

answers = os.fdopen(3, "w")
current = {}


def answer(reply):
    answers.write(json.dumps(reply) + "\n")
    answers.flush()
    GLib.idle_add(serve)


def run(view, script, reply):
    def evaluated(v, result, _):
        try:
            value = v.evaluate_javascript_finish(result).to_json(0)
            out = dict(reply, value=json.loads(value) if value else None)
        except Exception as e:  # a script error is an answer too
            out = {"error": str(e)}
        answer(out)
    view.evaluate_javascript(script, -1, None, None, None, evaluated, None)


def serve():
    line = sys.stdin.readline()
    if not line:
        Gtk.main_quit()
        return False
    request = json.loads(line)
    if "url" not in request:
        run(current["view"], request["script"], {})
        return False
    if "window" in current:
        current["window"].destroy()
    view = WebKit2.WebView()
    view.get_settings().set_enable_write_console_messages_to_stdout(True)
    window = Gtk.OffscreenWindow()
    view.set_size_request(request.get("width", 1024), request.get("height", 768))
    window.add(view)
    window.show_all()
    current.update(view=view, window=window)
    started = time.time()
    state = {}

    def changed(v, event):
        if event == WebKit2.LoadEvent.FINISHED and "seconds" not in state:
            state["seconds"] = time.time() - started
            run(v, request["script"], {"seconds": state["seconds"]})

    view.connect("load-changed", changed)
    view.load_uri(request["url"])
    return False


GLib.idle_add(serve)
Gtk.main()
