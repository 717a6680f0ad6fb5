#!/usr/bin/env python3
"""Writes the benchmark site: N pages of a few KiB, 40 areas of 125 folders, each page with a
title, keywords and a description in a head of CR LF lines (with "mixed", every other page
ends its lines with LF alone). Every page is found by "seite", 16 of every 100 by "hecke".
Usage: bench_site.py FOLDER N [mixed]"""
import os
import sys

root, n = sys.argv[1], int(sys.argv[2])
mixed = len(sys.argv) > 3 and sys.argv[3] == "mixed"
body = "<p>" + "Lorem ipsum dolor sit amet. " * 150 + "</p>"


def hedge(i):
    """A keyword that 16 of every 100 pages have, for a search with many hits but not all."""
    return ", hecke" if i % 25 < 4 else ""



for i in range(n):
    d = os.path.join(root, "bereich%02d" % (i % 40), "thema%03d" % (i % 250 // 2))
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "seite%06d.htm" % i), "w", newline="") as f:
        end = "\n" if mixed and i % 2 else "\r\n"
        f.write(('<!DOCTYPE html>\r\n<html lang="de">\r\n<head>\r\n<meta charset="utf-8">\r\n'
                 '<title>Seite %d über Gärten</title>\r\n'
                 '<meta name="keywords" content="garten, pflanzen, nummer%d%s">\r\n'
                 '<meta name="description" content="Beschreibung der Seite %d mit etwas Text.">\r\n'
                 '</head>\r\n<body>\r\n%s\r\n</body>\r\n</html>\r\n'
                 % (i, i, hedge(i), i, body)).replace("\r\n", end))
