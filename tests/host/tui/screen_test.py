#!/usr/bin/env python3
"""End-to-end tests of the full-screen host, driven like a person through tmux.

    screen_test.py KESTROVA_BINARY

Each test starts the demo news server (tools/demo-news) on a free loopback port and kestrova in
a tmux session of 100 x 30 cells with its own KESTROVA_HOME. Exits 77 (skipped) without tmux.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
sys.path.insert(0, os.path.join(SOURCE, "tests", "host"))
import run_with_news_server  # noqa: E402

KESTROVA = None
WIDTH, HEIGHT = 100, 30


class ScreenTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="kestrova-screen-")
        self.addCleanup(shutil.rmtree, self.work, ignore_errors=True)
        self.local = os.path.join(self.work, "local")
        os.mkdir(self.local)
        self.socket = f"kestrova-test-{os.getpid()}-{id(self)}"
        self.port = None

    def serve(self, rules=None, *extra_args):
        """Starts the server with these control rules and further arguments."""
        args = ["--spool", os.path.join(SOURCE, "tools", "demo-news"), "--volatile", *extra_args]
        if rules is not None:
            args += ["--controls", os.path.join(self.work, "controls.json")]
            with open(args[-1], "w") as f:
                json.dump({"rules": rules}, f)
        with open(os.path.join(self.work, "server"), "w") as f:
            f.write(" ".join(args))
        server, self.port = run_with_news_server.start_server(
            os.path.join(self.work, "server"), os.path.join(self.work, "server.log"))
        self.addCleanup(lambda: (server.terminate(), server.wait(), server.stdout.close()))

    def start(self, *args, shows="1Help"):
        env = {"KESTROVA_HOME": os.path.join(self.work, "home"), "KESTROVA_LANG": "eng",
               "EDITOR": os.path.join(self.work, "editor.sh")}
        self.tmux("new-session", "-d", "-x", str(WIDTH), "-y", str(HEIGHT), "-c", self.local,
                  *(w for n, v in env.items() for w in ("-e", f"{n}={v}")),
                  " ".join([KESTROVA, *args]) + "; sleep 60")
        self.addCleanup(subprocess.run, ["tmux", "-L", self.socket, "kill-server"],
                        capture_output=True)
        return self.wait(shows)

    def tmux(self, *args):
        return subprocess.run(["tmux", "-L", self.socket, *args], check=True,
                              capture_output=True, text=True).stdout

    def text(self):
        return self.tmux("capture-pane", "-p")

    def wait(self, *wanted, timeout=10.0):
        """Waits until the screen shows each of wanted (a text or a pattern), or no longer shows
        one written "!text"; fails with the screen as it is. Returns the screen."""
        for w in wanted:
            gone = isinstance(w, str) and w.startswith("!")
            deadline = time.monotonic() + timeout
            while True:
                screen = self.text()
                found = w.search(screen) if isinstance(w, re.Pattern) else w[gone:] in screen
                if bool(found) != gone:
                    break
                if time.monotonic() > deadline:
                    raise AssertionError(f"the screen {'still shows' if gone else 'never showed'} "
                                         f"{w!r}:\n{screen}")
                time.sleep(0.05)
        return self.text()

    def steps(self, *steps):
        """Each step: keys (tmux key names, text in single quotes typed as it is), then what
        to wait for as in wait. Returns the last screen."""
        for keys, *wanted in steps:
            for typed, key in re.findall(r"'([^']*)'|(\S+)", keys):
                self.tmux("send-keys", *(["-l", typed] if typed else [key]))
            screen = self.wait(*wanted)
        return screen

    def click(self, x, y):
        """A left mouse click on the cell (x, y), from 0, as the terminal reports it (SGR)."""
        self.tmux("send-keys", "-H", *(f"{ord(c):02x}" for c in f"\x1b[<0;{x + 1};{y + 1}M"))

    def status(self):
        """The left panel's status line: the name of the item under its cursor."""
        return self.text().splitlines()[HEIGHT - 4][1:WIDTH // 2 - 1]

    def move_cursor_to(self, name):
        self.tmux("send-keys", "Home")
        for _ in range(100):
            if self.status().startswith(name):
                return
            self.tmux("send-keys", "Down")
        self.fail(f"no item {name}:\n{self.text()}")

    def open_demo_groups(self):
        if self.port is None:
            self.serve()
        self.start(f"news://127.0.0.1:{self.port}", shows="You have no newsgroups yet")
        return self.steps(("Enter F7", "Show the server's newsgroups matching"),
                          ("C-u 'kestrova.demo.*' Enter", "kestrova.demo.talk"))

    def enter_new_group(self, name, select=False, *wanted):
        """Adds the server's group name (selected first, or under the cursor) to the newsgroups
        with F7 and enters it."""
        self.move_cursor_to(name)
        self.steps(("Insert F7" if select else "F7", "[ OK ]"), ("Enter", "![ OK ]"))
        self.move_cursor_to(name)
        self.steps(("Enter", *wanted))

    def test_groups_by_mask_added_entered_and_articles_copied(self):
        self.assertNotIn("local.test", self.open_demo_groups())  # only what the mask matches
        self.enter_new_group("kestrova.demo.talk", True, "How do I add a group?")
        self.steps(("C-0", "From", "Dmitri"),  # the module's view mode 0: its titles and authors
                   ("C-2", "!From"),
                   ("M-F7", "Names matching:"),  # the articles whose names match, in a menu
                   ("C-u 'Keyboard*' Enter", "Found: 1"), ("Enter", "!Found: 1"))
        self.assertTrue(self.status().startswith("Keyboard shortcuts"), self.text())
        self.move_cursor_to("How do I add a group?")
        self.steps(("F3", "I connected to the demo server and the panel is empty."),
                   ("Escape", "1Help"), ("Insert Insert", " 2 selected "),
                   ("F5", "Copy the articles to:"))
        # The terminal shrinks while the dialog is open: both are drawn again at the new size.
        self.tmux("resize-window", "-x", "90", "-y", "26")
        screen = self.wait("4Reply", "Copy the articles to:")
        self.assertEqual(len(screen.splitlines()[0]), 90, screen)  # the panels' top frame
        self.steps(("Enter", "!Copy the articles to:"))
        # Each article is written to a hidden temporary file first and renamed when complete.
        deadline = time.monotonic() + 10
        while len(copied := sorted(n for n in os.listdir(self.local) if n[0] != ".")) < 2:
            self.assertLess(time.monotonic(), deadline, copied)
            time.sleep(0.05)
        self.assertEqual(len(copied), 2, copied)
        self.wait(copied[0][:15])  # the local panel lists them

    def test_viewer_switches_character_sets_and_searches(self):
        self.open_demo_groups()
        self.enter_new_group("kestrova.demo.koi8", False, "Новая версия программы")
        self.move_cursor_to("Как настроить")
        # The KOI8-R body as it is, then through the host's KOI-8 table.
        self.assertNotIn("Добрый день!", self.steps(("F3", "OEM 866  Line 1")))
        screen = self.steps(("S-F8", "ISO 8859-5 (Unix russian)"), ("'k'", "Добрый день!"))
        self.assertIn("KOI-8  Line 1", screen.splitlines()[0])
        # F7 finds a word whatever its case; the line found comes to the top.
        screen = self.steps(("F7", "Search for"), ("'ТАБЛИЦУ' Enter", "KOI-8  Line 4"))
        self.assertTrue(screen.splitlines()[1].startswith("Какую таблицу выбрать"), screen)
        self.steps(("F10", "1Help"))

    def test_account_made_in_its_dialog_from_the_disks_menu_connects(self):
        self.serve()
        self.start()
        # The module's entry in the disks menu, its folder "Hosts", a new account: typed text
        # and Tab between the fields; Enter presses the default button (Save).
        address = f"127.0.0.1:{self.port}"
        self.steps(("M-F1", "Local folder"), ("Down Enter", "Private hosts"),
                   ("Home Down Enter S-F4", "News account"),
                   (f"'Demo server' Tab '{address}'", address),
                   ("Enter", "!News account", "Demo server"))
        # Ctrl-L: the module's information in the other panel, and back to the folder.
        screen = self.steps(("C-l", "Reads and posts Usenet news"))
        self.assertIn("10Quit", screen.splitlines()[-1], screen)  # Ctrl done: the plain row
        self.steps(("C-l", "!Reads and posts Usenet news"), ("End",))
        # A click on the ".." row (below the frame and the titles) puts the cursor there.
        self.click(5, 2)
        self.steps(("Enter", "Private hosts"), ("Home Down Enter", "Demo server"),
                   ("Home Down Enter", "You have no newsgroups yet"))
        # A click on a box's button presses it.
        y, row = next((y, r) for y, r in enumerate(self.text().splitlines()) if "[ OK ]" in r)
        self.click(row.index("[ OK ]") + 3, y)
        self.wait("!You have no newsgroups yet")

    def test_command_line_runs_the_shell_and_changes_folder(self):
        self.start()
        screen = self.steps(("'mkdir made-by-shell'", "$ mkdir made-by-shell"),
                            ("Enter", "Enter returns"),  # the program's own screen, until Enter
                            ("Enter", "made-by-shell "))
        rows = [row for row in screen.splitlines() if "made-by-shell " in row]
        self.assertEqual(rows[0].count("made-by-shell "), 2, screen)  # both panels list it
        self.steps(("'cd made-by-shell' Enter", "/made-by-shell$"))  # the prompt: the new folder

    def test_new_article_written_in_the_editor_is_posted_and_listed(self):
        editor = os.path.join(self.work, "editor.sh")
        with open(editor, "w") as f:
            f.write('#!/bin/sh\nprintf "Written by the editor script\\n" >> "$1"\n')
        os.chmod(editor, 0o755)
        self.open_demo_groups()
        self.enter_new_group("kestrova.demo.talk", False, "How do I add a group?")
        # Past the group filled in and its "(?)" button; Enter presses Post.
        self.steps(("S-F4", "Post article"),
                   ("Tab Tab 'Posted from the screen'", "Posted from the screen"),
                   ("Enter", "!Post article"),
                   ("C-r End", "Posted from the screen"))  # the new article comes last
        with open(os.path.join(self.work, "server.log")) as f:
            self.assertIn("Written by the editor script", f.read())

    def test_title_counts_while_a_slow_group_lists(self):
        self.serve([{"command": "NEXT", "delay_ms": 700, "times": 6}])  # a slow header walk
        self.open_demo_groups()
        self.enter_new_group("kestrova.demo.talk")
        self.wait(re.compile(r"^\S* 127\.0\.0\.1:kestrova\.demo\.talk \(\d+\) "),
                  "How do I add a group?")
        self.assertNotRegex(self.text().splitlines()[0], r"\(\d+\)")

    def test_local_folder_made_and_deleted_after_asking_twice(self):
        self.start()
        self.steps(("F7", "Create the folder:"), ("'box' Enter", "box "))
        with open(os.path.join(self.local, "box", "inside.txt"), "w") as f:
            f.write("x")
        self.move_cursor_to("box")
        # The second question, for a folder with something in it.
        self.steps(("F8", "Do you wish to delete"), ("Enter", "is not empty"),
                   ("Enter", "!is not empty", "!box "))
        self.assertEqual(os.listdir(self.local), [])

    def test_nntps_url_given_as_the_argument_connects_with_tls(self):
        if shutil.which("openssl") is None:
            self.skipTest("openssl is missing")
        # The server's own certificate, which nothing trusts.
        key, crt = os.path.join(self.work, "server.pem"), os.path.join(self.work, "server.crt")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                        "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", crt], check=True,
                       capture_output=True)
        with open(key, "a") as f, open(crt) as c:
            f.write(c.read())
        self.serve(None, "--tls-cert", key)
        self.start(f"nntps://127.0.0.1:{self.port}", shows="Untrusted server certificate")

    def test_escape_during_a_slow_reply_answered_stop(self):
        self.serve([{"command": "GROUP", "args": r"^kestrova\.demo\.talk$", "times": 1,
                     "delay_ms": 60000}])  # a minute
        self.open_demo_groups()
        started = time.monotonic()
        self.enter_new_group("kestrova.demo.talk", True)
        time.sleep(1)
        self.tmux("send-keys", "Escape")
        screen = self.wait("Retry", timeout=20)
        self.assertLess(time.monotonic() - started, 20, screen)  # not the server's minute
        # The second button: stop. The group stays unentered: the panel still lists the groups.
        screen = self.steps(("Right Enter", "!Retry", "kestrova.demo.talk"))
        self.assertNotIn("How do I add a group", screen)


def main():
    global KESTROVA
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    if shutil.which("tmux") is None:
        print("SKIPPED: tmux is missing (tools/ensure-deps.sh installs it)")
        sys.exit(77)
    KESTROVA = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)


if __name__ == "__main__":
    main()
