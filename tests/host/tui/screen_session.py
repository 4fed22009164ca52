#!/usr/bin/env python3
"""The full-screen host driven like a person through tmux, in a session of 100 x 30 cells with its
own KESTROVA_HOME, against the demo news server (tools/demo-news) on a free loopback port: the
harness of the screen tests (no tests of its own). run(__doc__) runs a test module's tests with
the host binary of the command line; it exits 77 (skipped) without tmux."""
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

WIDTH, HEIGHT = 100, 30
kestrova = None  # the host binary
TEST_SECONDS = 120  # each test's whole time: waits never go past it


class ScreenSession(unittest.TestCase):
    def setUp(self):
        self.deadline = time.monotonic() + TEST_SECONDS
        self.work = tempfile.mkdtemp(prefix="kestrova-screen-")
        self.addCleanup(shutil.rmtree, self.work, ignore_errors=True)
        self.local = os.path.join(self.work, "local")
        os.mkdir(self.local)
        self.socket = f"kestrova-test-{os.getpid()}-{id(self)}"

    def serve(self, rules=(), extra=()):
        """Starts the server with these control rules and extra arguments (a --spool among them
        serves that spool instead); self.server is its process."""
        args = ["--spool", os.path.join(SOURCE, "tools", "demo-news"), "--volatile", *extra]
        if rules:
            args += ["--controls", os.path.join(self.work, "controls.json")]
            with open(args[-1], "w") as f:
                json.dump({"rules": rules}, f)
        self.server, self.port = run_with_news_server.start_server(
            args, os.path.join(self.work, "server.log"))
        server = self.server
        self.addCleanup(lambda: (server.terminate(), server.wait(), server.stdout.close()))

    def server_log(self):
        with open(os.path.join(self.work, "server.log"), encoding="latin-1") as f:
            return f.read()

    def write_editor(self, script):
        """Makes the editor the host runs ($EDITOR) a shell script of these lines."""
        editor = os.path.join(self.work, "editor.sh")
        with open(editor, "w") as f:
            f.write("#!/bin/sh\n" + script)
        os.chmod(editor, 0o755)

    def start(self, *args, shows="1Help"):
        env = {"KESTROVA_HOME": os.path.join(self.work, "home"), "KESTROVA_LANG": "eng",
               "EDITOR": os.path.join(self.work, "editor.sh"), "HOME": self.work}
        self.tmux("new-session", "-d", "-x", str(WIDTH), "-y", str(HEIGHT), "-c", self.local,
                  *(w for n, v in env.items() for w in ("-e", f"{n}={v}")),
                  " ".join([kestrova, *args]) + "; sleep 60")
        self.addCleanup(subprocess.run, ["tmux", "-L", self.socket, "kill-server"],
                        capture_output=True)
        return self.wait(shows)

    def quit(self):
        """Quits the host and ends its tmux session; the next start makes a new one."""
        self.steps(("F10", "Do you want to quit Kestrova?"), ("Enter", "!1Help"))
        self.tmux("kill-server")
        self.socket += "-again"

    def tmux(self, *args):
        return subprocess.run(["tmux", "-L", self.socket, *args], check=True,
                              capture_output=True, text=True).stdout

    def text(self):
        return self.tmux("capture-pane", "-p")

    def cursor(self):
        """The terminal cursor: (x, y) from 0, or None while it is hidden."""
        x, y, shown = self.tmux("display", "-p", "#{cursor_x} #{cursor_y} #{cursor_flag}").split()
        return (int(x), int(y)) if shown == "1" else None

    def row_of(self, text):
        """The first screen row showing text, from 0."""
        return next(y for y, row in enumerate(self.text().splitlines()) if text in row)

    def wait(self, *wanted, timeout=10.0):
        """Waits until the screen shows each of wanted (a text or a pattern), or no longer shows
        one written "!text", or a condition (a function) holds; fails with the screen as it is.
        Returns the screen."""
        for w in wanted:
            gone = isinstance(w, str) and w.startswith("!")
            deadline = min(time.monotonic() + timeout, self.deadline)
            while True:
                screen = self.text()
                if callable(w):
                    found = w()
                elif isinstance(w, re.Pattern):
                    found = w.search(screen)
                else:
                    found = w[gone:] in screen
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
        """Home, then Down until the status line names name; each key's move is waited for
        (every panel starts with "..", and the status lines of neighbours differ)."""
        self.tmux("send-keys", "Home")
        self.wait(lambda: self.status().startswith(".."))
        for _ in range(100):
            shown = self.status()
            if shown.startswith(name):
                return
            self.tmux("send-keys", "Down")
            self.wait(lambda: self.status() != shown)
        self.fail(f"no item {name}:\n{self.text()}")

    def open_demo_groups(self, *rules, extra=(), mask="kestrova.demo.*",
                         last="kestrova.demo.talk"):
        """Connects to the demo server (with these control rules and extra arguments) and lists
        its groups matching mask, waiting for last."""
        self.serve(list(rules), extra)
        self.start(f"news://127.0.0.1:{self.port}", shows="You have no newsgroups yet")
        return self.list_groups(mask, last)

    def list_groups(self, mask, last):
        """From the empty own groups: the server's groups matching mask, waiting for last."""
        return self.steps(("Enter F7", "Show the server's newsgroups matching"),
                          (f"C-u '{mask}' Enter", last))

    def add_own_groups(self, *groups):
        """Selects groups in the server's list and makes them own groups with F7."""
        for group in groups:
            self.move_cursor_to(group)
            self.steps(("Insert", " selected "))
        self.steps(("F7", "[ OK ]"), ("Enter", "![ OK ]"))

    def store_account(self, name):
        """From the local panels: the module's entry in the disks menu, its folder "Hosts", a new
        account of this test's server named name: typed text and Tab between the fields; Enter
        presses the default button (Save)."""
        address = f"127.0.0.1:{self.port}"
        self.steps(("M-F1", "Local folder"), ("Down Enter", "Private hosts"),
                   ("Home Down Enter S-F4", "News account"),
                   (f"'{name}' Tab '{address}'", address), ("Enter", "!News account", name))

    def enter_group(self, name, add=False, select=False, *wanted):
        """Enters the group name, added first to the newsgroups with F7 (selected first, or
        under the cursor)."""
        if add:
            self.move_cursor_to(name)
            self.steps(("Insert F7" if select else "F7", "[ OK ]"), ("Enter", "![ OK ]"))
        self.move_cursor_to(name)
        self.steps(("Enter", *wanted))


def run(usage):
    """Runs the tests of the calling module with the host binary named by the command line."""
    global kestrova
    if len(sys.argv) < 2:
        sys.exit(usage)
    if shutil.which("tmux") is None:
        print("SKIPPED: tmux is missing (tools/ensure-deps.sh installs it)")
        sys.exit(77)
    kestrova = os.path.abspath(sys.argv[1])
    unittest.main(module="__main__", argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
