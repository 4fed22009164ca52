#!/usr/bin/env python3
"""Checks that every folder includes headers and links libraries only from the layers it may use.

Usage: check_layers.py SOURCE_DIR. Prints each fault as file:line and exits 1 when there is one.
The tests of a folder (tests/<folder>/) follow the same rule as the folder; bench/, fuzz/ and
tools/ may use every layer, and nothing may use them. Also faults: an include written relative to
the including file ("../x.h"), a project header included with angle brackets, and a header of
the tests with the path of a module header (which of the two an include finds would depend on
the include path's order).
"""
import pathlib
import re
import sys

MODULE = ["hostapi", "platform", "common", "net", "store", "ui", "news", "accounts", "plugin"]

# What each folder may include and link besides itself, lowest layer first (README, "Layers").
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
    # The conformance tests drive the whole module against the real peers.
    "conformance": set(MODULE),
}
# Programs around the product: benchmarks, fuzz targets and tools use any layer.
TOP = {"bench", "fuzz", "tools"}
for top in TOP:
    BELOW[top] = set(MODULE) | {"host", "conformance"}
FOLDERS = set(BELOW)

QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
ANGLED = re.compile(r"^\s*#\s*include\s*<([^>]+)>")
SOURCE_SUFFIXES = (".h", ".cpp")


def may_use(user, used):
    return used == user or used in BELOW[user]


def layer_of_path(relative):
    """The layer of a file given by its path below the source folder; None outside them."""
    parts = relative.parts
    if parts[0] == "tests" and len(parts) > 2:
        return "host" if parts[1] == "tui" else parts[1] if parts[1] in FOLDERS else None
    return parts[0] if parts[0] in FOLDERS else None


def include_faults(root):
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root)
        if path.suffix not in SOURCE_SUFFIXES or relative.parts[0] == "build":
            continue
        user = layer_of_path(relative)
        if user is None:
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            where = f"{relative}:{number}"
            quoted, angled = QUOTED.match(line), ANGLED.match(line)
            if quoted and quoted[1].startswith(("../", "./")):
                yield f"{where}: an include relative to the file: {line.strip()}"
            elif angled and angled[1].split("/")[0] in FOLDERS and "/" in angled[1]:
                yield f"{where}: a project header in angle brackets: {line.strip()}"
            elif quoted and "/" in quoted[1]:
                used = quoted[1].split("/")[0]
                if used in FOLDERS and not may_use(user, used):
                    yield f"{where}: {user}/ may not include {used}/: {line.strip()}"


def shadowing_headers(root):
    tests = root / "tests"
    for path in sorted(tests.rglob("*.h")):
        relative = path.relative_to(tests)
        if (root / relative).exists():
            yield f"{path.relative_to(root)}: has the path of the module header {relative}"


# Project targets and their layers: the module's libraries by name, the rest by the folder whose
# CMakeLists.txt makes them (tests/<folder>: that folder's tests).
NAMED_TARGETS = {"kestrova-platform": "platform", "kestrova": "plugin", "kestrova-tui": "host"}
MADE = re.compile(r"\b(?:add_executable|add_library)\(\s*([\w.-]+)")
LINKS = re.compile(r"\btarget_link_libraries\(\s*([\w.${}-]+)([^)]*)\)", re.S)
TEST_PART = re.compile(r"\bkestrova_test_part\(\s*(\w+)([^)]*)\)")
FUZZ_TARGET = re.compile(r"\bkestrova_fuzz_target\(\s*(\w+)\s+\S+([^)]*)\)")


def cmake_files(root):
    return [p for p in sorted(root.rglob("*")) if (p.name == "CMakeLists.txt" or p.suffix == ".cmake")
            and p.relative_to(root).parts[0] != "build"]


def link_faults(root):
    targets = {f"kv_{part}": part for part in MODULE}
    targets.update(NAMED_TARGETS)
    edges = []  # (file, line, target, library)
    for path in cmake_files(root):
        relative = path.relative_to(root)
        folder = layer_of_path(relative) if len(relative.parts) > 1 else None
        if relative.parts[0] == "tests" and len(relative.parts) == 2:
            folder = "tests"
        text = path.read_text(encoding="utf-8")
        line_of = lambda match: text.count("\n", 0, match.start()) + 1
        for match in MADE.finditer(text):
            if "$" not in match[1] and folder in FOLDERS:
                targets.setdefault(match[1], folder)
        for match in LINKS.finditer(text):
            edges.append((relative, line_of(match), match[1], match[2].split()))
        for match in TEST_PART.finditer(text):
            part = "host" if match[1] == "tui" else match[1]
            targets[f"test_{match[1]}"] = part
            edges.append((relative, line_of(match), f"test_{match[1]}", match[2].split()))
        for match in FUZZ_TARGET.finditer(text):
            targets[match[1]] = "fuzz"
            edges.append((relative, line_of(match), match[1], match[2].split()))
    for relative, number, target, libraries in edges:
        user = targets.get(target)
        if user is None:
            continue
        for library in libraries:
            library = re.sub(r"^\"?\$<LINK_LIBRARY:\w+,([\w-]+)>\"?$", r"\1", library)
            used = targets.get(library)
            if used is not None and not may_use(user, used):
                yield f"{relative}:{number}: {target} ({user}/) may not link {library} ({used}/)"


def main():
    root = pathlib.Path(sys.argv[1])
    faults = list(include_faults(root)) + list(shadowing_headers(root)) + list(link_faults(root))
    for fault in faults:
        print(fault)
    print(f"{len(faults)} fault(s) against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
