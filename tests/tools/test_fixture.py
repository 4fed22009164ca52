"""The fixture news server: its replies, posting, knobs, spool, wire helpers, the process as the
tests start it, and the committed demo spool. Most cases are exchanges on one connection."""

import filecmp
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from fixture_harness import TOOLS, Client, RunningServer, article

from newsfixture import wire
from newsfixture.controls import ControlError, ControlFile, Controls
from newsfixture.spool import Spool, SpoolError, parse_headers, split_article
from newsfixture.wildmat import Wildmat


class Re(str):
    """An expected line given as a regular expression."""


NEW = "<new connection>"  # a step that opens the next connection
CLOSED = "<closed>"  # a step that expects the server to have closed the connection
GREETING = None  # the command of a step that checks the greeting


def post(*lines):
    """A step's command that posts the article lines (dot-stuffed on the way)."""
    return tuple(lines)


POST_OK = Re(r"240 Article received <[^>]+>")
OK_HEAD = ["From: a@b.test", "Subject: S", "Newsgroups: test.one"]
AUTH = {"users": {"tester": "secret", "nopass": ""}, "require_auth": True}
GROUP_ONE = ("GROUP test.one", "211 3 1 3 test.one")
LIST_STATUS = '215 Newsgroups in form "group high low status"'
LOGIN_NEEDED = "480 Authentication required for command"
OUT_OF_SEQUENCE = "482 Authentication commands issued out of sequence"

