"""Group name patterns of the NNTP wildmat form: "a.*,!a.b.*" (the last matching part decides)."""

import fnmatch
import re


def _compile_part(part: str) -> re.Pattern:
    # Wildmat negates a character class with "^", fnmatch with "!".
    return re.compile(fnmatch.translate(part.replace("[^", "[!")))


class Wildmat:
    """A comma-separated list of patterns; a part starting with "!" excludes what it matches."""

    def __init__(self, text: str):
        self.parts = []
        for part in text.split(","):
            negated = part.startswith("!")
            if negated:
                part = part[1:]
            if part:
                self.parts.append((negated, _compile_part(part)))

    def matches(self, name: str) -> bool:
        result = False
        for negated, pattern in self.parts:
            if pattern.fullmatch(name):
                result = not negated
        return result
