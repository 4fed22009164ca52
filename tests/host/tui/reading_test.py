#!/usr/bin/env python3
"""reading_test.py KESTROVA_BINARY: read marks that outlive the program and the cache, and Space
in the viewer walking the unread articles of two groups (tmux; see screen_session.py)."""
import os
import re

import screen_session

ANNOUNCE = "kestrova.demo.announce"  # ten articles
KOI8 = "kestrova.demo.koi8"


class ReadingTest(screen_session.ScreenSession):
    def unread_column(self, group, count):
        """The own groups show group with count unread articles (in the module's view mode)."""
        return re.compile(re.escape(group) + r"/?\s*│\s*" + str(count) + r"\s*│")

    def up_to_own_groups(self, group, count):
        """From a group up to the own groups, which show group with count unread articles in
        the module's view mode (C-0); then back to the host's (C-2), whose status line shows
        the names."""
        self.steps(("Home Enter C-0", self.unread_column(group, count)), ("C-2", "Folder"))

    def mark_read(self, *names, key="F2"):
        """Selects the articles names and marks them read with F2 (unread with S-F2)."""
        for name in names:
            self.move_cursor_to(name)
            self.steps(("Insert", f" {names.index(name) + 1} selected "))
        self.steps((key, "1Help"))

    def test_read_marks_survive_quitting_and_a_cache_reload(self):
        self.open_demo_groups()
        self.enter_group(ANNOUNCE, True, False, "Kestrova 0.9 released")
        self.move_cursor_to("Demo server is up")
        self.steps(("F3", "Line 1"), ("Escape", "!6Next"))  # viewed: read; the viewer closed
        self.mark_read("Mailing list moved", "Kestrova 1.1 plans")
        self.up_to_own_groups(ANNOUNCE, 7)
        # Quit and start again: the marks are in the settings store.
        self.quit()
        self.start(f"news://127.0.0.1:{self.port}", shows="Folder")
        self.steps(("C-0", self.unread_column(ANNOUNCE, 7)), ("C-2", "Folder"))
        # The group's cached index is forgotten and read again; the marks stay.
        self.enter_group(ANNOUNCE, False, False, "Kestrova 0.9 released")
        self.steps(("C-M-r", "Forget the cached list"), ("Enter", "!Forget the cached list"))
        self.up_to_own_groups(ANNOUNCE, 7)
        # Shift-F2 marks one unread again; Shift-F8 catches up with the group after a question.
        self.enter_group(ANNOUNCE, False, False, "Kestrova 0.9 released")
        self.move_cursor_to("Demo server is up")
        self.steps(("S-F2", "1Help"))
        self.up_to_own_groups(ANNOUNCE, 8)
        self.move_cursor_to(ANNOUNCE)
        self.steps(("S-F8", f"Mark every article of {ANNOUNCE} read?"),
                   ("Enter C-0", self.unread_column(ANNOUNCE, 0)))

    def test_space_walks_the_unread_articles_across_two_groups(self):
        self.open_demo_groups()
        self.move_cursor_to(ANNOUNCE)
        self.tmux("send-keys", "Insert")
        self.enter_group(KOI8, True, True, "Новая версия программы")
        self.up_to_own_groups(KOI8, 22)
        self.enter_group(ANNOUNCE, False, False, "Kestrova 0.9 released")
        # Every article read but two.
        self.move_cursor_to("Kestrova 0.9 released")
        self.steps(("S-F8", "Mark every article"), ("Enter", "1Help"))
        self.mark_read("Mailing list moved", "Kestrova 1.1 plans", key="S-F2")
        # The viewer's key bar; Space at the end of an article opens the next unread one.
        self.move_cursor_to("Kestrova 0.9 released")
        screen = self.steps(("F3", "Line 1"))
        self.assertRegex(screen.splitlines()[-1], r"4Reply\s+5Prev\s+6Next")
        walked = []
        for _ in range(2):
            screen = self.steps(("Space", lambda: self.text().splitlines()[0] != screen.splitlines()[0]))
            walked.append(screen.splitlines()[0])
        self.assertTrue(any("Mailing list moved" in title for title in walked), walked)
        self.assertTrue(any("Kestrova 1.1 plans" in title for title in walked), walked)
        # None left here: the next group with unread articles is offered, and its first opens.
        self.steps(("Space", f"No unread articles are left in {ANNOUNCE}."),
                   ("", f"Go on with {KOI8} (22 unread)?"), ("Enter", "Line 1"),
                   ("F10", f"127.0.0.1:{KOI8}"))
        self.up_to_own_groups(KOI8, 21)

    def test_nntpserver_names_the_server_when_no_account_is_stored(self):
        self.serve()
        os.environ["NNTPSERVER"] = f"127.0.0.1:{self.port}"
        self.addCleanup(os.environ.pop, "NNTPSERVER", None)
        self.start(shows="You have no newsgroups yet")
        self.steps(("Enter", "127.0.0.1:."))


if __name__ == "__main__":
    screen_session.run(__doc__)