# (name, knobs, steps); a step is (command, expected status line or lines[, expected block]).
EXCHANGES = [
    ("groups and lists", None, [
        (GREETING, Re("200 .*")), GROUP_ONE,
        ("GROUP test.moderated", "211 0 1 0 test.moderated"),
        ("GROUP no.such", "411 No such group no.such"), ("GROUP", "501 Syntax error"),
        ("list active", LIST_STATUS, ["test.one 0000000003 0000000001 y",
                                      "test.moderated 0000000000 0000000001 m",
                                      "test.readonly 0000000001 0000000001 n",
                                      "other.group 0000000001 0000000001 y"]),
        ("LIST ACTIVE test.*,!*.readonly", LIST_STATUS,
         ["test.one 0000000003 0000000001 y", "test.moderated 0000000000 0000000001 m"]),
        ("LIST NEWSGROUPS other.*", Re("215 .*"), ["other.group\tGroup other.group"]),
        ("LIST OVERVIEW.FMT", "501 Syntax error"),
    ]),
    ("new groups by creation time, two-digit years", None, [
        ("NEWGROUPS 240201 000000 GMT", "231 New newsgroups follow",
         ["test.moderated 0 1 m", "test.readonly 1 1 n", "other.group 1 1 y"]),
        ("NEWGROUPS 20240301 123001 GMT", "231 New newsgroups follow", ["other.group 1 1 y"]),
        ("NEWGROUPS 20250101 000000 GMT", "231 New newsgroups follow", []),
        *[(command, "501 Syntax error") for command in (
            "NEWGROUPS 2403 000000 GMT", "NEWGROUPS 240301 0000 GMT", "NEWGROUPS 241301 000000 GMT",
            "NEWGROUPS 240301 000000 UTC", "NEWNEWS * 240301", "NEWNEWS * x 000000 GMT")],
    ]),
    ("new news by arrival and pattern", None, [
        ("NEWNEWS * 240102 000000 GMT", "230 New news follows",
         ["<a2@test>", "<a3@test>", "<r1@test>", "<o1@test>"]),
        ("NEWNEWS test.one 20240103 100000 GMT", "230 New news follows", ["<a3@test>"]),
        ("NEWNEWS *,!test.* 240301 000000 GMT", "230 New news follows", ["<o1@test>"]),
        # other.group's article is dated January but arrived (Injection-Date) in April.
        ("NEWNEWS other.group 20240315 000000 GMT", "230 New news follows", ["<o1@test>"]),
        ("NEWNEWS * 20240402 000000 GMT", "230 New news follows", []),
    ]),
    ("articles: selection, dot-stuffing, the walk", None, [
        ("HEAD 1", "412 No newsgroup selected"), ("NEXT", "412 No newsgroup selected"),
        ("HEAD <a2@test>", "221 0 <a2@test> head", None),
        ("STAT <nope@test>", "430 No such article"),
        GROUP_ONE, ("HEAD", "221 1 <a1@test> head", None),
        ("BODY 2", "222 2 <a2@test> body",
         ["..", "..leading dot", "...two dots", "200 looks like a status", "end"]),
        ("STAT <a3@test>", "223 0 <a3@test> status"),  # by identifier: the current one stays
        ("NEXT", Re("223 3 <a3@test> .*")), ("NEXT", "421 No next article in this group"),
        ("LAST", Re("223 2 <a2@test> .*")), ("LAST", Re("223 1 <a1@test> .*")),
        ("LAST", "422 No previous article in this group"),
        ("ARTICLE 3", "220 3 <a3@test> article", None), ("STAT 3", "223 3 <a3@test> status"),
        ("HEAD 9", "423 No such article number 9"), ("HEAD one", "501 Syntax error"),
        ("GROUP test.moderated", "211 0 1 0 test.moderated"),
        *[(command, "420 No current article selected") for command in ("HEAD", "NEXT", "LAST")],
        ("MODE READER", Re("200 .*")), ("MODE STREAM", Re("501 .*")), ("DATE", Re(r"111 \d{14}")),
        ("XYZZY", "500 Unknown command"), ("", Re("500 .*")), ("QUIT", "205 Bye"), (CLOSED, None),
    ]),
    ("posts", None, [
        (post(*OK_HEAD, "Message-ID: <old@test>", "Date: Sat, 01 Jan 2000 00:00:00 GMT", "", "x"),
         "240 Article received <old@test>"),
        ("NEWNEWS test.one 20240501 000000 GMT", "230 New news follows", ["<old@test>"]),
        (post("Subject: S", "Newsgroups: test.one", "", "x"),
         "441 Missing required From header field"),
        (post("From: a@b.test", "Newsgroups: test.one", "", "x"),
         "441 Missing required Subject header field"),
        (post("From: a@b.test", "Subject: S", "Newsgroups: no.such", "", "x"),
         '441 No valid newsgroups in "no.such"'),
        (post("From: a@b.test", "Subject: S", "Newsgroups: test.one,test.readonly", "", "x"),
         '441 Postings to "test.readonly" are not allowed here'),
        (post(*OK_HEAD, "Message-ID: <a1@test>", "", "x"), "441 435 Duplicate"),
        (post(*OK_HEAD, ""), "441 Article is empty"),
        (post("From: a@b.test", "no colon here", "", "x"), Re("441 Malformed header.*")),
        ("GROUP test.one", "211 4 1 4 test.one"),
        (post("From: a@b.test", "Subject: S", "Newsgroups: test.moderated", "", "x"),
         Re(r".*\(mailed to moderator\)")),
        ("GROUP test.moderated", "211 0 1 0 test.moderated"),
        (post("From: a@b.test", "Subject: S", "Newsgroups: test.moderated", "Approved: m@test", "",
              "x"), POST_OK),
        ("GROUP test.moderated", "211 1 1 1 test.moderated"),
        (post("From: a@b.test", "Subject: S", "Newsgroups: test.one, other.group", "", "x"), POST_OK),
        ("GROUP other.group", "211 2 1 2 other.group"),
        ("HEAD 2", Re("221 2 .*"), Re(r".*Xref: fixture.invalid test.one:5 other.group:2.*")),
    ]),
    ("login", AUTH, [
        ("GROUP test.one", LOGIN_NEEDED), ("AUTHINFO USER tester", "381 Enter password"),
        ("AUTHINFO PASS secret", "281 Authentication accepted"), GROUP_ONE,
        ("AUTHINFO USER tester", "502 Already authenticated"),
        (NEW, None), ("AUTHINFO USER tester", "381 Enter password"),
        ("AUTHINFO PASS wrong", "481 Authentication failed"), ("GROUP test.one", LOGIN_NEEDED),
        ("AUTHINFO PASS secret", OUT_OF_SEQUENCE),
        (NEW, None), ("AUTHINFO USER nobody", "381 Enter password"),
        ("AUTHINFO PASS secret", "481 Authentication failed"),
        (NEW, None), ("AUTHINFO PASS secret", OUT_OF_SEQUENCE),
        (NEW, None), ("AUTHINFO USER nopass", "281 Authentication accepted"),
        ("LIST", LIST_STATUS, None),
        (NEW, None), ("MODE READER", "200 Posting allowed"), ("AUTHINFO", "501 Syntax error"),
        ("QUIT", "205 Bye"),
    ]),
    ("login for chosen commands", {"users": {"tester": "secret"}, "require_auth": ["group"]}, [
        ("LIST", LIST_STATUS, None), ("GROUP test.one", LOGIN_NEEDED),
        ("AUTHINFO USER tester", "381 Enter password"),
        ("AUTHINFO PASS secret", "281 Authentication accepted"), GROUP_ONE,
    ]),
    ("without accounts any login", None, [
        ("AUTHINFO USER anyone", "381 Enter password"),
        ("AUTHINFO PASS any thing", "281 Authentication accepted"),
    ]),
    ("201 greeting", {"greeting": "201 reader only"}, [
        (GREETING, "201 reader only"), ("MODE READER", "201 Posting prohibited"),
        ("POST", "440 Posting not allowed"),
    ]),
    ("posting knob", {"posting": False}, [
        (GREETING, Re("200 .*")), ("POST", "440 Posting not allowed")]),
    ("refusing greeting", {"greeting": "400 too busy"}, [(GREETING, "400 too busy"), (CLOSED, None)]),
    ("drop after commands", {"drop_after_commands": 2}, [
        GROUP_ONE, ("HEAD 1", Re("221 .*"), None), (CLOSED, None)]),
    ("drop on chosen connections", {"drop_after_commands": 1, "drop_connections": [1]}, [
        ("DATE", Re("111 .*")), (CLOSED, None),
        (NEW, None), ("DATE", Re("111 .*")), GROUP_ONE,
    ]),
    ("rule instead of answering", {"rules": [{"command": "NEXT", "drop": True, "connection": 1}]}, [
        GROUP_ONE, ("NEXT", None), (CLOSED, None),
        (NEW, None), GROUP_ONE, ("NEXT", Re("223 .*")),
    ]),
    ("rule always", {"rules": [{"command": "GROUP", "reply": "502 no"}]}, [
        ("GROUP test.one", "502 no"), ("GROUP test.one", "502 no")]),
    ("rule times", {"rules": [{"command": "GROUP", "reply": "400 busy", "times": 1}]}, [
        ("GROUP test.one", "400 busy"), GROUP_ONE]),
    ("rule nth", {"rules": [{"command": "GROUP", "reply": "411 gone", "nth": 2}]}, [
        GROUP_ONE, ("GROUP test.one", "411 gone"), GROUP_ONE]),
    ("rule args", {"rules": [{"command": "GROUP", "args": r"other\..*", "reply": "411 gone"}]}, [
        GROUP_ONE, ("GROUP other.group", "411 gone")]),
    ("rule of two words", {"rules": [{"command": "authinfo pass", "reply": "481 no"}]}, [
        GROUP_ONE, ("AUTHINFO USER x", "381 Enter password"), ("AUTHINFO PASS x", "481 no")]),
    ("first rule wins, counters server-wide", {"rules": [
        {"command": "DATE", "reply": "400 first", "times": 1},
        {"command": "DATE", "reply": "400 second", "times": 1}]}, [
        ("DATE", "400 first"), (NEW, None), ("DATE", "400 second"), (NEW, None),
        ("DATE", Re("111 .*"))]),
    ("lines before the reply", {"rules": [{"command": "GROUP", "before": ["hi", "99 not"]}]}, [
        ("GROUP test.one", ["hi", "99 not", "211 3 1 3 test.one"])]),
    ("canned block", {"rules": [{"command": "HEAD", "reply": "221 5 <x@y> head",
                                 "data": ["Subject: c", "211 1 1 1 like a status", ".hidden"]}]}, [
        ("HEAD 5", "221 5 <x@y> head", ["Subject: c", "211 1 1 1 like a status", "..hidden"])]),
]


