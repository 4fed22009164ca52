#!/usr/bin/env python3
"""End-to-end tests of the full-screen host, driven like a person through tmux.

    screen_test.py KESTROVA_BINARY

Each test starts the demo news server (tools/demo-news) on a free loopback port and kestrova in
a tmux session of 100 x 30 cells with its own KESTROVA_HOME, types keys with send-keys and
reads the screen with capture-pane. Exits 77 (skipped) when tmux is missing.
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


class Screen:
    """kestrova in a tmux session of its own."""

    def __init__(self, args, env):
        self.socket = f"kestrova-test-{os.getpid()}-{id(self)}"
        command = " ".join([KESTROVA] + args) + "; sleep 60"
        environment = []
        for name, value in env.items():
            environment += ["-e", f"{name}={value}"]
        self.tmux("new-session", "-d", "-x", str(WIDTH), "-y", str(HEIGHT), *environment,
                  "-c", env["WORK"], command)

    def tmux(self, *args):
        return subprocess.run(["tmux", "-L", self.socket, *args], check=True,
                              capture_output=True, text=True).stdout

    def keys(self, *keys, shows=None, gone=None):
        """Sends keys, then waits until the screen shows or no longer shows a text."""
        self.tmux("send-keys", *keys)
        return self.after(shows, gone)

    def type(self, text, shows=None):
        self.tmux("send-keys", "-l", text)
        return self.after(shows, None)

    def after(self, shows, gone):
        if gone is not None:
            self.wait_gone(gone)
        return self.wait_for(shows) if shows is not None else None

    def text(self):
        return self.tmux("capture-pane", "-p")

    def click(self, x, y):
        """A left mouse click on the cell (x, y), from 0, as the terminal reports it (SGR)."""
        self.tmux("send-keys", "-H", *(f"{ord(c):02x}" for c in f"\x1b[<0;{x + 1};{y + 1}M"))

    def click_on(self, text):
        """A click on the middle of text where the screen shows it."""
        for y, row in enumerate(self.text().splitlines()):
            if text in row:
                return self.click(row.index(text) + len(text) // 2, y)
        raise AssertionError(f"no {text!r} to click on:\n{self.text()}")

    def wait_for(self, wanted, timeout=10.0, shown=True):
        """Waits until the screen shows wanted (text or a compiled pattern), or no longer
        shows it; fails with the screen as it is."""
        deadline = time.monotonic() + timeout
        while True:
            screen = self.text()
            found = wanted.search(screen) if isinstance(wanted, re.Pattern) else wanted in screen
            if bool(found) == shown:
                return screen
            if time.monotonic() > deadline:
                raise AssertionError(f"the screen {'never showed' if shown else 'still shows'} "
                                     f"{wanted!r}:\n{screen}")
            time.sleep(0.05)

    def wait_gone(self, unwanted):
        self.wait_for(unwanted, shown=False)

    def close(self):
        subprocess.run(["tmux", "-L", self.socket, "kill-server"], capture_output=True)


class ScreenCase(unittest.TestCase):
    """A news server and kestrova in tmux, with the helpers a test types and reads through."""

    server_args = ["--spool", os.path.join(SOURCE, "tools", "demo-news"), "--volatile"]

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="kestrova-screen-")
        self.server = None
        self.restart_server(None)
        self.local = os.path.join(self.work, "local")
        os.mkdir(self.local)
        self.env = {"WORK": self.local, "KESTROVA_HOME": os.path.join(self.work, "home"),
                    "KESTROVA_LANG": "eng", "EDITOR": os.path.join(self.work, "editor.sh")}

    def restart_server(self, rules, *extra_args):
        """The server (again), with these control rules and further arguments."""
        self.stop_server()
        args = self.server_args + list(extra_args)
        if rules is not None:
            args += ["--controls", os.path.join(self.work, "controls.json")]
            with open(args[-1], "w") as f:
                json.dump({"rules": rules}, f)
        server_file = os.path.join(self.work, "server")
        with open(server_file, "w") as f:
            f.write(" ".join(args))
        self.server, self.port = run_with_news_server.start_server(
            server_file, os.path.join(self.work, "server.log"))

    def stop_server(self):
        if self.server:
            self.server.terminate()
            self.server.wait()
            self.server.stdout.close()

    def tearDown(self):
        if hasattr(self, "screen"):
            self.screen.close()
        self.stop_server()
        shutil.rmtree(self.work, ignore_errors=True)

    def start(self, *args):
        self.screen = Screen(list(args), self.env)
        return self.screen

    def start_local(self):
        s = self.start()
        s.wait_for("1Help")
        return s

    def open_demo_group(self):
        s = self.start(f"news://127.0.0.1:{self.port}")
        s.wait_for("You have no newsgroups yet")
        s.keys("Enter")
        s.keys("F7", shows="Show the server's newsgroups matching")
        s.keys("C-u")
        s.type("kestrova.demo.*")
        s.keys("Enter", shows="kestrova.demo.talk")
        return s

    def enter_new_group(self, s, name, select=False, shows=None):
        """Adds the server's group name (selected first, or under the cursor) to the newsgroups
        with F7 and enters it."""
        self.move_cursor_to(s, name)
        s.keys(*(["Insert"] if select else []), "F7", shows="[ OK ]")
        s.keys("Enter", gone="[ OK ]")
        self.move_cursor_to(s, name)
        s.keys("Enter", shows=shows)

    @staticmethod
    def status_line(screen):
        """The left panel's status line: the name of the item under its cursor."""
        return screen.splitlines()[HEIGHT - 4][1:WIDTH // 2 - 1]

    def move_cursor_to(self, s, name):
        s.keys("Home")
        for _ in range(100):
            if self.status_line(s.text()).startswith(name):
                return
            s.keys("Down")
        self.fail(f"no item {name}:\n{s.text()}")


class ScreenTest(ScreenCase):
    def test_groups_by_mask_added_entered_and_articles_copied(self):
        s = self.open_demo_group()
        self.assertNotIn("local.test", s.text())  # only what the mask matches
        self.enter_new_group(s, "kestrova.demo.talk", select=True, shows="How do I add a group?")
        # Ctrl-0: the module's view mode 0, with its column titles and its author column.
        screen = s.keys("C-0", shows="From")
        self.assertIn("Dmitri", screen)
        s.keys("C-2", gone="From")
        # Alt-F7: the articles whose names match, in a menu; the chosen one gets the cursor.
        s.keys("M-F7", shows="Names matching:")
        s.keys("C-u")
        s.type("Keyboard*")
        s.keys("Enter", shows="Found: 1")
        s.keys("Enter", gone="Found: 1")
        self.assertTrue(self.status_line(s.text()).startswith("Keyboard shortcuts"), s.text())
        # F3: the article in the viewer; Esc comes back to the panels.
        self.move_cursor_to(s, "How do I add a group?")
        s.keys("F3", shows="I connected to the demo server and the panel is empty.")
        s.keys("Escape", shows="1Help")
        # Two articles selected, F5 copies them to the local panel.
        s.keys("Insert", "Insert", shows=" 2 selected ")
        s.keys("F5", shows="Copy the articles to:")
        # The terminal shrinks while the dialog is open: both are drawn again at the new size.
        s.tmux("resize-window", "-x", "90", "-y", "26")
        screen = s.wait_for("4Reply")
        self.assertEqual(len(screen.splitlines()[0]), 90, screen)  # the panels' top frame
        self.assertIn("Copy the articles to:", screen)
        s.keys("Enter", gone="Copy the articles to:")
        # Each article is written to a hidden temporary file first and renamed when complete.
        def finished():
            return sorted(n for n in os.listdir(self.local) if not n.startswith("."))
        deadline = time.monotonic() + 10
        while len(finished()) < 2 and time.monotonic() < deadline:
            time.sleep(0.05)
        copied = finished()
        self.assertEqual(len(copied), 2, copied)
        s.wait_for(copied[0][:15])  # the local panel lists them

    def test_viewer_switches_character_sets_and_searches(self):
        s = self.open_demo_group()
        self.enter_new_group(s, "kestrova.demo.koi8", shows="Новая версия программы")
        self.move_cursor_to(s, "Как настроить")
        # The article's KOI8-R body as it is, then read through the host's KOI-8 table.
        screen = s.keys("F3", shows="OEM 866  Line 1")
        self.assertNotIn("Добрый день!", screen)
        s.keys("S-F8", shows="ISO 8859-5 (Unix russian)")
        screen = s.type("k", shows="Добрый день!")
        self.assertIn("KOI-8  Line 1", screen.splitlines()[0])
        # F7 finds a word whatever its case; the line found comes to the top.
        s.keys("F7", shows="Search for")
        s.type("ТАБЛИЦУ")
        screen = s.keys("Enter", shows="KOI-8  Line 4")
        self.assertTrue(screen.splitlines()[1].startswith("Какую таблицу выбрать"), screen)
        s.keys("F10", shows="1Help")

    def test_account_made_in_its_dialog_from_the_disks_menu_connects(self):
        s = self.start_local()
        s.keys("M-F1", shows="Local folder")
        s.keys("Down", "Enter", shows="Private hosts")  # the module's entry
        s.keys("Home", "Down", "Enter")  # the folder "Hosts"
        s.keys("S-F4", shows="News account")
        # Typed text and Tab between the fields; Enter presses the default button (Save).
        s.type("Demo server")
        s.keys("Tab")
        s.type(f"127.0.0.1:{self.port}", shows=f"127.0.0.1:{self.port}")
        s.keys("Enter", gone="News account", shows="Demo server")
        # Ctrl-L: the module's information in the other panel, and back to the folder.
        screen = s.keys("C-l", shows="Reads and posts Usenet news")
        self.assertIn("10Quit", screen.splitlines()[-1], screen)  # Ctrl done: the plain row
        s.keys("C-l", gone="Reads and posts Usenet news")
        # A mouse click on the ".." row (the third screen row, below the frame and the
        # titles) puts the cursor there: Enter goes up.
        s.keys("End")
        s.click(5, 2)
        s.keys("Enter", shows="Private hosts")
        s.keys("Home", "Down", "Enter", shows="Demo server")  # "Hosts" again
        # The only account, below "..".
        s.keys("Home", "Down", "Enter", shows="You have no newsgroups yet")
        s.click_on("[ OK ]")  # a click on a box's button presses it
        s.wait_gone("You have no newsgroups yet")

    def test_command_line_runs_the_shell_and_changes_folder(self):
        s = self.start_local()
        s.type("mkdir made-by-shell", shows="$ mkdir made-by-shell")
        s.keys("Enter", shows="Enter returns")  # the program's own screen, kept until Enter
        screen = s.keys("Enter", shows="made-by-shell ")
        rows = [row for row in screen.splitlines() if "made-by-shell " in row]
        self.assertEqual(rows[0].count("made-by-shell "), 2, screen)  # both panels list it
        s.type("cd made-by-shell")
        s.keys("Enter", shows="/made-by-shell$")  # the prompt is the new folder

    def test_new_article_written_in_the_editor_is_posted_and_listed(self):
        with open(self.env["EDITOR"], "w") as f:
            f.write('#!/bin/sh\nprintf "Written by the editor script\\n" >> "$1"\n')
        os.chmod(self.env["EDITOR"], 0o755)
        s = self.open_demo_group()
        self.enter_new_group(s, "kestrova.demo.talk", shows="How do I add a group?")
        s.keys("S-F4", shows="Post article")
        s.keys("Tab", "Tab")  # past the group filled in and its "(?)" button
        s.type("Posted from the screen", shows="Posted from the screen")
        s.keys("Enter", gone="Post article")  # the default button: Post
        s.keys("C-r", "End", shows="Posted from the screen")  # the new article comes last
        with open(os.path.join(self.work, "server.log")) as f:
            self.assertIn("Written by the editor script", f.read())

    def test_title_counts_while_a_slow_group_lists(self):
        # The header walk slows down for a few seconds: meanwhile the title counts.
        self.restart_server([{"command": "NEXT", "delay_ms": 700, "times": 6}])
        s = self.open_demo_group()
        self.enter_new_group(s, "kestrova.demo.talk")
        s.wait_for(re.compile(r"^\S* 127\.0\.0\.1:kestrova\.demo\.talk \(\d+\) "))
        s.wait_for("How do I add a group?")
        self.assertNotRegex(s.text().splitlines()[0], r"\(\d+\)")

    def test_local_folder_made_and_deleted_after_asking_twice(self):
        s = self.start_local()
        s.keys("F7", shows="Create the folder:")
        s.type("box")
        s.keys("Enter", shows="box ")
        with open(os.path.join(self.local, "box", "inside.txt"), "w") as f:
            f.write("x")
        self.move_cursor_to(s, "box")
        s.keys("F8", shows="Do you wish to delete")
        # The second question, for a folder with something in it.
        s.keys("Enter", shows="is not empty")
        s.keys("Enter", gone="is not empty")
        s.wait_gone("box ")
        self.assertEqual(os.listdir(self.local), [])


class SecureServerTest(ScreenCase):
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
        self.restart_server(None, "--tls-cert", key)
        self.start(f"nntps://127.0.0.1:{self.port}").wait_for("Untrusted server certificate")


class SlowServerTest(ScreenCase):
    """The server holds its answer to GROUP kestrova.demo.talk for a minute."""

    def setUp(self):
        super().setUp()
        self.restart_server([{"command": "GROUP", "args": r"^kestrova\.demo\.talk$",
                              "times": 1, "delay_ms": 60000}])

    def test_escape_during_a_slow_reply_answered_stop(self):
        s = self.open_demo_group()
        started = time.monotonic()
        self.enter_new_group(s, "kestrova.demo.talk", select=True)
        time.sleep(1)
        s.keys("Escape")
        screen = s.wait_for("Retry", timeout=20)
        self.assertLess(time.monotonic() - started, 20, screen)  # not the server's minute
        s.keys("Right", "Enter")  # the second button: stop
        s.wait_gone("Retry")
        # The group stays unentered: the panel still lists the groups.
        s.wait_for("kestrova.demo.talk")
        self.assertNotIn("How do I add a group", s.text())


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
