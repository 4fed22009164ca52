#!/usr/bin/env python3
"""check_hlf.py LANG_DIR SOURCE_DIR: the module's help files (KestrovaEng.hlf, KestrovaRus.hlf) are
UTF-8 without control characters, start with the topic Contents, hold the same topics, and hold
every help topic the module's dialogs name in ui/. Exits 1 with one line per fault otherwise."""

import re
import sys
from pathlib import Path

FILES = ["KestrovaEng.hlf", "KestrovaRus.hlf"]
TOPIC_NAMED = re.compile(r'"(dlg\w+)"')


def topics(path, faults):
    try:
        text = path.read_bytes().decode("utf-8")
    except (OSError, UnicodeDecodeError) as error:
        faults.append(f"{path.name}: {error}")
        return []
    names = []
    for number, line in enumerate(text.split("\n"), 1):
        if any(ord(c) < 32 and c != "\t" or ord(c) == 127 for c in line):
            faults.append(f"{path.name}:{number}: a control character")
        if line.startswith("@"):
            names.append(line[1:].strip())
    if not names or names[0] != "Contents":
        faults.append(f"{path.name}: the first topic is not Contents")
    return names


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    lang, source = Path(sys.argv[1]), Path(sys.argv[2])
    named = {m for f in (source / "ui").glob("*.cpp") for m in TOPIC_NAMED.findall(f.read_text())}
    faults = []
    found = {name: topics(lang / name, faults) for name in FILES}
    for name, names in found.items():
        for missing in sorted(named - set(names)):
            faults.append(f"{name}: no topic {missing}")
    if len({tuple(names) for names in found.values()}) > 1:
        faults.append("the help files hold different topics")
    for fault in faults:
        print(fault)
    if faults:
        sys.exit(1)
    print(f"{len(FILES)} help files, {len(named)} topics named by the module: all present")


if __name__ == "__main__":
    main()
