#!/usr/bin/env python3
"""Checks that every folder of the program includes only the folders its README allows.

A folder is a directory under src/ (or sim/) with a README.md; its files are those below it
that no deeper folder claims. The README's line "Depends on: a, b, c." names the folders it may
include from (parenthesised remarks and backticks are ignored; "nothing" names none).
Prints each forbidden include and exits 1 when there is one.
"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
bases = {"src": root / "src", "sim": root}


def folder_name(path: pathlib.Path) -> str:
    rel = path.relative_to(root)
    parts = rel.parts
    return "/".join(parts[1:]) if parts[0] == "src" else "/".join(parts)


folders = {}
for readme in sorted(list((root / "src").rglob("README.md")) + [root / "sim" / "README.md"]):
    folders[folder_name(readme.parent)] = readme

errors = []
allowed = {}
for name, readme in folders.items():
    lines = [l for l in readme.read_text(encoding="utf-8").splitlines()
             if l.startswith("Depends on:")]
    if len(lines) != 1:
        errors.append(f"{readme.relative_to(root)}: needs exactly one 'Depends on:' line")
        continue
    text = re.sub(r"\([^)]*\)", "", lines[0][len("Depends on:"):]).replace("`", "")
    deps = set()
    for item in text.split(","):
        item = item.strip().rstrip(".").strip()
        if item in folders:
            deps.add(item)
        elif item and not item.startswith("nothing") and not item.startswith("Qt") \
                and not item.startswith("the C++") and not item.startswith("libudev") \
                and not item.startswith("libxlsxwriter") \
                and not item.startswith("libsqlite3") \
                and not item.startswith("libpq"):
            errors.append(f"{readme.relative_to(root)}: unknown folder '{item}'")
    allowed[name] = deps


def owner(path: pathlib.Path) -> str:
    best = None
    for name in folders:
        base = folders[name].parent
        if base in path.parents and (best is None or len(str(base)) > len(str(folders[best].parent))):
            best = name
    return best


def included_folder(include: str) -> str:
    # The longest folder name that the include path starts with.
    target = None
    for name in folders:
        if include.startswith(name + "/") and (target is None or len(name) > len(target)):
            target = name
    return target


include_re = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
for name, readme in folders.items():
    base = readme.parent
    for source in sorted(base.rglob("*")):
        if source.suffix not in (".h", ".cpp") or owner(source) != name:
            continue
        for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
            match = include_re.match(line)
            if not match:
                continue
            target = included_folder(match.group(1))
            if target is None or target == name or target in allowed.get(name, set()):
                continue
            errors.append(f"{source.relative_to(root)}:{number}: includes {match.group(1)}, "
                          f"but {name} may depend only on: "
                          f"{', '.join(sorted(allowed.get(name, set()))) or 'nothing of ours'}")

for error in errors:
    print(error)
sys.exit(1 if errors else 0)
