#!/usr/bin/env python3
"""Checks the module's language files in the host's .lng format.

Usage: check_lng.py LANG_DIR

Both files must start with their header, hold exactly one quoted text per message in number
order, use the same format codes as each other and as the module passes arguments,
and keep the key-bar labels short. Exits with status 1 and one line per fault otherwise.
"""

import re
import sys
from pathlib import Path

MESSAGE_COUNT = 164

# File name, header line, encoding of the file's bytes.
LANGUAGES = [
    ("KestrovaEng.lng", ".Language=English,English", "ascii"),
    ("KestrovaRus.lng", ".Language=Russian,Russian (\u0420\u0443\u0441\u0441\u043a\u0438\u0439)", "cp866"),
]

# Arguments the module passes to each format message, in order: "s" text, "i" integer.
# Every other message is shown as it stands and must hold no format code at all.
FORMAT_ARGUMENTS = {
    22: "s",
    23: "s",
    25: "s",
    44: "iss",
    45: "iss",
    46: "i",
    58: "ss",
    99: "s",
    100: "i",
    102: "s",
    103: "i",
    115: "i",
    149: "i",
    153: "s",
    156: "s",
    161: "i",
    162: "i",
}

# Labels of the host's key bar hold at most this many characters.
KEY_BAR_LABELS = [48, 49, 105, 106, 107, 108, 109, 110]
KEY_BAR_WIDTH = 6

# Message 0 is the empty text given to disabled keys and unset dialog items.
EMPTY_MESSAGES = [0]

# "%" [ "-" ] [ "*" | digits ] conversion, as the module's formatter reads it.
FORMAT_CODE = re.compile(r"%(-?)(\*|[0-9]*)(.)", re.DOTALL)
CONVERSIONS = {"s": "s", "d": "i", "D": "i", "x": "i", "p": "i", "%": ""}


class LngError(Exception):
    pass


def read_messages(path, header, encoding):
    """Returns the list of message texts of one file; raises LngError on a malformed file."""
    data = path.read_bytes()
    if encoding == "cp866" and any(b >= 0x80 for b in data):
        try:
            data.decode("utf-8")
        except UnicodeDecodeError:
            pass
        else:
            raise LngError(f"{path.name}: holds UTF-8 text, expected CP866")
    try:
        text = data.decode(encoding)
    except UnicodeDecodeError as e:
        raise LngError(f"{path.name}: not {encoding} text at byte {e.start}") from None

    lines = text.splitlines()
    if not lines or lines[0] != header:
        raise LngError(f"{path.name}: first line must be {header!r}")

    messages = []
    for number, line in enumerate(lines[1:], start=2):
        stripped = line.strip()
        if not stripped or stripped.startswith("//"):
            continue
        if len(stripped) < 2 or stripped[0] != '"' or stripped[-1] != '"':
            raise LngError(f"{path.name}:{number}: expected one double-quoted text")
        body = stripped[1:-1]
        if re.search(r'(?<!\\)"', body):
            raise LngError(f'{path.name}:{number}: a double quote inside a text must be written \\"')
        messages.append(body.replace('\\"', '"'))
    return messages


def format_codes(text):
    """Returns the format codes of a text in order; raises ValueError for a broken one."""
    codes = []
    pos = 0
    while (start := text.find("%", pos)) >= 0:
        match = FORMAT_CODE.match(text, start)
        if not match:
            raise ValueError("a '%' ends the text")
        if match.group(3) not in CONVERSIONS:
            raise ValueError(f"unknown conversion {match.group(0)!r}")
        codes.append(match.group(0))
        pos = match.end()
    return codes


def argument_kinds(codes):
    kinds = ""
    for code in codes:
        match = FORMAT_CODE.match(code)
        if match.group(2) == "*":
            kinds += "i"
        kinds += CONVERSIONS[match.group(3)]
    return kinds


def check_file(name, messages):
    faults = []
    if len(messages) != MESSAGE_COUNT:
        faults.append(f"{name}: {len(messages)} messages, expected {MESSAGE_COUNT}")
    for index, text in enumerate(messages):
        try:
            kinds = argument_kinds(format_codes(text))
        except ValueError as e:
            faults.append(f"{name}: message {index}: {e}")
            continue
        expected = FORMAT_ARGUMENTS.get(index, "")
        if kinds != expected:
            faults.append(
                f"{name}: message {index}: arguments {kinds or 'none'!r}, expected {expected or 'none'!r}"
            )
    for index in KEY_BAR_LABELS:
        if index < len(messages) and len(messages[index]) > KEY_BAR_WIDTH:
            faults.append(f"{name}: message {index}: key-bar label longer than {KEY_BAR_WIDTH} characters")
    for index in EMPTY_MESSAGES:
        if index < len(messages) and messages[index]:
            faults.append(f"{name}: message {index} must be empty")
    return faults


def check_pair(first, second):
    """The same format codes, in the same order, in both languages."""
    (name_a, messages_a), (name_b, messages_b) = first, second
    faults = []
    for index, (a, b) in enumerate(zip(messages_a, messages_b)):
        try:
            codes_a, codes_b = format_codes(a), format_codes(b)
        except ValueError:
            continue  # already reported per file
        if codes_a != codes_b:
            faults.append(f"message {index}: {name_a} has {codes_a}, {name_b} has {codes_b}")
    return faults


def main(argv):
    if len(argv) != 2:
        print(f"usage: {argv[0]} LANG_DIR", file=sys.stderr)
        return 2
    directory = Path(argv[1])
    faults = []
    loaded = []
    for name, header, encoding in LANGUAGES:
        try:
            messages = read_messages(directory / name, header, encoding)
        except (LngError, OSError) as e:
            faults.append(str(e))
            continue
        faults += check_file(name, messages)
        loaded.append((name, messages))
    if len(loaded) == 2:
        faults += check_pair(*loaded)
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        return 1
    print(f"{len(loaded)} language files, {MESSAGE_COUNT} messages each: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