class ExchangeTest(unittest.TestCase):
    def check(self, actual, expected, context):
        if isinstance(expected, Re):
            self.assertTrue(re.fullmatch(expected, actual, re.DOTALL), f"{context}: {actual!r}")
        elif expected is not None:
            self.assertEqual(actual, expected, context)

    def play(self, knobs, steps):
        server = RunningServer(self, knobs=knobs)
        client = server.connect()
        for number, step in enumerate(steps):
            command, expected, *block = step
            context = f"step {number}: {command}"
            if command is NEW:
                client = server.connect()
            elif command is CLOSED:
                self.assertEqual(client.rest(), b"", context)
            elif command is GREETING:
                self.check(client.greeting, expected, context)
            elif isinstance(command, tuple):
                self.assertEqual(client.command("POST")[:4], "340 ", context)
                for line in command:
                    client.send(wire.stuff(line.encode("latin-1")).decode("latin-1"))
                self.check(client.command("."), expected, context)
            elif isinstance(expected, list):
                client.send(command)
                self.assertEqual([client.line() for _ in expected], expected, context)
            else:
                client.send(command)
                if expected is not None:
                    self.check(client.line(), expected, context)
                if block:
                    lines = client.block()
                    self.check("\n".join(lines) if isinstance(block[0], Re) else lines, block[0],
                               context)
        return server

    def test_exchanges(self):
        for name, knobs, steps in EXCHANGES:
            with self.subTest(name):
                self.play(knobs, steps)

    def test_article_parts_and_a_stored_post(self):
        server = self.play(None, [
            GROUP_ONE,
            (post(*OK_HEAD, "Message-ID: <kept@test>", "", ".", ".leading", "300 digits", ""),
             "240 Article received <kept@test>")])
        client = server.connect()
        client.command("HEAD <kept@test>")
        head = client.block()
        client.command("BODY <kept@test>")
        body = client.block()
        self.assertEqual(body, ["..", "..leading", "300 digits", ""])
        client.command("ARTICLE <kept@test>")
        self.assertEqual(client.block(), head + [""] + body)
        for name in ("Path", "Date", "Injection-Date", "Xref"):
            self.assertTrue(any(line.startswith(name + ":") for line in head), name)
        with open(os.path.join(server.root, "test.one", "4"), "rb") as file:
            self.assertIn(b"\r\n\r\n.\r\n.leading\r\n", file.read())
        self.assertEqual(Spool(server.root).find("<kept@test>").number, 4)

    def test_volatile_spool_keeps_posts_in_memory(self):
        server = RunningServer(self, volatile=True)
        client = server.connect()
        client.command("POST")
        for line in OK_HEAD + ["", "x", "."]:
            client.send(line)
        self.assertRegex(client.line(), "^240 ")
        self.assertFalse(os.path.exists(os.path.join(server.root, "test.one", "4")))

    def test_drop_after_bytes_cuts_the_stream_exactly(self):
        # The knob counts from the greeting on, a rule from its reply on.
        for knobs, command, greeting_counts in (
                ({"drop_after_bytes": 60}, "GROUP test.one", True),
                ({"rules": [{"command": "LIST", "drop_after_bytes": 60}]}, "LIST", False)):
            with self.subTest(command):
                client = RunningServer(self, knobs=knobs).connect()
                client.send(command)
                rest = client.rest()
                self.assertEqual(len(rest) + (len(client.greeting) + 2 if greeting_counts else 0), 60)

    def test_raw_bytes_and_close_after(self):
        client = RunningServer(self, knobs={"rules": [
            {"command": "DATE", "raw": "111 20240101000000\nbare", "close_after": True}]}).connect()
        client.send("DATE")
        self.assertEqual(client.rest(), b"111 20240101000000\nbare")

    def test_delays(self):
        def elapsed(client, command):
            start = time.monotonic()
            client.command(command)
            return time.monotonic() - start

        start = time.monotonic()
        client = RunningServer(self, knobs={"delay_ms": 150}).connect()
        self.assertGreaterEqual(time.monotonic() - start, 0.15)
        self.assertGreaterEqual(elapsed(client, "DATE"), 0.15)
        client = RunningServer(self, knobs={"rules": [{"command": "GROUP", "delay_ms": 300}]}).connect()
        self.assertGreaterEqual(elapsed(client, "GROUP test.one"), 0.3)
        self.assertLess(elapsed(client, "DATE"), 0.3)


