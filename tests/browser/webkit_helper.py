"""Loads pages in WebKitGTK for engines.WebKit: reads {"url", "script"} lines on standard input,
loads each page in a new web view, runs the script once the load has finished and answers
{"seconds", "value"} (the script's value as JSON text, parsed) on standard output."""
import json
import sys
import time

import gi

gi.require_version("WebKit2", "4.1")
gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk, WebKit2  # noqa: E402


def serve():
    line = sys.stdin.readline()
    if not line:
        Gtk.main_quit()
        return False
    request = json.loads(line)
    view = WebKit2.WebView()
    window = Gtk.OffscreenWindow()
    window.add(view)
    window.show_all()
    started = time.time()
    state = {}

    def answer(reply):
        sys.stdout.write(json.dumps(reply) + "\n")
        sys.stdout.flush()
        window.destroy()
        GLib.idle_add(serve)

    def evaluated(v, result, _):
        try:
            value = v.evaluate_javascript_finish(result).to_json(0)
            answer({"seconds": state["seconds"], "value": json.loads(value) if value else None})
        except Exception as e:  # a script error is an answer too
            answer({"error": str(e)})

    def changed(v, event):
        if event == WebKit2.LoadEvent.FINISHED and "seconds" not in state:
            state["seconds"] = time.time() - started
            v.evaluate_javascript(request["script"], -1, None, None, None, evaluated, None)

    view.connect("load-changed", changed)
    view.load_uri(request["url"])
    return False


GLib.idle_add(serve)
Gtk.main()
