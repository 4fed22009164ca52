"""The per-test knobs of the fixture server: login, delays, drops, refusals and malformed replies."""

import json
import os
import socket
import tempfile
import time
import unittest

from fixture_harness import RunningServer

from newsfixture.controls import ControlError, ControlFile, Controls


class AuthinfoTest(unittest.TestCase):
    def setUp(self):
        self.server = RunningServer(self, knobs={
            "users": {"tester": "secret", "nopass": ""}, "require_auth": True})

    def test_login_sequences(self):
        cases = [
            ("right password", [("GROUP test.one", "480 Authentication required for command"),
                                ("AUTHINFO USER tester", "381 Enter password"),
                                ("AUTHINFO PASS secret", "281 Authentication accepted"),
                                ("GROUP test.one", "211 3 1 3 test.one"),
                                ("AUTHINFO USER tester", "502 Already authenticated")]),
            ("wrong password", [("AUTHINFO USER tester", "381 Enter password"),
                                ("AUTHINFO PASS wrong", "481 Authentication failed"),
                                ("GROUP test.one", "480 Authentication required for command"),
                                ("AUTHINFO PASS secret",
                                 "482 Authentication commands issued out of sequence")]),
            ("unknown user", [("AUTHINFO USER nobody", "381 Enter password"),
                              ("AUTHINFO PASS secret", "481 Authentication failed")]),
            ("pass before user", [("AUTHINFO PASS secret",
                                   "482 Authentication commands issued out of sequence")]),
            ("user without password", [("AUTHINFO USER nopass", "281 Authentication accepted"),
                                       ("LIST", "215 Newsgroups in form \"group high low status\"")]),
            ("allowed before login", [("MODE READER", "200 Posting allowed"),
                                      ("AUTHINFO", "501 Syntax error"),
                                      ("QUIT", "205 Bye")]),
        ]
        for name, exchange in cases:
            with self.subTest(name):
                client = self.server.connect()
                for command, expected in exchange:
                    self.assertEqual(client.command(command), expected, command)

    def test_login_required_for_chosen_commands_only(self):
        server = RunningServer(self, knobs={"users": {"tester": "secret"},
                                            "require_auth": ["group"]})
        client = server.connect()
        self.assertEqual(client.command("LIST")[:3], "215")
        client.block()
        self.assertEqual(client.command("GROUP test.one"), "480 Authentication required for command")
        client.command("AUTHINFO USER tester")
        client.command("AUTHINFO PASS secret")
        self.assertEqual(client.command("GROUP test.one"), "211 3 1 3 test.one")

    def test_without_accounts_any_login_is_accepted(self):
        server = RunningServer(self)
        client = server.connect()
        self.assertEqual(client.command("AUTHINFO USER anyone"), "381 Enter password")
        self.assertEqual(client.command("AUTHINFO PASS any thing"), "281 Authentication accepted")


class GreetingTest(unittest.TestCase):
    def test_201_forbids_posting(self):
        server = RunningServer(self, knobs={"greeting": "201 reader only"})
        client = server.connect()
        self.assertEqual(client.greeting, "201 reader only")
        self.assertEqual(client.command("MODE READER"), "201 Posting prohibited")
        self.assertEqual(client.command("POST"), "440 Posting not allowed")

    def test_posting_knob_overrides_the_greeting(self):
        server = RunningServer(self, knobs={"posting": False})
        client = server.connect()
        self.assertEqual(client.greeting[:4], "200 ")
        self.assertEqual(client.command("POST"), "440 Posting not allowed")

    def test_refusing_greetings_close_the_connection(self):
        for greeting in ("400 too busy", "502 go away"):
            with self.subTest(greeting):
                client = RunningServer(self, knobs={"greeting": greeting}).connect()
                self.assertEqual(client.greeting, greeting)
                self.assertEqual(client.rest(), b"")


