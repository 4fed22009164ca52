"""A relay between a news client and a news server that looks at the bytes on the wire, for a
test to show that a connection really runs compressed, with nothing of the client's code.

Prints "PORT <n>" once it listens on 127.0.0.1, relays each connection to the server, and when a
connection ends appends two lines to the report file, one per side:

  #2 client: switched, 61 bytes inflate to 140; lines: GROUP kestrova.test|OVER 1-1000; plain:
  #2 server: switched, 4120 bytes inflate to 30512; lines: 211|224; plain:

"switched": the side sent its COMPRESS DEFLATE line (client) or its 206 line (server); the
bytes after that line are inflated by zlib as raw deflate ("not deflate: <error>" when they are
not). "lines" lists the commands (client) or status codes (server) of the inflated text; "plain"
those readable in the raw bytes after the switch without inflating: none when they are deflate.
A side that never switched reads "#1 server: not switched, 5230 bytes".

    python3 deflate_wire_relay.py --target-port 1119 --report FILE
"""

import argparse
import re
import socket
import sys
import threading
import zlib

_COMMAND = re.compile(rb"^[A-Z]{3,}[ -~]*$")
_STATUS = re.compile(rb"^([0-9]{3}) [ -~]*$")


def _readable(lines: list, server: bool) -> list:
    """The status codes (server) or command lines (client) among lines."""
    if server:
        return [m.group(1).decode() for m in map(_STATUS.match, lines) if m]
    return [line.decode() for line in lines if _COMMAND.match(line)]


def _summary(name: str, data: bytes, switch: bytes, server: bool) -> str:
    """The report line of one side: the bytes after the line starting with switch, inflated."""
    at = data.find(b"\n" + switch)
    if at < 0:
        return f"{name}: not switched, {len(data)} bytes"
    after = data[data.find(b"\n", at + 1) + 1:]
    plain = "|".join(_readable(after.split(b"\r\n"), server)[:20])
    try:
        text = zlib.decompressobj(wbits=-15).decompress(after)
    except zlib.error as error:
        return f"{name}: switched, {len(after)} bytes not deflate: {error}; plain: {plain}"
    lines = "|".join(_readable(text.split(b"\r\n"), server)[:50])
    return (f"{name}: switched, {len(after)} bytes inflate to {len(text)}; lines: {lines}; "
            f"plain: {plain}")


class Relay:
    def __init__(self, target_port: int, report: str):
        self.target_port = target_port
        self.report = report
        self.lock = threading.Lock()
        self.count = 0

    def serve(self, listener: socket.socket):
        while True:
            client, _ = listener.accept()
            with self.lock:
                self.count += 1
                number = self.count
            threading.Thread(target=self.connection, args=(client, number), daemon=True).start()

    def connection(self, client: socket.socket, number: int):
        server = socket.create_connection(("127.0.0.1", self.target_port))
        for sock in (client, server):
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        seen = {"client": bytearray(), "server": bytearray()}
        pumps = [threading.Thread(target=self.pump, args=(client, server, seen["client"])),
                 threading.Thread(target=self.pump, args=(server, client, seen["server"]))]
        for pump in pumps:
            pump.start()
        for pump in pumps:
            pump.join()
        client.close()
        server.close()
        client_line = _summary(f"#{number} client", bytes(seen["client"]), b"COMPRESS DEFLATE",
                               False)
        server_line = _summary(f"#{number} server", bytes(seen["server"]), b"206 ", True)
        with self.lock, open(self.report, "a", encoding="utf-8") as out:
            out.write(client_line + "\n" + server_line + "\n")

    @staticmethod
    def pump(source: socket.socket, sink: socket.socket, seen: bytearray):
        try:
            while True:
                data = source.recv(65536)
                if not data:
                    break
                seen += data
                sink.sendall(data)
        except OSError:
            pass
        try:
            sink.shutdown(socket.SHUT_WR)
        except OSError:
            pass


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--target-port", type=int, required=True)
    parser.add_argument("--report", required=True)
    arguments = parser.parse_args()
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print(f"PORT {listener.getsockname()[1]}", flush=True)
    Relay(arguments.target_port, arguments.report).serve(listener)
    return 0


if __name__ == "__main__":
    sys.exit(main())
