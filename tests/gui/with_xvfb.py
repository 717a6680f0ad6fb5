#!/usr/bin/env python3
"""Runs a command on an X server of its own, which takes a free display itself (-displayfd): a
fixed number may be held by another server or a stale lock.
Usage: with_xvfb.py WIDTHxHEIGHTxDEPTH COMMAND [ARGUMENT...]"""
import os
import subprocess
import sys

xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", sys.argv[1], "-nolisten", "tcp",
                         "-noreset"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
display = ":" + xvfb.stdout.readline().decode().strip()
try:
    status = subprocess.run(sys.argv[2:], env=dict(os.environ, DISPLAY=display)).returncode
finally:
    xvfb.terminate()
    xvfb.wait()
sys.exit(status)
