"""Reply codes and formats of the fixture server's commands, posting and time filtering."""

import os
import shutil
import tempfile
import unittest

from fixture_harness import RunningServer, article

from newsfixture import wire
from newsfixture.spool import Spool, SpoolError
from newsfixture.wildmat import Wildmat


class GroupAndListTest(unittest.TestCase):
    def setUp(self):
        self.server = RunningServer(self)
        self.client = self.server.connect()

    def test_greeting_allows_posting(self):
        self.assertEqual(self.client.greeting[:4], "200 ")

    def test_group_replies(self):
        cases = [
            ("GROUP test.one", "211 3 1 3 test.one"),
            ("GROUP test.moderated", "211 0 1 0 test.moderated"),
            ("GROUP no.such", "411 No such group no.such"),
            ("GROUP", "501 Syntax error"),
        ]
        for command, expected in cases:
            with self.subTest(command):
                self.assertEqual(self.client.command(command), expected)

    def test_list_active_pads_numbers_and_keeps_flags(self):
        for command in ("LIST", "LIST ACTIVE", "list active"):
            with self.subTest(command):
                self.assertEqual(self.client.command(command)[:4], "215 ")
                self.assertEqual(self.client.block(), [
                    "test.one 0000000003 0000000001 y",
                    "test.moderated 0000000000 0000000001 m",
                    "test.readonly 0000000001 0000000001 n",
                    "other.group 0000000001 0000000001 y",
                ])

    def test_list_with_pattern_and_descriptions(self):
        self.assertEqual(self.client.command("LIST ACTIVE test.*,!*.readonly")[:4], "215 ")
        self.assertEqual([line.split()[0] for line in self.client.block()],
                         ["test.one", "test.moderated"])
        self.assertEqual(self.client.command("LIST NEWSGROUPS other.*")[:4], "215 ")
        self.assertEqual(self.client.block(), ["other.group\tGroup other.group"])
        self.assertEqual(self.client.command("LIST OVERVIEW.FMT"), "501 Syntax error")

    def test_newgroups_filters_by_creation_time(self):
        cases = [
            ("NEWGROUPS 240201 000000 GMT", ["test.moderated", "test.readonly", "other.group"]),
            ("NEWGROUPS 20240301 123000 GMT", ["test.readonly", "other.group"]),
            ("NEWGROUPS 20240301 123001 GMT", ["other.group"]),
            ("NEWGROUPS 991231 235959 GMT", list(self.server.spool.groups)),
            ("NEWGROUPS 20250101 000000 GMT", []),
        ]
        for command, expected in cases:
            with self.subTest(command):
                self.assertEqual(self.client.command(command), "231 New newsgroups follow")
                self.assertEqual([line.split()[0] for line in self.client.block()], expected)

    def test_newgroups_lines_are_not_padded(self):
        self.client.command("NEWGROUPS 20240301 000000 GMT")
        self.assertEqual(self.client.block(),
                         ["test.readonly 1 1 n", "other.group 1 1 y"])

    def test_bad_dates_are_syntax_errors(self):
        for command in ("NEWGROUPS 2403 000000 GMT", "NEWGROUPS 240301 0000 GMT",
                        "NEWGROUPS 241301 000000 GMT", "NEWGROUPS 240301 000000 UTC",
                        "NEWNEWS * 240301", "NEWNEWS * x 000000 GMT"):
            with self.subTest(command):
                self.assertEqual(self.client.command(command), "501 Syntax error")


