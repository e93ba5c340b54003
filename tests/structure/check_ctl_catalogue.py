#!/usr/bin/env python3
"""Checks that zr6040ctl's Russian catalogue translates every text the sources give CtlText::tr.

Runs lupdate over src/ctl into a copy of translations/zr6040ctl_ru.ts and prints each text left
without a translation there (a new or changed source) and each translation whose source is gone.
Exits 1 when there is one.
"""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

lupdate, root = sys.argv[1], pathlib.Path(sys.argv[2])
catalogue = root / "src/ctl/translations/zr6040ctl_ru.ts"


def sources(path):
    messages = ElementTree.parse(path).getroot().iter("message")
    return {m.findtext("source"): m.find("translation") for m in messages}


with tempfile.TemporaryDirectory() as work:
    copy = pathlib.Path(work) / catalogue.name
    shutil.copy(catalogue, copy)
    subprocess.run([lupdate, "-silent", "-locations", "none", str(root / "src/ctl"), "-ts",
                    str(copy)], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    updated = sources(copy)

errors = []
for text, translation in updated.items():
    if translation is None or translation.get("type") == "unfinished":
        errors.append(f"not translated: {text!r}")
    elif translation.get("type") in ("obsolete", "vanished"):
        errors.append(f"translated but no longer in the sources: {text!r}")
for error in errors:
    print(error)
sys.exit(1 if errors else 0)
