#!/usr/bin/env python3
"""The latency proxy (tools/latency_proxy): bytes delayed, in order with a bounded queue, and the
proxy ending by itself. (Its round trips are measured by the benchmarks that use it.)

    latency_proxy_test.py PATH_TO_LATENCY_PROXY"""

import socket
import subprocess
import sys
import threading
import time
import unittest

PROXY = None


class Target:
    """A loopback server that echoes what it reads once `reading` is set."""

    def __init__(self):
        self.server = socket.create_server(("127.0.0.1", 0))
        self.port = self.server.getsockname()[1]
        self.reading = threading.Event()
        self.reading.set()
        threading.Thread(target=self._serve, daemon=True).start()

    def _serve(self):
        connection, _ = self.server.accept()
        with connection:
            self.reading.wait()
            while data := connection.recv(1 << 16):
                connection.sendall(data)
                self.reading.wait()
            connection.shutdown(socket.SHUT_WR)

    def close(self):
        self.server.close()


class LatencyProxyTest(unittest.TestCase):
    def start(self, *options):
        self.target = Target()
        self.addCleanup(self.target.close)
        self.proxy = subprocess.Popen([PROXY, "--to", f"127.0.0.1:{self.target.port}", *options],
                                      stdout=subprocess.PIPE, text=True)
        self.addCleanup(self._stop, self.proxy)
        words = self.proxy.stdout.readline().split()
        self.assertEqual(words[0], "PORT")
        return int(words[1])

    @staticmethod
    def _stop(proxy):
        if proxy.poll() is None:
            proxy.kill()
        proxy.wait()
        proxy.stdout.close()

    def connect(self, *options):
        client = socket.create_connection(("127.0.0.1", self.start(*options)))
        client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        client.settimeout(10)
        self.addCleanup(client.close)
        return client

    def resident_kib(self):
        with open(f"/proc/{self.proxy.pid}/status") as status:
            return next(int(line.split()[1]) for line in status if line.startswith("VmRSS"))

    def test_order_kept_with_a_bounded_queue(self):
        client = self.connect("--delay-ms", "1", "--max-queued", "65536")
        self.target.reading.clear()
        data = bytes(i * 7 % 251 for i in range(1 << 16)) * 400  # 26 MB
        before = self.resident_kib()
        sender = threading.Thread(target=client.sendall, args=(data,), daemon=True)
        sender.start()
        time.sleep(1)
        # Growth, not the size: a sanitizer build starts far larger.
        self.assertLess(self.resident_kib() - before, 8 * 1024,
                        "the proxy kept reading for a target that did not")
        self.target.reading.set()
        echoed = bytearray()
        while len(echoed) < len(data):
            echoed += client.recv(1 << 20)
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
