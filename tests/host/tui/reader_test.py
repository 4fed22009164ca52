#!/usr/bin/env python3
"""reader_test.py KESTROVA_BINARY: a reader's day on the full screen (tmux; see
screen_session.py): reading offline once the server is gone, the cached index by thread too."""
import os
import re

import screen_session

THREADS_SPOOL = os.path.join(screen_session.SOURCE, "tests", "host", "spools", "threads")


class ReaderTest(screen_session.ScreenSession):
    def test_reads_offline_after_the_server_is_stopped(self):
        self.open_demo_groups(extra=["--spool", THREADS_SPOOL], mask="test.threads*",
                              last="test.threads.other")
        self.add_own_groups("test.threads", "test.threads.other")
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
        # The own groups and the cached index browse as before, by thread too.
        self.steps(("Home Enter", "test.threads.other", "(offline)"))
        self.enter_group("test.threads", False, False, "Re: Tree, cross")
        self.steps(("F12", re.compile(r"║ {4}Re: Tree, below")))
        self.assertIn("(offline)", self.text().splitlines()[0])


if __name__ == "__main__":
    screen_session.run(__doc__)