class DelayTest(unittest.TestCase):
    def elapsed(self, client, command):
        start = time.monotonic()
        client.command(command)
        return time.monotonic() - start

    def test_every_reply_is_delayed(self):
        start = time.monotonic()
        client = RunningServer(self, knobs={"delay_ms": 150}).connect()
        self.assertGreaterEqual(time.monotonic() - start, 0.15)
        self.assertGreaterEqual(self.elapsed(client, "DATE"), 0.15)

    def test_a_rule_delays_only_its_command(self):
        server = RunningServer(self, knobs={"rules": [{"command": "GROUP", "delay_ms": 300}]})
        client = server.connect()
        self.assertGreaterEqual(self.elapsed(client, "GROUP test.one"), 0.3)
        self.assertLess(self.elapsed(client, "DATE"), 0.3)


class DropTest(unittest.TestCase):
    def test_drop_after_bytes_cuts_the_stream_exactly(self):
        server = RunningServer(self, knobs={"drop_after_bytes": 60})
        client = server.connect()
        client.send("GROUP test.one")
        received = (client.greeting + "\r\n").encode() + client.rest()
        self.assertEqual(len(received), 60)
        self.assertTrue(received.startswith(b"200 "))

    def test_drop_after_commands_answers_them_first(self):
        server = RunningServer(self, knobs={"drop_after_commands": 2})
        client = server.connect()
        self.assertEqual(client.command("GROUP test.one")[:4], "211 ")
        self.assertEqual(client.command("HEAD 1")[:4], "221 ")
        client.block()
        self.assertEqual(client.rest(), b"")

    def test_drops_apply_to_chosen_connections_only(self):
        server = RunningServer(self, knobs={"drop_after_commands": 1, "drop_connections": [1]})
        first = server.connect()
        first.command("DATE")
        self.assertEqual(first.rest(), b"")
        second = server.connect()
        self.assertEqual(second.command("DATE")[:4], "111 ")
        self.assertEqual(second.command("GROUP test.one")[:4], "211 ")

    def test_rule_drops_in_the_middle_of_a_data_block(self):
        server = RunningServer(self, knobs={"rules": [{"command": "LIST", "drop_after_bytes": 70}]})
        client = server.connect()
        client.send("LIST")
        self.assertEqual(len(client.rest()), 70)

    def test_rule_drops_instead_of_answering(self):
        server = RunningServer(self, knobs={"rules": [
            {"command": "NEXT", "drop": True, "connection": 1}]})
        first = server.connect()
        first.command("GROUP test.one")
        first.send("NEXT")
        self.assertEqual(first.rest(), b"")
        second = server.connect()
        second.command("GROUP test.one")
        self.assertEqual(second.command("NEXT")[:4], "223 ")
        self.assertEqual(server.commands(), ["GROUP test.one", "NEXT", "GROUP test.one", "NEXT"])


