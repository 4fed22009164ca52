#!/usr/bin/env python3
"""check_lng.py LANG_DIR MESSAGE_NUMBERS_H: the module's language files (the host's .lng format)
start with their header and hold one quoted text per message in number order, kMsgCount in all;
format codes agree between the files and with the module's arguments; every named message has a
text; key-bar labels are short. Exits 1 with one line per fault otherwise."""

import re
import sys
from pathlib import Path

NUMBER_DEFINITION = re.compile(r"inline\s+constexpr\s+int\s+(kMsg\w+)\s*=\s*(\d+)\s*;")
COUNT_NAME = "kMsgCount"

# File name, header line, encoding of the file's bytes.
LANGUAGES = [
    ("KestrovaEng.lng", ".Language=English,English", "ascii"),
    ("KestrovaRus.lng", ".Language=Russian,Russian (\u0420\u0443\u0441\u0441\u043a\u0438\u0439)", "utf-8"),
]

# Arguments the module passes to each format message, in order: "s" text, "i" integer.
# Every other message is shown as it stands and must hold no format code at all.
FORMAT_ARGUMENTS = {
    "kMsgNoFolder": "s", "kMsgCannotCreate": "s", "kMsgNoItemInFile": "s",
    "kMsgNewFileLine": "iss", "kMsgExistingFileLine": "iss", "kMsgDeleteItems": "i",
    "kMsgErrorTitle": "ss", "kMsgAddOneGroup": "s", "kMsgAddGroups": "i",
    "kMsgDropOneGroup": "s", "kMsgDropGroups": "i", "kMsgOwnGroupsExist": "i",
    "kMsgNextAttempt": "i", "kMsgMayHaveBeenPosted": "s", "kMsgNotTrusted": "s",
    "kMsgNotAStatusLine": "s", "kMsgListTooLong": "i", "kMsgReadSoFar": "i", "kMsgBadPort": "s",
    "kMsgArticleTooLarge": "i", "kMsgPostNotAsked": "s", "kMsgCatchUpOneGroup": "s",
    "kMsgCatchUpGroups": "i", "kMsgNoMoreUnread": "s", "kMsgNextGroupQuestion": "si",
    "kMsgNewsrcImported": "iii", "kMsgNewsrcExported": "is", "kMsgCannotEncode": "sss",
    "kMsgStartTlsRefused": "s", "kMsgLoginNotInClear": "s",
    "kMsgNewestOfCount": "ii", "kMsgNewestListed": "i",
}

# Labels of the host's key bar hold at most KEY_BAR_WIDTH characters.
KEY_BAR_LABELS = ["kMsgNewItem", "kMsgCopyItem", "kMsgKeyGroups", "kMsgKeyDropGroups",
                  "kMsgKeyReply", "kMsgKeyNewArticle", "kMsgKeyCharset", "kMsgKeyViewHeader",
                  "kMsgKeyMarkRead", "kMsgKeyMarkUnread", "kMsgKeyCatchUp", "kMsgKeyPrevArticle",
                  "kMsgKeyNextArticle", "kMsgKeyNewsrc", "kMsgKeyOlder"]
KEY_BAR_WIDTH = 6

# The empty text of disabled keys and unset dialog items; every other named message has a text.
EMPTY_MESSAGE = "kMsgEmpty"

# "%" [ "-" ] [ "*" | digits ] conversion, as the module's formatter reads it.
FORMAT_CODE = re.compile(r"%(-?)(\*|[0-9]*)(.)", re.DOTALL)
CONVERSIONS = {"s": "s", "d": "i", "D": "i", "x": "i", "p": "i", "%": ""}


class LngError(Exception):
    """A fault that stops the reading of one file."""


def read_numbers(path):
    """{name: number} of the module's message numbers, and the message count."""
    numbers, owners = {}, {}
    for name, value in NUMBER_DEFINITION.findall(path.read_text(encoding="utf-8")):
        number = int(value)
        if name in numbers:
            raise LngError(f"{path.name}: {name} is defined twice")
        if name != COUNT_NAME and number in owners:
            raise LngError(f"{path.name}: {name} and {owners[number]} both name message {number}")
        numbers[name] = number
        owners.setdefault(number, name)
    if COUNT_NAME not in numbers:
        raise LngError(f"{path.name}: no {COUNT_NAME}")
    return numbers, numbers.pop(COUNT_NAME)


