"""Shared pieces of the fixture server tests: spools in temporary folders, an in-process server
and a minimal client that shows the bytes exactly as the server sent them."""

import os
import shutil
import socket
import sys
import tempfile
import threading

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, os.path.abspath(TOOLS))

from newsfixture.controls import Controls  # noqa: E402
from newsfixture.exchange_log import ExchangeLog  # noqa: E402
from newsfixture.server import NewsServer  # noqa: E402
from newsfixture.spool import Spool  # noqa: E402


def article(message_id, subject="Test", date="Tue, 05 Mar 2024 10:00:00 +0000", body=("Hello.",),
            extra=()):
    lines = ["From: Tester <tester@example.test>", f"Subject: {subject}", f"Date: {date}",
             f"Message-ID: {message_id}", *extra, ""]
    return ("\r\n".join(lines + list(body)) + "\r\n").encode("latin-1")


def write_spool(root, groups):
    """groups: {name: (flag, created, [article bytes, ...])}; articles are numbered from 1."""
    with open(os.path.join(root, "groups"), "w", encoding="utf-8") as file:
        for name, (flag, created, _) in groups.items():
            file.write(f"{name} {flag} {created} Group {name}\n")
    for name, (_, _, articles) in groups.items():
        if articles:
            os.makedirs(os.path.join(root, name))
        for number, data in enumerate(articles, 1):
            with open(os.path.join(root, name, str(number)), "wb") as file:
                file.write(data)


STANDARD_GROUPS = {
    "test.one": ("y", "2024-01-01T00:00:00Z", [
        article("<a1@test>", "First", "Mon, 01 Jan 2024 10:00:00 +0000"),
        article("<a2@test>", "Second", "Tue, 02 Jan 2024 10:00:00 +0000",
                body=(".", ".leading dot", "..two dots", "200 looks like a status", "end")),
        article("<a3@test>", "Third", "Wed, 03 Jan 2024 10:00:00 +0000"),
    ]),
    "test.moderated": ("m", "2024-02-01T00:00:00Z", []),
    "test.readonly": ("n", "2024-03-01T12:30:00Z", [
        article("<r1@test>", "Old", "Fri, 01 Mar 2024 00:00:00 +0000"),
    ]),
    "other.group": ("y", "2024-04-01T00:00:00Z", [
        article("<o1@test>", "Injected", "Mon, 01 Jan 2024 00:00:00 +0000",
                extra=("Injection-Date: Mon, 01 Apr 2024 08:00:00 +0000",)),
    ]),
}


class Client:
    """A blocking NNTP client that returns lines as received, CR LF included."""

    def __init__(self, port, timeout=5):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        self.reader = self.sock.makefile("rb")
        self.greeting = self.line()

    def close(self):
        self.reader.close()
        self.sock.close()

    def line(self):
        """The next line without its CR LF; None at the end of the connection."""
        raw = self.reader.readline()
        if not raw:
            return None
        if not raw.endswith(b"\r\n"):
            raise AssertionError(f"line without CR LF: {raw!r}")
        return raw[:-2].decode("latin-1")

    def send(self, text: str):
        self.sock.sendall(text.encode("latin-1") + b"\r\n")

    def command(self, text: str) -> str:
        self.send(text)
        return self.line()

    def block(self) -> list:
        """The data lines of a multi-line reply as sent (still dot-stuffed), without the end."""
        lines = []
        while True:
            line = self.line()
            if line == ".":
                return lines
            if line is None:
                raise AssertionError("connection ended inside a data block")
            lines.append(line)

    def rest(self) -> bytes:
        """Everything until the server closes the connection."""
        return self.reader.read()


class RunningServer:
    """A server on a free loopback port in this process; closes with the test."""

    def __init__(self, test, groups=None, knobs=None, volatile=False):
        self.root = tempfile.mkdtemp()
        test.addCleanup(shutil.rmtree, self.root, True)
        write_spool(self.root, STANDARD_GROUPS if groups is None else groups)
        self.spool = Spool(self.root, volatile=volatile)
        self.controls = Controls(knobs)
        self.log = ExchangeLog()
        self.server = NewsServer(self.spool, self.controls, self.log)
        thread = threading.Thread(target=self.server.serve_forever, args=(0.05,), daemon=True)
        thread.start()
        test.addCleanup(self._stop, thread)
        self.test = test

    def _stop(self, thread):
        self.server.shutdown()
        self.server.server_close()
        thread.join()

    @property
    def port(self):
        return self.server.port

    def connect(self) -> Client:
        client = Client(self.port)
        self.test.addCleanup(client.close)
        return client

    def commands(self, connection=None) -> list:
        return [text for number, text in self.log.commands()
                if connection is None or number == connection]