class ArticleCommandsTest(unittest.TestCase):
    def setUp(self):
        self.server = RunningServer(self)
        self.client = self.server.connect()

    def test_selection_replies(self):
        cases = [
            # (group entered first, command, expected status line)
            (None, "HEAD 1", "412 No newsgroup selected"),
            (None, "NEXT", "412 No newsgroup selected"),
            (None, "HEAD <a2@test>", "221 0 <a2@test> head"),
            (None, "STAT <nope@test>", "430 No such article"),
            ("test.one", "HEAD", "221 1 <a1@test> head"),
            ("test.one", "BODY 2", "222 2 <a2@test> body"),
            ("test.one", "ARTICLE 3", "220 3 <a3@test> article"),
            ("test.one", "STAT 3", "223 3 <a3@test> status"),
            ("test.one", "HEAD 9", "423 No such article number 9"),
            ("test.one", "HEAD one", "501 Syntax error"),
            ("test.moderated", "HEAD", "420 No current article selected"),
            ("test.moderated", "NEXT", "420 No current article selected"),
            ("test.moderated", "LAST", "420 No current article selected"),
        ]
        for group, command, expected in cases:
            with self.subTest(command=command, group=group):
                client = self.server.connect()
                if group:
                    client.command(f"GROUP {group}")
                status = client.command(command)
                self.assertEqual(status, expected)
                if status[:3] in ("220", "221", "222"):
                    client.block()

    def test_head_body_and_article_split_at_the_empty_line(self):
        self.client.command("GROUP test.one")
        self.client.command("HEAD 1")
        head = self.client.block()
        self.client.command("BODY 1")
        body = self.client.block()
        self.client.command("ARTICLE 1")
        self.assertEqual(self.client.block(), head + [""] + body)
        self.assertIn("Message-ID: <a1@test>", head)
        self.assertEqual(body, ["Hello."])

    def test_data_lines_are_dot_stuffed_and_digit_lines_pass_through(self):
        self.client.command("GROUP test.one")
        self.client.command("BODY 2")
        self.assertEqual(self.client.block(),
                         ["..", "..leading dot", "...two dots", "200 looks like a status", "end"])

    def test_next_walks_the_group_and_last_walks_back(self):
        self.client.command("GROUP test.one")
        walked = [self.client.command("HEAD").split()[1]]
        self.client.block()
        while True:
            status = self.client.command("NEXT")
            if status.startswith("421"):
                break
            self.assertRegex(status, r"^223 \d+ <\S+> ")
            walked.append(status.split()[1])
        self.assertEqual(walked, ["1", "2", "3"])
        self.assertEqual(self.client.command("NEXT"), "421 No next article in this group")
        self.assertEqual(self.client.command("LAST").split()[:3], ["223", "2", "<a2@test>"])
        self.assertEqual(self.client.command("LAST").split()[:2], ["223", "1"])
        self.assertEqual(self.client.command("LAST"), "422 No previous article in this group")

    def test_selecting_by_number_moves_the_current_article_but_by_id_does_not(self):
        self.client.command("GROUP test.one")
        self.client.command("STAT 2")
        self.client.command("STAT <a3@test>")
        self.assertEqual(self.client.command("NEXT").split()[1], "3")

    def test_newnews_filters_by_arrival_and_pattern(self):
        cases = [
            ("NEWNEWS * 240102 000000 GMT", ["<a2@test>", "<a3@test>", "<r1@test>", "<o1@test>"]),
            ("NEWNEWS test.one 20240103 100000 GMT", ["<a3@test>"]),
            ("NEWNEWS *,!test.* 240301 000000 GMT", ["<o1@test>"]),
            # other.group's article is dated January but arrived (Injection-Date) in April.
            ("NEWNEWS other.group 20240315 000000 GMT", ["<o1@test>"]),
            ("NEWNEWS * 20240402 000000 GMT", []),
        ]
        for command, expected in cases:
            with self.subTest(command):
                self.assertEqual(self.client.command(command), "230 New news follows")
                self.assertEqual(self.client.block(), expected)

    def test_other_commands(self):
        cases = [
            ("MODE READER", r"^200 "),
            ("MODE STREAM", r"^501 "),
            ("DATE", r"^111 \d{14}$"),
            ("XYZZY", r"^500 Unknown command$"),
            ("", r"^500 "),
        ]
        for command, pattern in cases:
            with self.subTest(command):
                self.assertRegex(self.client.command(command), pattern)
        self.assertEqual(self.client.command("QUIT"), "205 Bye")
        self.assertEqual(self.client.rest(), b"")