class ControlsTest(unittest.TestCase):
    def test_bad_knobs_are_named_and_change_nothing(self):
        cases = [
            ({"dely_ms": 5}, r"unknown knob 'dely_ms'"),
            ({"delay_ms": "5"}, r"delay_ms must be int"),
            ({"delay_ms": True}, r"delay_ms must be int"),
            ({"require_auth": 1}, r"require_auth must be bool or list"),
            ({"rules": [{"reply": "500 x"}]}, r"rules\[0\]: a rule needs a command"),
            ({"rules": [{"command": "X", "repyl": "500"}]}, r"unknown field 'repyl'"),
            ({"rules": [{"command": "X", "args": "("}]}, r"rules\[0\].args"),
            ({"users": {"u": 5}}, r"users.u must be str"),
        ]
        controls = Controls({"delay_ms": 5})
        for knobs, pattern in cases:
            with self.subTest(pattern):
                with self.assertRaisesRegex(ControlError, pattern):
                    controls.update(knobs)
        self.assertEqual(controls.get("delay_ms"), 5)

    def test_update_keeps_rule_counters_unless_the_rules_change(self):
        rules = [{"command": "X", "reply": "400 once", "times": 1}]
        controls = Controls({"rules": rules})
        self.assertIsNotNone(controls.match(1, "X"))
        controls.update({"delay_ms": 1})
        self.assertIsNone(controls.match(1, "X"))
        controls.update({"rules": rules})
        self.assertIsNotNone(controls.match(1, "x now"))

    def test_control_file_is_reloaded_when_it_changes(self):
        path = os.path.join(tempfile.mkdtemp(), "controls.json")
        self.addCleanup(shutil.rmtree, os.path.dirname(path), True)

        def write(text):
            with open(path + ".new", "w") as file:
                file.write(text)
            os.replace(path + ".new", path)

        write(json.dumps({"delay_ms": 10}))
        controls = Controls({"greeting": "201 x"})
        watcher = ControlFile(path, controls)
        self.assertEqual((controls.get("delay_ms"), controls.greeting()), (10, "201 x"))
        write(json.dumps({"drop_after_commands": 3}))
        watcher.check()
        self.assertEqual((controls.get("delay_ms"), controls.get("drop_after_commands")), (0, 3))
        write("{not json")
        with self.assertRaises(ControlError):
            watcher.check()
        self.assertEqual(controls.get("drop_after_commands"), 3)

    def test_control_port_set_get_state_reset(self):
        server = RunningServer(self)
        control = socket.create_connection(("127.0.0.1", server.server.open_control_port()), 5)
        self.addCleanup(control.close)
        reader = control.makefile("rb")

        def ask(line):
            control.sendall(line.encode() + b"\n")
            return reader.readline().decode().rstrip("\n")

        self.assertEqual(ask('SET {"rules": [{"command": "GROUP", "reply": "411 nope"}]}'), "OK")
        client = server.connect()
        self.assertEqual(client.command("GROUP test.one"), "411 nope")
        self.assertEqual(json.loads(ask("GET")[3:])["rules"][0]["reply"], "411 nope")
        self.assertEqual(json.loads(ask("STATE")[3:]),
                         {"connections": 1, "commands": [[1, "GROUP test.one"]]})
        self.assertEqual(ask("RESET"), "OK")
        self.assertEqual(client.command("GROUP test.one"), "211 3 1 3 test.one")
        self.assertRegex(ask('SET {"delay_ms": "x"}'), r"^ERR delay_ms must be int")
        self.assertRegex(ask("SET {broken"), r"^ERR ")
        self.assertRegex(ask("FLY"), r"^ERR unknown control command")