def read_messages(path, header, encoding):
    """The message texts of one file."""
    data = path.read_bytes()
    try:
        lines = data.decode(encoding).splitlines()
    except UnicodeDecodeError as e:
        raise LngError(f"{path.name}: not {encoding} text at byte {e.start}") from None
    if not lines or lines[0] != header:
        raise LngError(f"{path.name}: first line must be {header!r}")
    messages = []
    for number, line in enumerate(lines[1:], start=2):
        text = line.strip()
        if not text or text.startswith("//"):
            continue
        if len(text) < 2 or text[0] != '"' or text[-1] != '"':
            raise LngError(f"{path.name}:{number}: expected one double-quoted text")
        if re.search(r'(?<!\\)"', text[1:-1]):
            raise LngError(f'{path.name}:{number}: a double quote inside a text must be written \\"')
        messages.append(text[1:-1].replace('\\"', '"'))
    return messages


def format_codes(text):
    """The format codes of a text in order; ValueError for a broken one."""
    codes, pos = [], 0
    while (start := text.find("%", pos)) >= 0:
        match = FORMAT_CODE.match(text, start)
        if not match:
            raise ValueError("a '%' ends the text")
        if match.group(3) not in CONVERSIONS:
            raise ValueError(f"unknown conversion {match.group(0)!r}")
        codes.append(match)
        pos = match.end()
    return codes


def check_file(name, messages, numbers, count):
    """The faults of one file, and each message's format codes (None where broken)."""
    faults = [] if len(messages) == count else [f"{name}: {len(messages)} messages, expected {count}"]
    for constant, index in sorted(numbers.items(), key=lambda item: item[1]):
        if index >= len(messages):
            faults.append(f"{name}: {constant} is message {index}, the file has no such message")
        elif not messages[index] and constant != EMPTY_MESSAGE:
            faults.append(f"{name}: {constant} is message {index}, whose text is empty")
        elif messages[index] and constant == EMPTY_MESSAGE:
            faults.append(f"{name}: message {index} must be empty")
        elif constant in KEY_BAR_LABELS and len(messages[index]) > KEY_BAR_WIDTH:
            faults.append(f"{name}: message {index}: key-bar label longer than {KEY_BAR_WIDTH} characters")
    expected_kinds = {numbers[c]: kinds for c, kinds in FORMAT_ARGUMENTS.items() if c in numbers}
    all_codes = []
    for index, text in enumerate(messages):
        try:
            codes = format_codes(text)
        except ValueError as e:
            faults.append(f"{name}: message {index}: {e}")
            all_codes.append(None)
            continue
        all_codes.append([c.group(0) for c in codes])
        kinds = "".join(("i" if c.group(2) == "*" else "") + CONVERSIONS[c.group(3)] for c in codes)
        expected = expected_kinds.get(index, "")
        if kinds != expected:
            faults.append(f"{name}: message {index}: arguments {kinds or 'none'!r}, "
                          f"expected {expected or 'none'!r}")
    return faults, all_codes


def main(argv):
    if len(argv) != 3:
        print(f"usage: {argv[0]} LANG_DIR MESSAGE_NUMBERS_H", file=sys.stderr)
        return 2
    try:
        numbers, count = read_numbers(Path(argv[2]))
    except (LngError, OSError) as e:
        print(e, file=sys.stderr)
        return 1
    wanted = set(FORMAT_ARGUMENTS) | set(KEY_BAR_LABELS) | {EMPTY_MESSAGE}
    faults = [f"the checks name {name}, which the header does not define"
              for name in sorted(wanted - set(numbers))]
    loaded = []
    for name, header, encoding in LANGUAGES:
        try:
            file_faults, codes = check_file(name, read_messages(Path(argv[1]) / name, header, encoding),
                                            numbers, count)
        except (LngError, OSError) as e:
            faults.append(str(e))
            continue
        faults += file_faults
        loaded.append((name, codes))
    if len(loaded) == 2:  # the same format codes, in the same order, in both languages
        (name_a, codes_a), (name_b, codes_b) = loaded
        faults += [f"message {index}: {name_a} has {a}, {name_b} has {b}"
                   for index, (a, b) in enumerate(zip(codes_a, codes_b)) if None not in (a, b) and a != b]
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        return 1
    print(f"{len(loaded)} language files, {count} messages each, {len(numbers)} named: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
