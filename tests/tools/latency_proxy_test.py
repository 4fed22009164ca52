#!/usr/bin/env python3
"""The latency proxy (tools/latency_proxy): bytes delayed, in order with a bounded queue, no
faster than its rate, and the proxy ending by itself. (Its round trips are measured by the benchmarks that use it.)

    latency_proxy_test.py PATH_TO_LATENCY_PROXY"""

import socket
import subprocess
import sys
import threading
import time
import unittest
from pathlib import Path

PROXY = None


class LatencyProxyTest(unittest.TestCase):
    def connect(self, *options):
        """A client through a new proxy to a loopback server that echoes while `reading` is set."""
        server = socket.create_server(("127.0.0.1", 0))
        self.addCleanup(server.close)
        self.reading = threading.Event()
        self.reading.set()
        threading.Thread(target=self._echo, args=(server, self.reading), daemon=True).start()
        proxy = subprocess.Popen([PROXY, "--to", "127.0.0.1:%d" % server.getsockname()[1], *options],
                                 stdout=subprocess.PIPE, text=True)
        self.addCleanup(lambda: (proxy.poll() is None and proxy.kill(), proxy.wait(), proxy.stdout.close()))
        self.proxy = proxy
        word, port = proxy.stdout.readline().split()
        self.assertEqual(word, "PORT")
        client = socket.create_connection(("127.0.0.1", int(port)), timeout=10)
        client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.addCleanup(client.close)
        return client

    @staticmethod
    def _echo(server, reading):
        connection, _ = server.accept()
        with connection:
            reading.wait()
            while data := connection.recv(1 << 16):
                connection.sendall(data)
                reading.wait()
            connection.shutdown(socket.SHUT_WR)

    def test_order_kept_with_a_bounded_queue(self):
        client = self.connect("--delay-ms", "1", "--max-queued", "65536")
        status = Path(f"/proc/{self.proxy.pid}/status")
        resident_kib = lambda: int(status.read_text().split("VmRSS:")[1].split()[0])  # noqa: E731
        self.reading.clear()
        data = bytes(i * 7 % 251 for i in range(1 << 16)) * 400  # 26 MB
        before = resident_kib()
        sender = threading.Thread(target=client.sendall, args=(data,), daemon=True)
        sender.start()
        time.sleep(1)
        # Growth, not the size: a sanitizer build starts far larger.
        self.assertLess(resident_kib() - before, 8 * 1024,
                        "the proxy kept reading for a target that did not")
        self.reading.set()
        echoed = bytearray()
        while len(echoed) < len(data):
            echoed += client.recv(1 << 20)
        self.assertTrue(echoed == data, "bytes lost or out of order")

    def test_rate_bounds_each_direction(self):
        # 400 kB up and back at 1 MB/s each way: 0.4 s at least, however fast the machine.
        client = self.connect("--delay-ms", "0", "--rate", "1000000")
        data = bytes(i % 251 for i in range(400_000))
        start = time.monotonic()
        threading.Thread(target=client.sendall, args=(data,), daemon=True).start()
        echoed = bytearray()
        while len(echoed) < len(data):
            echoed += client.recv(1 << 20)
        self.assertGreaterEqual(time.monotonic() - start, 0.4, "faster than the rate")
        self.assertTrue(echoed == data, "bytes lost or out of order")

    def test_ends_by_itself(self):
        for options in (["--once"], ["--idle-seconds", "0.2"]):
            with self.subTest(options=options):
                client = self.connect("--delay-ms", "50", *options)
                start = time.monotonic()
                client.sendall(b"last")
                client.shutdown(socket.SHUT_WR)
                self.assertEqual(client.recv(10), b"last")
                self.assertGreaterEqual(time.monotonic() - start, 0.1, "not delayed both ways")
                self.assertEqual(client.recv(10), b"", "the end of the stream was not passed on")
                client.close()
                self.assertEqual(self.proxy.wait(timeout=5), 0)


if __name__ == "__main__":
    PROXY = sys.argv.pop(1)
    unittest.main()
