#!/usr/bin/env python3
"""usage_test.py KESTROVA_BINARY: the screen as a new user meets it (tmux; see screen_session.py):
help on F1, the focus of dialogs, boxes that put back what they covered, keys typed while the
module works, the cursor after an operation, the viewer's key bar, view modes on Alt-digit."""
import os
import re

import screen_session
from screen_session import HEIGHT

CHARSET_MENU = re.compile(r"[╔═] Character set [═╗]")  # the menu's title, not the button


class UsageTest(screen_session.ScreenSession):
    def group_talk(self, *rules):
        self.open_demo_groups(*rules)
        self.enter_group("kestrova.demo.talk", True, False, "How do I add a group?")

    def test_f1_shows_the_help_in_the_panel_a_dialog_and_the_viewer(self):
        self.serve()
        self.start()
        # The panel: the module's topics, then the keys of the panels; Esc goes back.
        screen = self.steps(("F1", "Kestrova: Usenet news as a panel"))
        self.assertIn("Help", screen.splitlines()[0])
        self.steps(("End", "Keys of the panels", "Ctrl-0 .. Ctrl-9"), ("Escape", "!Keys of the"))
        # A dialog: its own topic; the dialog is still there after the help.
        self.steps(("F9", "Module configuration"), ("Enter", "Kestrova settings"),
                   ("Enter", "Add to disks menu"), ("F1", "Interface settings", "Keys of dialogs"))
        self.assertNotIn("Proxy server", self.text())  # that topic alone
        self.steps(("F10", "!Interface settings", "Add to disks menu"),
                   ("Escape", "!Add to disks menu"), ("Escape", "!Kestrova settings"))

    def test_dialog_focus_is_visible_and_typed_letters_fire_no_hot_key(self):
        self.group_talk()
        # The post dialog: the cursor sits in the Newsgroups field, filled in.
        self.steps(("S-F4", "Post article"))
        field = self.row_of("Newsgroups:")
        x, y = self.cursor()
        self.assertEqual(y, field, self.text())
        # Down goes to the next row's field (not the "(?)" button beside); the letters typed
        # there are text: "r" would be the hot key of "Character set", which opens its menu.
        screen = self.steps(("Down 'rare subject'", "rare subject"))
        self.assertNotRegex(screen, CHARSET_MENU)
        x, y = self.cursor()
        self.assertEqual(y, self.row_of("rare subject"), screen)
        self.assertEqual(y, self.row_of("Subject:"), screen)
        # Alt with the hot key still works.
        self.steps(("M-r", CHARSET_MENU), ("Escape", "Post article"))
        self.assertNotRegex(self.text(), CHARSET_MENU)
        self.steps(("Escape", "!Post article"))

    def test_boxes_put_back_exactly_what_they_covered_and_show_titles_whole(self):
        self.serve()
        self.start()
        before = self.text()
        self.steps(("F7", "Create the folder:"))
        self.assertEqual(self.steps(("Escape", "!Create the folder:")), before)
        # The menus' titles whole: "Module configuration", "Kestrova settings".
        screen = self.steps(("F9", " Module configuration "), ("Enter", " Kestrova settings "))
        self.steps(("Escape", "!Kestrova settings"), ("Escape", "!Module configuration"))
        self.assertEqual(self.text(), before, screen)
        # Too narrow a screen cuts a title with "…".
        self.tmux("resize-window", "-x", "24", "-y", "24")
        screen = self.steps(("F9", "Module config"))
        self.assertIn("Module config… ", screen)
        self.steps(("Escape", "!Module config"))

    def test_keys_typed_while_the_module_works_reach_the_command_line(self):
        # The group answers late, with a failure: the keys typed while the module waits stay
        # queued; its question opens meanwhile (dropping what waits before it) and takes none.
        self.open_demo_groups({"command": "GROUP", "args": r"^kestrova\.demo\.talk$",
                               "times": 1, "delay_ms": 1500, "reply": "411 no such group"})
        self.move_cursor_to("kestrova.demo.talk")
        self.steps(("F7", "[ OK ]"), ("Enter", "![ OK ]"))
        self.move_cursor_to("kestrova.demo.talk")
        self.steps(("Enter 'echo kept-while-busy'", "411 no such group"))
        screen = self.steps(("Enter", "!411 no such group", "$ echo kept-while-busy"))
        self.assertEqual(screen.splitlines()[HEIGHT - 2].split("$ ")[-1].strip(),
                         "echo kept-while-busy", screen)
        # The shell's screen: End is one key, typed nowhere (no "^[[4~"); Enter comes back.
        self.steps(("Enter", "Enter returns"), ("End Enter", "!Enter returns"))
        shell = self.tmux("capture-pane", "-p", "-a")  # the shell's screen, beneath
        self.assertIn("Enter returns]", shell)
        self.assertNotIn("[4~", shell)

    def test_the_cursor_stays_on_the_article_copied(self):
        self.group_talk()
        # The third of four articles with one subject; its message id shows in the status line.
        self.move_cursor_to("Re: Keyboard shortcuts")
        for _ in range(2):
            shown = self.status()
            self.tmux("send-keys", "Down")
            self.wait(lambda: self.status() != shown)
        before = self.status()
        self.assertTrue(before.startswith("Re: Keyboard shortcuts"), before)
        self.steps(("F5", "Copy the articles to:"), ("Enter", "!Copy the articles to:"))
        self.wait(lambda: any(n[0] != "." for n in os.listdir(self.local)))
        copied = next(n for n in os.listdir(self.local) if n[0] != ".")
        self.wait(copied[:15])  # both panels read again
        self.assertEqual(self.status(), before, self.text())

    def test_viewer_key_bar_and_alt_digits_switch_view_modes(self):
        self.group_talk()
        self.move_cursor_to("How do I add a group?")
        screen = self.steps(("F3", "I connected to the demo server"))
        keys = screen.splitlines()[-1]
        # F8 names the set it switches to: from UTF-8 the first character table, and back.
        for label in ("1Help", "3Quit", "7Search", "8KOI-8", "10Quit"):
            self.assertIn(label, keys)
        self.steps(("F8", "8UTF-8"), ("F1", "Keys of the viewer"), ("Escape", "8UTF-8"),
                   ("F10", "!Keys of the viewer", "!8UTF-8"))
        # Alt-0: the module's view mode 0 (titles and authors), Alt-2 another.
        self.steps(("M-0", "From", "Dmitri"), ("M-2", "!From"))


if __name__ == "__main__":
    screen_session.run(__doc__)