class SpoolAndWireTest(unittest.TestCase):
    def make(self, groups_text, articles=None):
        root = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, root, True)
        with open(os.path.join(root, "groups"), "w") as file:
            file.write(groups_text)
        for path, data in (articles or {}).items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "wb") as file:
                file.write(data)
        return root

    def test_bad_spools_name_the_fault(self):
        ok_group = "g y 2024-01-01T00:00:00Z d\n"
        cases = [
            ("g y\n", {}, r"groups:1: expected"),
            ("# c\n\ng y 2024-13-01T00:00:00Z\n", {}, r"groups:3: "),
            (ok_group, {"g/1": b"Subject: x\n\nbody\n"}, r"g/1: no Message-ID"),
            (ok_group, {"g/1": b"Subject x\n\nbody\n"}, r"g/1: not a header line"),
            (ok_group, {"g/notes": article("<a@b>")}, r"g/notes: not an article number"),
        ]
        for groups_text, articles, pattern in cases:
            with self.subTest(pattern):
                with self.assertRaisesRegex(SpoolError, pattern):
                    Spool(self.make(groups_text, articles))
        with self.assertRaisesRegex(SpoolError, r"groups: "):
            Spool(os.path.join(self.make(""), "nowhere"))

    def test_lf_and_crlf_articles_and_gaps_in_numbers(self):
        root = self.make("g y 2024-01-01T00:00:00Z\n", {
            "g/2": b"Message-ID: <two@x>\nSubject: two\n\nbody\n", "g/7": article("<seven@x>")})
        group = Spool(root).groups["g"]
        self.assertEqual(group.watermarks(), (2, 2, 7))
        self.assertEqual(group.articles[2].lines(),
                         [b"Message-ID: <two@x>", b"Subject: two", b"", b"body"])

    def test_wildmat(self):
        cases = [("*", "a.b", True), ("a.*", "a.b", True), ("a.*", "b.a", False),
                 ("a.*,!a.b", "a.b", False), ("a.*,!a.b,a.b", "a.b", True), ("!a.*", "b", False),
                 ("a.[^b]", "a.c", True), ("a.[^b]", "a.b", False),
                 ("comp.lang.c++.*", "comp.lang.c++.demo", True), ("a.?", "a.bc", False)]
        for pattern, name, expected in cases:
            self.assertEqual(Wildmat(pattern).matches(name), expected, (pattern, name))

    def test_two_digit_years_never_lie_in_the_future(self):
        now = wire.parse_since("20260615", "000000", "GMT")
        for date, year in [("260101", 2026), ("261231", 2026), ("270101", 1927),
                           ("991205", 1999), ("000101", 2000)]:
            since = wire.parse_since(date, "000000", "GMT", now=now)
            self.assertEqual(wire.time.gmtime(since).tm_year, year, date)

    def test_data_block(self):
        self.assertEqual(wire.data_block([b".", b"a", b""]), b"..\r\na\r\n\r\n.\r\n")
        self.assertEqual(wire.split_lines(b"a\r\nb\nc"), [b"a", b"b", b"c"])


