#!/usr/bin/env python3
"""reader_test.py KESTROVA_BINARY: a reader's day on the full screen (tmux; see
screen_session.py): a group's articles by thread; reading offline once the server is gone."""
import os
import re

import screen_session

THREADS_SPOOL = os.path.join(screen_session.SOURCE, "tests", "host", "spools", "threads")


class ReaderTest(screen_session.ScreenSession):
    def own_groups(self):
        """Serves the threads spool, connects and makes its two groups own groups."""
        self.open_demo_groups(extra=["--spool", THREADS_SPOOL], mask="test.threads*",
                              last="test.threads.other")
        self.add_own_groups("test.threads", "test.threads.other")

    def names(self):
        """The names of the left panel's articles, top down, as the screen shows them (indent
        kept, the frame and the columns after the name cut off)."""
        rows = []
        for row in self.text().splitlines()[2:]:
            if not row.startswith("║"):
                break  # the panel's status part
            name = row[1:].split("│")[0]
            if name.strip() and not name.startswith(".."):
                rows.append(name.rstrip())
        return rows

    def test_a_thread_of_five_with_a_crosspost_and_a_missing_parent(self):
        self.own_groups()
        self.enter_group("test.threads", False, False, "Re: Tree, cross")
        self.assertEqual(self.names()[:3], ["Tree", "Note", "Re: Tree, lost A"])
        self.steps(("F12", re.compile(r"║ {4}Re: Tree, below")))
        self.assertEqual(self.names(), [
            "Tree",
            "  Re: Tree, lost A",  # two replies to an article the group lacks
            "  Re: Tree, lost B",
            "  Re: Tree, cross",
            "    Re: Tree, below",
            "Note",
            "  Re: Note",  # no References: joined by its subject
        ])
        self.assertIn("12Thread", self.text().splitlines()[-1])
        # Shift-F12 selects the thread of the article under the cursor: five articles.
        self.move_cursor_to("    Re: Tree, below")
        self.steps(("S-F12", " 5 selected "))
        # In the other group the crosspost's parent is missing: it stands at the top.
        self.steps(("Home Enter", "test.threads.other"))
        self.enter_group("test.threads.other", False, False, "Other only")
        self.assertEqual(self.names(), ["Other only", "Re: Tree, cross"])
        # F12 again: by number.
        self.steps(("Home Enter", "test.threads"))
        self.enter_group("test.threads", False, False, "Re: Tree, cross")
        self.steps(("F12", "║Re: Note"))
        self.assertEqual(self.names()[:3], ["Tree", "Note", "Re: Tree, lost A"])

    def test_reads_offline_after_the_server_is_stopped(self):
        self.own_groups()
        self.enter_group("test.threads", False, False, "Re: Tree, cross")
        # Read one article, copy another: both are kept for reading offline.
        self.move_cursor_to("Tree")
        self.steps(("F3", "Where do replies go?"), ("Escape", "!Where do replies go?"))
        self.move_cursor_to("Note")
        self.steps(("F5", "Copy the articles to:"), ("Enter", "!Copy the articles to:"))
        self.wait(lambda: os.path.exists(os.path.join(self.local, "Note")))
        # The server goes away (this test's own, stopped by its process).
        self.server.terminate()
        self.server.wait()
        # The next article needs the server: it cannot be reached, the caches are offered.
        self.move_cursor_to("Tree")
        self.steps(("F3", "Work offline", "can be read offline"),
                   ("Enter", "Where do replies go?"),  # read from the article cache
                   ("Escape", "!Where do replies go?", "(offline)"))
        self.move_cursor_to("Note")
        self.steps(("F3", "Nothing to do with threads."), ("Escape", "!Nothing to do with"))
        # An article never read needs the server: said once, no retry.
        self.move_cursor_to("Re: Note")
        self.steps(("F3", "this needs the server"), ("Enter", "!this needs the server"))
        # The own groups and the cached index browse as before, by thread too.
        self.steps(("Home Enter", "test.threads.other", "(offline)"))
        self.enter_group("test.threads", False, False, "Re: Tree, cross")
        self.steps(("F12", re.compile(r"║ {4}Re: Tree, below")))
        self.assertIn("(offline)", self.text().splitlines()[0])


if __name__ == "__main__":
    screen_session.run(__doc__)
