#!/usr/bin/env python3
"""screen_test.py KESTROVA_BINARY: groups, articles, a reply, the viewer, a slow server, local
folders and the command line on the full screen (tmux; see screen_session.py)."""
import os
import re
import time

import screen_session


class ScreenTest(screen_session.ScreenSession):
    def test_groups_by_mask_entered_and_articles_copied(self):
        self.assertNotIn("local.test", self.open_demo_groups())  # only what the mask matches
        self.enter_group("kestrova.demo.talk", True, True, "How do I add a group?")
        self.steps(("M-F7", "Names matching:"),  # the articles whose names match, in a menu
                   ("C-u 'Keyboard*' Enter", "Found: 1"), ("Enter", "!Found: 1"))
        self.assertTrue(self.status().startswith("Keyboard shortcuts"), self.text())
        self.move_cursor_to("How do I add a group?")
        self.steps(("Insert Insert", " 2 selected "), ("F5", "Copy the articles to:"))
        # The terminal shrinks while the dialog is open: both are drawn again at the new size.
        self.tmux("resize-window", "-x", "90", "-y", "26")
        screen = self.wait("4Reply", "Copy the articles to:")
        self.assertEqual(len(screen.splitlines()[0]), 90, screen)  # the panels' top frame
        self.steps(("Enter", "!Copy the articles to:"))
        # Each article is written to a hidden temporary file first and renamed when complete.
        def visible():
            return sorted(n for n in os.listdir(self.local) if n[0] != ".")
        self.wait(lambda: len(visible()) >= 2)
        copied = visible()
        self.assertEqual(len(copied), 2, copied)
        self.wait(copied[0][:15])  # the local panel lists them

    def test_reply_with_the_default_template_and_the_signature(self):
        # The editor shows what it was given and waits for Enter, then adds a line.
        self.write_editor('clear\ncat "$1"\necho "[editor]"\nread answer\n'
                          'echo "I have a list." >> "$1"\n')
        with open(os.path.join(self.work, ".signature"), "w") as f:
            f.write("Ann Example\nhttps://ann.example.test/\n")
        self.open_demo_groups()
        self.enter_group("kestrova.demo.talk", True, False, "Keyboard shortcuts")
        self.move_cursor_to("Keyboard shortcuts")
        # F4: the subject with one "Re: "; no e-mail address yet, so posting asks for one.
        self.steps(("F4", "Post article", "Re: Keyboard shortcuts"),
                   ("Enter", "Posting needs your e-mail address:"))
        # The editor has the terminal: it shows the quoted article and reads the Enter typed.
        self.steps(("'ann@example.test' Enter", "[editor]",
                    "On 17 Jun 2023, Bob Tanaka <btanaka@example.org> wrote:"),
                   ("Enter", "!Posting needs", "1Help"))
        self.wait(lambda: "I have a list." in self.server_log())
        log = self.server_log()
        self.assertIn("References: <talk.5.0.391711@example.org>", log)
        self.assertIn("From: <ann@example.test>", log)
        self.assertRegex(log, r"A: -- \n#\d+ A: Ann Example\n")

    def test_viewer_switches_character_sets_and_searches(self):
        self.open_demo_groups()
        self.enter_group("kestrova.demo.koi8", True, False, "Новая версия программы")
        self.move_cursor_to("Как настроить")
        # The KOI8-R body read in the charset its Content-Type names, which the status line shows;
        # F8 reads it as UTF-8 instead, and the host's KOI-8 table from the menu reads it again.
        self.assertIn("Добрый день!", self.steps(("F3", "koi8-r  Line 1")))
        self.assertNotIn("Добрый день!", self.steps(("F8", "UTF-8  Line 1")))
        screen = self.steps(("S-F8", "ISO 8859-5 (Unix russian)"), ("Down Enter", "Добрый день!"))
        self.assertIn("KOI-8  Line 1", screen.splitlines()[0])
        # F7 finds a word whatever its case; the line found comes to the top.
        screen = self.steps(("F7", "Search for"), ("'ТАБЛИЦУ' Enter", "KOI-8  Line 4"))
        self.assertTrue(screen.splitlines()[1].startswith("Какую таблицу выбрать"), screen)
        self.steps(("F10", "!Добрый день!"))

    def test_slow_server_escape_answered_stop_then_title_counts(self):
        self.open_demo_groups({"command": "GROUP", "args": r"^kestrova\.demo\.talk$", "times": 1,
                               "delay_ms": 60000},
                              {"command": "NEXT", "delay_ms": 700, "times": 6})
        self.enter_group("kestrova.demo.talk", True, True)  # GROUP held for a minute
        # Esc once the server holds GROUP, not after a pause that a loaded machine may outlast.
        self.wait(lambda: " C: GROUP kestrova.demo.talk" in self.server_log())
        started = time.monotonic()
        self.tmux("send-keys", "Escape")
        screen = self.wait("Retry", timeout=50)
        self.assertLess(time.monotonic() - started, 50, screen)  # not the server's minute
        # The second button: stop. The group stays unentered: the panel still lists the groups.
        screen = self.steps(("Right Enter", "!Retry", "kestrova.demo.talk"))
        self.assertNotIn("How do I add a group", screen)
        # Entered again, the header walk is slow: meanwhile the title counts.
        self.enter_group("kestrova.demo.talk")
        self.wait(re.compile(r"^\S* 127\.0\.0\.1:kestrova\.demo\.talk \(\d+\) "),
                  "How do I add a group?")
        self.assertNotRegex(self.text().splitlines()[0], r"\(\d+\)")

    def test_local_folders_the_command_line_and_an_account_made_in_its_dialog(self):
        self.serve()
        self.start()
        self.steps(("F7", "Create the folder:"), ("'box' Enter", "box "))
        with open(os.path.join(self.local, "box", "inside.txt"), "w") as f:
            f.write("x")
        self.move_cursor_to("box")
        # F8 asks twice for a folder with something in it.
        self.steps(("F8", "Do you wish to delete"), ("Enter", "is not empty"),
                   ("Enter", "!is not empty", "!box "))
        self.assertEqual(os.listdir(self.local), [])
        # A command runs in the shell, its own screen kept until Enter.
        screen = self.steps(("'mkdir made-by-shell'", "$ mkdir made-by-shell"),
                            ("Enter", "Enter returns"), ("Enter", "made-by-shell "))
        rows = [row for row in screen.splitlines() if "made-by-shell " in row]
        self.assertEqual(rows[0].count("made-by-shell "), 2, screen)  # both panels list it
        self.steps(("'cd made-by-shell' Enter", "/made-by-shell$"))  # the prompt: the new folder
        self.store_account("Demo server")
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


if __name__ == "__main__":
    screen_session.run(__doc__)