class PostTest(unittest.TestCase):
    def post(self, client, lines):
        self.assertEqual(client.command("POST")[:4], "340 ")
        for line in lines:
            client.send(wire.stuff(line.encode("latin-1")).decode("latin-1"))
        return client.command(".")

    def test_round_trip_keeps_dotted_lines_and_fills_missing_headers(self):
        server = RunningServer(self)
        client = server.connect()
        body = [".", ".leading", "..two", "...", "300 digits", "", "last"]
        status = self.post(client, ["From: a@b.test", "Subject: Dots", "Newsgroups: test.one",
                                    ""] + body)
        self.assertRegex(status, r"^240 Article received <[^>]+>$")
        message_id = status.split()[-1]
        self.assertEqual(client.command(f"BODY {message_id}"), f"222 0 {message_id} body")
        sent = client.block()
        self.assertEqual([wire.unstuff(line.encode()).decode() for line in sent], body)
        self.assertEqual(sent[:3], ["..", "..leading", "...two"])
        client.command(f"HEAD {message_id}")
        names = [line.split(":")[0] for line in client.block()]
        for name in ("Path", "Message-ID", "Date", "Injection-Date", "Xref"):
            self.assertIn(name, names)
        self.assertEqual(client.command("GROUP test.one"), "211 4 1 4 test.one")
        with open(os.path.join(server.root, "test.one", "4"), "rb") as file:
            self.assertIn(b"\r\n.\r\n.leading\r\n..two\r\n...\r\n", file.read())

    def test_posted_article_is_new_news_although_its_date_is_old(self):
        server = RunningServer(self)
        client = server.connect()
        status = self.post(client, ["From: a@b.test", "Subject: Old", "Newsgroups: other.group",
                                    "Message-ID: <old@test>", "Date: Sat, 01 Jan 2000 00:00:00 GMT",
                                    "", "text"])
        self.assertEqual(status, "240 Article received <old@test>")
        client.command("DATE")
        client.command("NEWNEWS other.group 20240501 000000 GMT")
        self.assertEqual(client.block(), ["<old@test>"])

    def test_crosspost_is_numbered_in_each_group(self):
        server = RunningServer(self, volatile=True)
        client = server.connect()
        self.post(client, ["From: a@b.test", "Subject: Both", "Newsgroups: test.one, other.group",
                           "", "text"])
        self.assertEqual(client.command("GROUP other.group"), "211 2 1 2 other.group")
        client.command("HEAD 2")
        self.assertIn("Xref: fixture.invalid test.one:4 other.group:2", client.block())
        self.assertFalse(os.path.exists(os.path.join(server.root, "test.one", "4")))

    def test_refusals(self):
        good = {"From": "a@b.test", "Subject": "S", "Newsgroups": "test.one"}
        cases = [
            ({"From": None}, ["body"], "441 Missing required From header field"),
            ({"Subject": None}, ["body"], "441 Missing required Subject header field"),
            ({"Newsgroups": "no.such"}, ["body"], '441 No valid newsgroups in "no.such"'),
            ({"Newsgroups": "test.one,test.readonly"}, ["body"],
             '441 Postings to "test.readonly" are not allowed here'),
            ({"Message-ID": "<a1@test>"}, ["body"], "441 435 Duplicate"),
            ({}, [], "441 Article is empty"),
        ]
        server = RunningServer(self)
        for changes, body, expected in cases:
            with self.subTest(expected):
                headers = dict(good, **changes)
                lines = [f"{k}: {v}" for k, v in headers.items() if v is not None]
                self.assertEqual(self.post(server.connect(), lines + [""] + body), expected)
        self.assertEqual(server.connect().command("GROUP test.one"), "211 3 1 3 test.one")

    def test_malformed_header_is_refused(self):
        server = RunningServer(self)
        status = self.post(server.connect(), ["From: a@b.test", "no colon here", "", "body"])
        self.assertRegex(status, r"^441 Malformed header")

    def test_moderated_group_without_approval_goes_to_the_moderator(self):
        server = RunningServer(self)
        client = server.connect()
        headers = ["From: a@b.test", "Subject: S", "Newsgroups: test.moderated"]
        self.assertRegex(self.post(client, headers + ["", "body"]), r"\(mailed to moderator\)$")
        self.assertEqual(client.command("GROUP test.moderated"), "211 0 1 0 test.moderated")
        self.assertRegex(self.post(client, headers + ["Approved: mod@test", "", "body"]),
                         r"^240 Article received <[^>]+>$")
        self.assertEqual(client.command("GROUP test.moderated"), "211 1 1 1 test.moderated")

    def test_stored_post_is_served_after_a_restart(self):
        server = RunningServer(self)
        self.post(server.connect(), ["From: a@b.test", "Subject: Kept",
                                     "Newsgroups: test.one", "Message-ID: <kept@test>", "", "x"])
        reloaded = Spool(server.root)
        self.assertEqual(reloaded.find("<kept@test>").number, 4)


class SpoolTest(unittest.TestCase):
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

    def test_missing_groups_file(self):
        with self.assertRaisesRegex(SpoolError, r"groups: "):
            Spool(os.path.join(self.make(""), "nowhere"))

    def test_lf_and_crlf_articles_and_gaps_in_numbers(self):
        root = self.make("g y 2024-01-01T00:00:00Z\n", {
            "g/2": b"Message-ID: <two@x>\nSubject: two\n\nbody\n",
            "g/7": article("<seven@x>"),
        })
        group = Spool(root).groups["g"]
        self.assertEqual(group.watermarks(), (2, 2, 7))
        self.assertEqual(group.articles[2].lines(),
                         [b"Message-ID: <two@x>", b"Subject: two", b"", b"body"])


class WireTest(unittest.TestCase):
    def test_wildmat(self):
        cases = [
            ("*", "a.b", True),
            ("a.*", "a.b", True),
            ("a.*", "b.a", False),
            ("a.*,!a.b", "a.b", False),
            ("a.*,!a.b,a.b", "a.b", True),
            ("!a.*", "b", False),
            ("a.[^b]", "a.c", True),
            ("a.[^b]", "a.b", False),
            ("comp.lang.c++.*", "comp.lang.c++.demo", True),
            ("a.?", "a.bc", False),
        ]
        for pattern, name, expected in cases:
            with self.subTest(pattern=pattern, name=name):
                self.assertEqual(Wildmat(pattern).matches(name), expected)

    def test_two_digit_years_never_lie_in_the_future(self):
        now = wire.parse_since("20260615", "000000", "GMT")
        cases = [("260101", 2026), ("261231", 2026), ("270101", 1927), ("991205", 1999), ("000101", 2000)]
        for date, year in cases:
            with self.subTest(date):
                since = wire.parse_since(date, "000000", "GMT", now=now)
                self.assertEqual(wire.time.gmtime(since).tm_year, year)

    def test_data_block(self):
        self.assertEqual(wire.data_block([b".", b"a", b""]), b"..\r\na\r\n\r\n.\r\n")
        self.assertEqual(wire.split_lines(b"a\r\nb\nc"), [b"a", b"b", b"c"])


if __name__ == "__main__":
    unittest.main()
