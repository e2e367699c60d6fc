#!/usr/bin/env python3
"""Prints the link annotations of a PDF file as qpdf reads them, one line each:

    page 1: [x1 y1 x2 y2] border 0 -> uri https://example.org/
    page 1: [x1 y1 x2 y2] border 1 -> page 3 top 813.543
    page 2: [x1 y1 x2 y2] border 0 -> name chapter2

Pages are numbered from 1 by their place in qpdf's page list, so a link's
target page is checked through the object graph, not through the file's text.
"""
import json
import subprocess
import sys


def main(path):
    out = subprocess.run(["qpdf", "--json", "--json-key=pages", "--json-key=qpdf", path],
                         capture_output=True, check=True, timeout=120).stdout
    data = json.loads(out)
    objects = data["qpdf"][1]
    pages = [page["object"] for page in data["pages"]]

    def value(item):
        return objects["obj:" + item]["value"] if isinstance(item, str) else item

    def text(string):
        return string[2:]  # qpdf's "u:" (text) or "b:" (bytes) prefix

    for number, ref in enumerate(pages, 1):
        for annot in map(value, value(value(ref).get("/Annots", []))):
            rect = " ".join("%g" % v for v in annot["/Rect"])
            if "/A" in annot:
                target = "uri " + text(value(annot["/A"])["/URI"])
            elif isinstance(annot["/Dest"], str):
                target = "name " + text(annot["/Dest"])
            else:
                dest = annot["/Dest"]
                target = "page %d top %g" % (pages.index(dest[0]) + 1, dest[3])
            print("page %d: [%s] border %g -> %s" % (number, rect, annot["/Border"][2], target))


if __name__ == "__main__":
    main(sys.argv[1])
