"""The fixture server as tests start it: a process that prints its port, writes its PID and log,
follows its control file and stops on SIGTERM; and the committed demo spool."""

import filecmp
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

from fixture_harness import TOOLS, Client

from newsfixture.spool import Spool, parse_headers, split_article

SERVER = os.path.join(TOOLS, "fixture_news_server.py")
DEMO = os.path.join(TOOLS, "demo-news")


class ServerProcessTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.folder, True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def start(self, *arguments):
        process = subprocess.Popen([sys.executable, SERVER, *arguments], stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, text=True)
        self.addCleanup(self._stop, process)
        return process

    @staticmethod
    def _stop(process):
        if process.poll() is None:
            process.kill()
        process.wait()
        process.stdout.close()
        process.stderr.close()

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


class DemoSpoolTest(unittest.TestCase):
    def test_demo_data_matches_its_generator(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder, True)
        subprocess.run([sys.executable, os.path.join(TOOLS, "make_demo_news.py"), folder],
                       check=True)
        comparison = filecmp.dircmp(folder, DEMO)
        pending = [comparison]
        while pending:
            current = pending.pop()
            self.assertEqual((current.left_only, current.right_only, current.diff_files),
                             ([], [], []), current.left)
            pending.extend(current.subdirs.values())

    def test_demo_groups_and_koi8_articles(self):
        spool = Spool(DEMO)
        counts = {name: group.watermarks()[0] for name, group in spool.groups.items()}
        self.assertEqual(counts["kestrova.demo.empty"], 0)
        self.assertTrue(all(10 <= count <= 40 for name, count in counts.items()
                            if name != "kestrova.demo.empty"), counts)
        self.assertEqual({group.flag for group in spool.groups.values()}, {"y", "m", "n"})
        koi8 = spool.groups["kestrova.demo.koi8"]
        encodings = set()
        for number in koi8.numbers():
            headers = dict(parse_headers(split_article(koi8.articles[number].lines())[0]))
            if "koi8-r" in headers["Content-Type"]:
                for name in ("Subject", "From"):
                    self.assertRegex(headers[name], r"^=\?koi8-r\?[BQ]\?")
                    encodings.add(headers[name][9])
        self.assertEqual(encodings, {"B", "Q"})
        threads = [article for group in spool.groups.values()
                   for article in group.articles.values()
                   if "References" in dict(parse_headers(split_article(article.lines())[0]))]
        self.assertGreater(len(threads), 30)


if __name__ == "__main__":
    unittest.main()
