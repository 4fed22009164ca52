#!/usr/bin/env python3
"""Checks that every folder includes headers only from the folders its layer may use.

Usage: check_layers.py SOURCE_DIR. Prints each forbidden include as file:line and exits 1 when
there is one. The tests of a folder (tests/<folder>/) follow the same rule as the folder.
"""
import pathlib
import re
import sys

# What each folder may include besides itself, lowest layer first (README, "Layers").
BELOW = {
    "hostapi": set(),
    "platform": {"hostapi"},
    "common": {"hostapi", "platform"},
    "net": {"hostapi", "platform", "common"},
    "store": {"hostapi", "platform", "common"},
    "ui": {"hostapi", "platform", "common", "net", "store"},
    "news": {"hostapi", "platform", "common", "net", "store", "ui"},
    "accounts": {"hostapi", "platform", "common", "net", "store", "ui"},
    "plugin": {"hostapi", "platform", "common", "net", "store", "ui", "news", "accounts"},
    "host": {"hostapi", "platform"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/[^"]+"')


def forbidden_includes(root):
    for folder, allowed in BELOW.items():
        for base in (root / folder, root / "tests" / folder):
            for path in sorted(base.rglob("*")):
                if path.suffix not in (".h", ".cpp"):
                    continue
                text = path.read_text(encoding="utf-8", errors="replace")
                for number, line in enumerate(text.splitlines(), 1):
                    match = INCLUDE.match(line)
                    if match and match[1] in BELOW and match[1] != folder and match[1] not in allowed:
                        yield f"{path.relative_to(root)}:{number}: {folder}/ may not include {match[1]}/: {line.strip()}"


def main():
    root = pathlib.Path(sys.argv[1])
    faults = list(forbidden_includes(root))
    for fault in faults:
        print(fault)
    print(f"{len(faults)} forbidden include(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
