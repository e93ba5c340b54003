#!/usr/bin/env python3
"""Checks that the child entry points of the given test programs stay out of their test lists.

A suite whose name ends in "Child" holds tests that a parent test starts as a process of its own
(support/ChildTests.h). ctest discovers the tests from --gtest_list_tests, so such an entry listed
there would be a test of its own, skipped or failed on every run. Each program must list none,
with or without a filter of its own, and must list them when started as a child.
Usage: check_child_suites.py PROGRAM...   Prints each fault and exits 1 when there is one.
"""
import os
import re
import subprocess
import sys

CHILD_VARIABLE = "ZR_TEST_CHILD"
child_suite = re.compile(r"^\S*Child\.(\s|$)", re.MULTILINE)

# (how the program is started, extra arguments, whether it is a child, child suites expected)
cases = [
    ("a plain listing", [], False, False),
    ("a listing with a negative filter", ["--gtest_filter=-None.*"], False, False),
    ("a listing with a positive filter", ["--gtest_filter=*"], False, False),
    ("a child's listing", [], True, True),
]

errors = []
for program in sys.argv[1:]:
    for what, arguments, as_child, expected in cases:
        environment = {k: v for k, v in os.environ.items() if k != CHILD_VARIABLE}
        environment.setdefault("QT_QPA_PLATFORM", "offscreen")
        if as_child:
            environment[CHILD_VARIABLE] = "1"
        listing = subprocess.run([program, "--gtest_list_tests", *arguments], env=environment,
                                 capture_output=True, text=True, timeout=60, check=True).stdout
        listed = child_suite.findall(listing) != []
        if listed != expected:
            errors.append(f"{os.path.basename(program)}: {what} "
                          f"{'lists' if listed else 'does not list'} the child suites")

for error in errors:
    print(error)
sys.exit(1 if errors else 0)
