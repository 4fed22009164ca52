#!/usr/bin/env python3
"""wire_relay.py: the independent side of the conformance tests that look at the wire as it is
(STARTTLS, compression), with nothing of the client's code.

  relay PORT FOLDER  listens on 127.0.0.1 (a free port, printed as "PORT n"), relays every
                     connection to 127.0.0.1:PORT and keeps what each side sends in
                     FOLDER/N.client and FOLDER/N.server (written before it is passed on)
  check FOLDER       for every kept connection and side: the text sent in clear, then whether
                     all that follows are TLS records, as lines
                     "N client|server clear <text as a Python literal>" and
                     "N client|server tls <record count> whole|cut|broken" (cut: the last
                     record is not all there yet; broken: bytes that are no TLS record)
  deflate FOLDER     for every kept connection and side, one line:
                     "N client: switched, 61 bytes inflate to 140; lines: GROUP g|OVER 1-9; plain: "
                     switched: the side sent its COMPRESS DEFLATE line (client) or its 206 line
                     (server); the bytes after it are inflated by zlib as raw deflate ("not
                     deflate: <error>" when they are not). "lines" lists the commands (client) or
                     status codes (server) of the inflated text; "plain" those readable in the raw
                     bytes after the switch: none when they are deflate. A side that never
                     switched reads "N server: not switched, 5230 bytes"."""
import os
import re
import socket
import sys
import threading
import zlib

TLS_CONTENT_TYPES = {20, 21, 22, 23}  # cipher change, alert, handshake, application data
COMMAND = re.compile(rb"^[A-Z]{3,}[ -~]*$")
STATUS = re.compile(rb"^([0-9]{3}) [ -~]*$")


def pump(source, sink, path):
    with open(path, "wb") as kept:
        while True:
            try:
                data = source.recv(65536)
            except OSError:
                data = b""
            if not data:
                break
            kept.write(data)
            kept.flush()
            try:
                sink.sendall(data)
            except OSError:
                break
    try:
        sink.shutdown(socket.SHUT_WR)
    except OSError:
        pass


def relay(port, folder):
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    print("PORT", listener.getsockname()[1], flush=True)
    for number in range(1000):
        client, _ = listener.accept()
        server = socket.create_connection(("127.0.0.1", port))
        base = os.path.join(folder, str(number))
        for source, sink, side in ((client, server, "client"), (server, client, "server")):
            threading.Thread(target=pump, args=(source, sink, f"{base}.{side}"), daemon=True).start()


def kept(folder):
    """(number, side, bytes) of every kept side, in the order of the connections."""
    names = sorted(os.listdir(folder), key=lambda name: (int(name.split(".")[0]), name))
    for name in names:
        with open(os.path.join(folder, name), "rb") as file:
            yield (*name.split("."), file.read())


def clear_part(data):
    """The length of the text before the first TLS record: its lines end with CR LF, and the
    record starts with a content type and version 3.x."""
    at = 0
    while at < len(data):
        if data[at] in TLS_CONTENT_TYPES and data[at + 1:at + 2] == b"\x03":
            return at
        end = data.find(b"\r\n", at)
        if end < 0:
            return len(data)
        at = end + 2
    return at


def records(data):
    count = 0
    while len(data) >= 5:
        if data[0] not in TLS_CONTENT_TYPES or data[1] != 3:
            return count, "broken"
        length = int.from_bytes(data[3:5], "big")
        if len(data) < 5 + length:
            return count, "cut"
        data = data[5 + length:]
        count += 1
    return count, "whole" if not data else "cut"


def check(folder):
    for number, side, data in kept(folder):
        end = clear_part(data)
        print(number, side, "clear", repr(data[:end].decode("latin-1")))
        print(number, side, "tls", *records(data[end:]))


def readable(lines, server):
    """The status codes (server) or command lines (client) among lines."""
    if server:
        return [m.group(1).decode() for m in map(STATUS.match, lines) if m]
    return [line.decode() for line in lines if COMMAND.match(line)]


def deflate(folder):
    for number, side, data in kept(folder):
        name, server = f"{number} {side}", side == "server"
        at = data.find(b"\n" + (b"206 " if server else b"COMPRESS DEFLATE"))
        if at < 0:
            print(f"{name}: not switched, {len(data)} bytes")
            continue
        after = data[data.find(b"\n", at + 1) + 1:]
        plain = "|".join(readable(after.split(b"\r\n"), server)[:20])
        try:
            text = zlib.decompressobj(wbits=-15).decompress(after)
        except zlib.error as error:
            print(f"{name}: switched, {len(after)} bytes not deflate: {error}; plain: {plain}")
            continue
        lines = "|".join(readable(text.split(b"\r\n"), server)[:50])
        print(f"{name}: switched, {len(after)} bytes inflate to {len(text)}; lines: {lines}; "
              f"plain: {plain}")


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "relay":
        relay(int(sys.argv[2]), sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] in ("check", "deflate"):
        {"check": check, "deflate": deflate}[sys.argv[1]](sys.argv[2])
    else:
        sys.exit(__doc__)