SERVER = os.path.join(TOOLS, "fixture_news_server.py")
DEMO = os.path.join(TOOLS, "demo-news")


class ProcessAndDemoTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder, True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def start(self, *arguments):
        process = subprocess.Popen([sys.executable, SERVER, *arguments], stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        self.addCleanup(lambda: (process.poll() is None and process.kill(), process.wait(),
                                 process.stdout.close(), process.stderr.close()))
        return process

    def write_controls(self, knobs):
        with open(self.path("controls.new"), "w") as file:
            json.dump(knobs, file)
        os.replace(self.path("controls.new"), self.path("controls.json"))

    def test_port_pid_log_control_file_and_sigterm(self):
        self.write_controls({})
        process = self.start("--spool", DEMO, "--volatile", "--port", "0",
                             "--pid-file", self.path("pid"), "--log", self.path("log"),
                             "--controls", self.path("controls.json"),
                             "--user", "tester:secret", "--greeting", "201 demo")
        first = process.stdout.readline().split()
        self.assertEqual(first[0], "PORT")
        with open(self.path("pid")) as file:
            self.assertEqual(int(file.read()), process.pid)
        client = Client(int(first[1]))
        self.assertEqual(client.greeting, "201 demo")
        self.assertEqual(client.command("AUTHINFO USER tester"), "381 Enter password")
        self.assertEqual(client.command("AUTHINFO PASS wrong"), "481 Authentication failed")
        self.write_controls({"rules": [{"command": "GROUP", "reply": "480 log in first"}]})
        self.assertEqual(client.command("GROUP kestrova.demo.talk"), "480 log in first")
        client.close()
        process.send_signal(signal.SIGTERM)
        self.assertEqual(process.wait(timeout=10), 0)
        self.assertFalse(os.path.exists(self.path("pid")))
        with open(self.path("log")) as file:
            log = file.read().splitlines()
        self.assertEqual([line for line in log if " C: " in line],
                         ["#1 C: AUTHINFO USER tester", "#1 C: AUTHINFO PASS wrong",
                          "#1 C: GROUP kestrova.demo.talk"])
        self.assertIn("#1 S: 480 log in first", log)

    def test_unusable_spool_is_reported(self):
        process = self.start("--spool", self.path("missing"))
        self.assertEqual(process.wait(timeout=10), 2)
        self.assertIn("missing/groups", process.stderr.read())

    def test_demo_data_matches_its_generator(self):
        subprocess.run([sys.executable, os.path.join(TOOLS, "make_demo_news.py"), self.folder],
                       check=True)
        pending = [filecmp.dircmp(self.folder, DEMO)]
        while pending:
            current = pending.pop()
            self.assertEqual((current.left_only, current.right_only, current.diff_files),
                             ([], [], []), current.left)
            pending.extend(current.subdirs.values())

    def test_demo_groups_and_koi8_articles(self):
        spool = Spool(DEMO)
        counts = {name: group.watermarks()[0] for name, group in spool.groups.items()}
        self.assertEqual(counts.pop("kestrova.demo.empty"), 0)
        self.assertTrue(all(10 <= count <= 40 for count in counts.values()), counts)
        self.assertEqual({group.flag for group in spool.groups.values()}, {"y", "m", "n"})
        headers = [dict(parse_headers(split_article(article.lines())[0]))
                   for group in spool.groups.values() for article in group.articles.values()]
        koi8 = [h for h in headers if "koi8-r" in h.get("Content-Type", "")]
        self.assertEqual({h[name][9] for h in koi8 for name in ("Subject", "From")}, {"B", "Q"})
        self.assertTrue(all(re.match(r"^=\?koi8-r\?[BQ]\?", h[name])
                            for h in koi8 for name in ("Subject", "From")))
        self.assertGreater(sum("References" in h for h in headers), 30)


if __name__ == "__main__":
    unittest.main()