class RuleTest(unittest.TestCase):
    def test_refusals_and_their_counters(self):
        cases = [
            ("always", {"command": "GROUP", "reply": "502 no groups for you"},
             ["502 no groups for you", "502 no groups for you"]),
            ("times", {"command": "GROUP", "reply": "400 busy", "times": 1},
             ["400 busy", "211 3 1 3 test.one"]),
            ("nth", {"command": "GROUP", "reply": "411 gone", "nth": 2},
             ["211 3 1 3 test.one", "411 gone", "211 3 1 3 test.one"]),
            ("args", {"command": "GROUP", "args": r"other\..*", "reply": "411 gone"},
             ["211 3 1 3 test.one"]),
            ("two-word command", {"command": "authinfo pass", "reply": "481 no"},
             ["211 3 1 3 test.one"]),
        ]
        for name, rule, expected in cases:
            with self.subTest(name):
                client = RunningServer(self, knobs={"rules": [rule]}).connect()
                self.assertEqual([client.command("GROUP test.one") for _ in expected], expected)

    def test_first_matching_rule_wins_and_counters_are_server_wide(self):
        server = RunningServer(self, knobs={"rules": [
            {"command": "DATE", "reply": "400 first", "times": 1},
            {"command": "DATE", "reply": "400 second", "times": 1},
        ]})
        self.assertEqual(server.connect().command("DATE"), "400 first")
        self.assertEqual(server.connect().command("DATE"), "400 second")
        self.assertEqual(server.connect().command("DATE")[:4], "111 ")

    def test_malformed_lines_before_the_real_reply(self):
        server = RunningServer(self, knobs={"rules": [
            {"command": "GROUP", "before": ["hello there", "99 not a status either"]}]})
        client = server.connect()
        client.send("GROUP test.one")
        self.assertEqual([client.line() for _ in range(3)],
                         ["hello there", "99 not a status either", "211 3 1 3 test.one"])

    def test_canned_multi_line_reply_is_dot_stuffed(self):
        server = RunningServer(self, knobs={"rules": [
            {"command": "HEAD", "reply": "221 5 <x@y> head",
             "data": ["Subject: canned", "211 1 1 1 looks like a status", ".hidden"]}]})
        client = server.connect()
        self.assertEqual(client.command("HEAD 5"), "221 5 <x@y> head")
        self.assertEqual(client.block(),
                         ["Subject: canned", "211 1 1 1 looks like a status", "..hidden"])

    def test_raw_bytes_and_close_after(self):
        server = RunningServer(self, knobs={"rules": [
            {"command": "DATE", "raw": "111 20240101000000\nbare line", "close_after": True}]})
        client = server.connect()
        client.send("DATE")
        self.assertEqual(client.rest(), b"111 20240101000000\nbare line")


class ControlsValidationTest(unittest.TestCase):
    def test_bad_knobs_are_named(self):
        cases = [
            ({"dely_ms": 5}, r"unknown knob 'dely_ms'"),
            ({"delay_ms": "5"}, r"delay_ms must be int"),
            ({"require_auth": 1}, r"require_auth must be bool or list"),
            ({"delay_ms": True}, r"delay_ms must be int"),
            ({"rules": [{"reply": "500 x"}]}, r"rules\[0\]: a rule needs a command"),
            ({"rules": [{"command": "X", "repyl": "500"}]}, r"unknown field 'repyl'"),
            ({"rules": [{"command": "X", "args": "("}]}, r"rules\[0\].args"),
            ({"users": {"u": 5}}, r"users.u must be str"),
        ]
        for knobs, pattern in cases:
            with self.subTest(pattern):
                with self.assertRaisesRegex(ControlError, pattern):
                    Controls(knobs)

    def test_failed_update_keeps_the_knobs(self):
        controls = Controls({"delay_ms": 5})
        with self.assertRaises(ControlError):
            controls.update({"delay_ms": 7, "bogus": 1})
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
        folder = tempfile.mkdtemp()
        path = os.path.join(folder, "controls.json")

        def write(knobs):
            with open(path + ".new", "w") as file:
                json.dump(knobs, file)
            os.replace(path + ".new", path)

        write({"delay_ms": 10})
        controls = Controls({"greeting": "201 x"})
        watcher = ControlFile(path, controls)
        self.assertEqual((controls.get("delay_ms"), controls.greeting()), (10, "201 x"))
        write({"drop_after_commands": 3})
        watcher.check()
        self.assertEqual((controls.get("delay_ms"), controls.get("drop_after_commands")), (0, 3))
        with open(path + ".new", "w") as file:
            file.write("{not json")
        os.replace(path + ".new", path)
        with self.assertRaises(ControlError):
            watcher.check()
        self.assertEqual(controls.get("drop_after_commands"), 3)


class ControlPortTest(unittest.TestCase):
    def test_set_get_state_reset(self):
        server = RunningServer(self)
        port = server.server.open_control_port()
        control = socket.create_connection(("127.0.0.1", port), timeout=5)
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


if __name__ == "__main__":
    unittest.main()
