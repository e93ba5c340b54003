#!/usr/bin/python3
"""Prints every part of a workbook (a zip file) but its creation time (docProps/core.xml), each
as its name on a line of its own, then its content, so that two workbooks compare as text."""
import sys
import zipfile

with zipfile.ZipFile(sys.argv[1]) as book:
    for name in sorted(book.namelist()):
        if name == "docProps/core.xml":
            continue
        sys.stdout.write("== " + name + "\n")
        sys.stdout.write(book.read(name).decode("utf-8") + "\n")
