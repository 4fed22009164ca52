#!/usr/bin/env python3
"""offline_test.py KESTROVA_BINARY: a stored account whose server is down from the start opens
from its caches; what needs the server says so; Ctrl-R goes back online once the server is
there again (tmux; see screen_session.py)."""
import os

import screen_session

THREADS_SPOOL = os.path.join(screen_session.SOURCE, "tests", "host", "spools", "threads")
ACCOUNT = "Threads server"


class OfflineTest(screen_session.ScreenSession):
    def read_tree(self):
        """Enters test.threads (the first own group) and reads its first article, "Tree"."""
        self.steps(("Home Down Enter", "Re: Tree, cross"),
                   ("Home Down F3", "Where do replies go?"), ("Escape", "!Where do replies go?"))

    def open_offline(self):
        """Stores an account of this test's server, makes its two groups own groups, reads one
        article and quits: the account's caches are on disk. With the server stopped, opens the
        account from the local panels (the module's entry in the disks menu, its hosts): the
        caches are offered, and taken."""
        self.serve(extra=["--spool", THREADS_SPOOL])
        self.start()
        self.store_account(ACCOUNT)
        self.steps(("Home Down Enter", "You have no newsgroups yet"))
        self.list_groups("test.threads*", "test.threads.other")
        self.add_own_groups("test.threads", "test.threads.other")
        self.read_tree()
        self.quit()
        self.server.terminate()
        self.server.wait()
        self.start()
        self.steps(("M-F1", "Local folder"), ("Down Enter", ACCOUNT))
        self.tmux("send-keys", "Home", "Down", "Enter")
        self.steps(("", "Work offline", "can be read offline"),
                   ("Enter", "(offline)", "test.threads.other"))

    def title(self):
        return self.text().splitlines()[0]

    def test_a_stored_account_opens_offline_when_its_server_is_down(self):
        self.open_offline()
        self.read_tree()
        self.assertIn("(offline)", self.title())
        # Every action that needs the server says so, once, and leaves the session offline.
        self.write_editor('printf "Written offline\\n" >> "$1"\n')
        needs = "this needs the server"
        actions = [  # (keys, what shows, keys that close it)
            ("Home Down Down Down Down Down F3", needs, "Enter"),  # "Re: Note", never read
            ("Home Down Down Down Down Down F5 Enter", needs, "Escape"),  # copied out
            ("Home Down Down Down Down Down F4", needs, "Enter"),  # a reply fetches the article
            ("C-M-r", needs, "Enter"),  # the index read again
        ]
        for keys, shows, close in actions:
            self.steps((keys, shows), (close, "!" + shows))
            self.assertIn("(offline)", self.title(), keys)
        # A new article is written, then not posted for that reason, and kept.
        self.steps(("S-F4", "Post article"), ("Tab Tab 'Written offline'", "Written offline"),
                   ("Enter", "Posting needs your e-mail address:"),
                   ("'ann@example.test' Enter", "The article was not posted:", needs),
                   ("Right Enter", "The article was kept in the postponed folder"),
                   ("Enter", "!The article was kept"))
        postponed = os.path.join(self.work, "home", "Postponed")
        self.assertEqual(len(os.listdir(postponed)), 1)

    def test_ctrl_r_goes_back_online_when_the_server_is_there_again(self):
        self.open_offline()
        port = self.port
        # Still down: said, and still offline.
        self.steps(("C-r", "still cannot be reached"), ("Enter", "!still cannot be reached"))
        self.assertIn("(offline)", self.title())
        # The server is back on its port: Ctrl-R works online again, the own groups refreshed.
        self.serve(extra=["--spool", THREADS_SPOOL, "--port", port])
        self.steps(("C-r", "!(offline)", "test.threads.other"))
        self.assertIn("GROUP test.threads.other", self.server_log())  # its counts asked for
        # An article never read before now comes from the server.
        self.steps(("Home Down Enter", "Re: Tree, cross"),
                   ("Home Down Down Down Down Down F3", "Re: Note"))
        self.assertNotIn("needs the server", self.text())


if __name__ == "__main__":
    screen_session.run(__doc__)
