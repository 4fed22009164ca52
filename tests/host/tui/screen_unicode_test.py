#!/usr/bin/env python3
"""with_inn_server.py screen_unicode_test.py KESTROVA_BINARY: the full-screen host through tmux
against the real news server on NEWS_PORT, on articles in many character sets that another
client posted (tests/host/with_inn_server.py): subjects as their authors wrote them, wide
characters keeping the columns in line (the bodies are the inn/charsets script's). Exits 77
(skipped) without tmux."""
import os
import unicodedata

import screen_session

GROUP = "local.charsets.test"


def cells(text):
    """The columns text takes on the terminal."""
    return sum(0 if unicodedata.combining(c) else 2 if unicodedata.east_asian_width(c) in "WF"
               else 1 for c in text)


class UnicodeScreenTest(screen_session.ScreenSession):
    def test_subjects_in_line_and_bodies_decoded(self):
        self.start(f"news://127.0.0.1:{os.environ['NEWS_PORT']}/{GROUP}", shows="中文测试")
        screen = self.wait("Grüße aus Köln", "Привет, мир", "Καλημέρα", "Emoji 😀 test",
                           "Café crème", "Привет из 1251", "Привет из KOI8", "Base64 Ελληνικά",
                           "Unlabelled Grüße Прив}")  # cut to the column
        # Every row of the module's panel has its column lines at the same cells.
        rows = [r for r in screen.splitlines()[2:-4] if "│" in r]
        lines = {tuple(cells(r[:i]) for i, c in enumerate(r) if c == "│") for r in rows}
        self.assertEqual(len(lines), 1, screen)


if __name__ == "__main__":
    screen_session.run(__doc__)
