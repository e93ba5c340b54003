#!/usr/bin/env python3
"""Checks that no test waits with Qt's QTRY_* macros.

They report only to a QTest run: under gtest a wait that times out passes silently and skips
every later assertion. Tests wait with WAIT_UNTIL / WAIT_UNTIL_EQ of tests/support/WaitUntil.h.
Prints each use and exits 1 when there is one.
"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
use = re.compile(r"\bQTRY_[A-Z_]+\s*\(")

errors = []
for source in sorted((root / "tests").rglob("*")):
    if source.suffix not in (".h", ".cpp"):
        continue
    for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
        if use.search(line):
            errors.append(f"{source.relative_to(root)}:{number}: QTRY_ never fails under gtest; "
                          f"use WAIT_UNTIL or WAIT_UNTIL_EQ (support/WaitUntil.h)")

for error in errors:
    print(error)
sys.exit(1 if errors else 0)
