"""The fixture news server where the tests that use it would not notice a fault: dates and group
patterns of NEWGROUPS/NEWNEWS, dot-stuffing both ways, the exact byte of a cut, misspelt knobs,
the volatile spool, and the committed demo spool."""

import filecmp
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import unittest
from pathlib import Path

TOOLS = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
sys.path.insert(0, TOOLS)

from newsfixture import wire  # noqa: E402
from newsfixture.controls import ControlError, Controls  # noqa: E402
from newsfixture.exchange_log import ExchangeLog  # noqa: E402
from newsfixture.server import NewsServer  # noqa: E402
from newsfixture.spool import Spool  # noqa: E402


def article(message_id, date, body=("Hello.",), extra=()):
    lines = ["From: t@example.test", "Subject: S", f"Date: {date}", f"Message-ID: {message_id}",
             *extra, "", *body]
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")


# name: (flag, created, articles numbered from 1)
GROUPS = {
    "test.one": ("y", "2024-01-01T00:00:00Z", [
        article("<a1@test>", "Mon, 01 Jan 2024 10:00:00 +0000"),
        article("<a2@test>", "Tue, 02 Jan 2024 10:00:00 +0000",
                body=(".", ".leading dot", "..two dots", "200 looks like a status", "end")),
        article("<a3@test>", "Wed, 03 Jan 2024 10:00:00 +0000")]),
    "test.moderated": ("m", "2024-02-01T00:00:00Z", []),
    "test.readonly": ("n", "2024-03-01T12:30:00Z", [
        article("<r1@test>", "Fri, 01 Mar 2024 00:00:00 +0000")]),
    # Dated January but arrived (Injection-Date) in April.
    "other.group": ("y", "2024-04-01T00:00:00Z", [
        article("<o1@test>", "Mon, 01 Jan 2024 00:00:00 +0000",
                extra=("Injection-Date: Mon, 01 Apr 2024 08:00:00 +0000",))]),
}


class Client:
    """A blocking client that shows lines exactly as sent (still dot-stuffed)."""

    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=5)
        self.reader = self.sock.makefile("rb")
        self.greeting = self.line()

    def line(self):
        raw = self.reader.readline()
        assert raw.endswith(b"\r\n"), f"line without CR LF: {raw!r}"
        return raw[:-2].decode("latin-1")

    def command(self, text):
        self.sock.sendall(text.encode("latin-1") + b"\r\n")
        return self.line()

    def block(self):
        return list(iter(self.line, "."))


class FixtureTest(unittest.TestCase):
    def server(self, knobs=None, volatile=False):
        """A server on the groups above, in this process; returns (spool folder, client)."""
        root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, root, True)
        Path(root, "groups").write_text("".join(f"{name} {flag} {created} d\n"
                                                for name, (flag, created, _) in GROUPS.items()))
        for name, (_, _, articles) in GROUPS.items():
            Path(root, name).mkdir()
            for number, data in enumerate(articles, 1):
                Path(root, name, str(number)).write_bytes(data)
        server = NewsServer(Spool(root, volatile=volatile), Controls(knobs), ExchangeLog())
        thread = threading.Thread(target=server.serve_forever, args=(0.05,), daemon=True)
        thread.start()
        self.addCleanup(lambda: (server.shutdown(), server.server_close(), thread.join()))
        client = Client(server.port)
        self.addCleanup(lambda: (client.reader.close(), client.sock.close()))
        return root, client

    def test_blocks(self):
        _, client = self.server()
        cases = [
            ("NEWGROUPS 240201 000000 GMT", ["test.moderated 0 1 m", "test.readonly 1 1 n",
                                             "other.group 1 1 y"]),
            ("NEWGROUPS 20240301 123001 GMT", ["other.group 1 1 y"]),
            ("NEWNEWS test.one 20240103 100000 GMT", ["<a3@test>"]),
            ("NEWNEWS *,!test.* 240301 000000 GMT", ["<o1@test>"]),
            ("NEWNEWS other.group 20240315 000000 GMT", ["<o1@test>"]),
            ("NEWNEWS * 20240402 000000 GMT", []),
            ("BODY <a2@test>", ["..", "..leading dot", "...two dots", "200 looks like a status", "end"]),
        ]
        for command, block in cases:
            self.assertRegex(client.command(command), r"^2\d\d ", command)
            self.assertEqual(client.block(), block, command)

    def test_two_digit_years_never_lie_in_the_future(self):
        now = wire.parse_since("20260615", "000000", "GMT")
        for date, year in [("261231", 2026), ("270101", 1927), ("000101", 2000)]:
            since = wire.parse_since(date, "000000", "GMT", now=now)
            self.assertEqual(wire.time.gmtime(since).tm_year, year, date)

    def test_posts_are_unstuffed_and_volatile_ones_stay_in_memory(self):
        for volatile in (False, True):
            root, client = self.server(volatile=volatile)
            self.assertRegex(client.command("POST"), "^340 ")
            for line in ("From: a@b.test", "Subject: S", "Newsgroups: test.one",
                         "Message-ID: <kept@test>", "", "..", "..leading", "300 digits"):
                client.sock.sendall(line.encode() + b"\r\n")
            self.assertEqual(client.command("."), "240 Article received <kept@test>")
            client.command("BODY <kept@test>")
            self.assertEqual(client.block(), ["..", "..leading", "300 digits"])
            stored = Path(root, "test.one", "4")
            self.assertEqual(stored.exists(), not volatile)
            if not volatile:
                self.assertTrue(stored.read_bytes().endswith(b"\r\n\r\n.\r\n.leading\r\n300 digits\r\n"))

    def test_drop_after_bytes_cuts_the_stream_exactly(self):
        # The knob counts from the greeting on, a rule from its reply on.
        for knobs, command, greeting_counts in (
                ({"drop_after_bytes": 60}, "GROUP test.one", True),
                ({"rules": [{"command": "LIST", "drop_after_bytes": 60}]}, "LIST", False)):
            with self.subTest(command):
                _, client = self.server(knobs)
                client.sock.sendall(command.encode() + b"\r\n")
                rest = client.reader.read()
                self.assertEqual(len(rest) + (len(client.greeting) + 2 if greeting_counts else 0), 60)

    def test_misspelt_knobs_are_named(self):
        for knobs, pattern in [
                ({"dely_ms": 5}, r"unknown knob 'dely_ms'"),
                ({"delay_ms": True}, r"delay_ms must be int"),
                ({"rules": [{"reply": "500 x"}]}, r"rules\[0\]: a rule needs a command"),
                ({"rules": [{"command": "X", "repyl": "500"}]}, r"unknown field 'repyl'"),
                ({"rules": [{"command": "X", "args": "("}]}, r"rules\[0\].args")]:
            with self.assertRaisesRegex(ControlError, pattern):
                Controls(knobs)

    def test_demo_data_matches_its_generator(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder, True)
        subprocess.run([sys.executable, os.path.join(TOOLS, "make_demo_news.py"), folder], check=True)
        pending = [filecmp.dircmp(folder, os.path.join(TOOLS, "demo-news"))]
        while pending:
            current = pending.pop()
            self.assertEqual((current.left_only, current.right_only, current.diff_files), ([], [], []),
                             current.left)
            pending.extend(current.subdirs.values())


if __name__ == "__main__":
    unittest.main()
