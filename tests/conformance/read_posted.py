#!/usr/bin/env python3
"""Reads back an article that Kestrova posted, as an independent client (a raw socket and
Python's email package): the newest of the group's last 50 articles whose body holds TAG.
Prints its MIME headers as they are and its subject, author and body decoded, one per line;
with "raw", the article as the server stores it, lines ended by CR LF.

    read_posted.py PORT GROUP TAG [raw]
"""
import email
import email.header
import email.policy
import socket
import sys


def command(s, reader, line):
    s.sendall(line.encode() + b"\r\n")
    return reader.readline().decode("utf-8", "replace")


def data_lines(reader):
    lines = []
    while True:
        line = reader.readline().rstrip(b"\r\n")
        if line == b".":
            return lines
        lines.append(line[1:] if line.startswith(b"..") else line)


def decoded(value):
    return str(email.header.make_header(email.header.decode_header(value)))


def main():
    port, group, tag = int(sys.argv[1]), sys.argv[2], sys.argv[3].encode()
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        reader = s.makefile("rb")
        reader.readline()
        _, _, low, high, _ = command(s, reader, "GROUP " + group).split()
        for number in range(int(high), max(int(low), int(high) - 50) - 1, -1):
            if not command(s, reader, f"ARTICLE {number}").startswith("220"):
                continue
            raw = b"\r\n".join(data_lines(reader)) + b"\r\n"
            message = email.message_from_bytes(raw, policy=email.policy.compat32)
            body = message.get_payload(decode=True)
            charset = message.get_content_charset() or "utf-8"
            if tag not in body.decode(charset, "replace").encode():
                continue
            if sys.argv[4:] == ["raw"]:
                sys.stdout.buffer.write(raw)
                return
            for name in ("MIME-Version", "Content-Type", "Content-Transfer-Encoding"):
                print(f"{name}: {message.get(name)}")
            for name in ("Subject", "From", "Organization"):
                print(f"{name} decoded: {decoded(message.get(name, ''))}")
            print("Body: " + body.decode(charset).replace("\r\n", "\n").replace("\n", "|"))
            return
    sys.exit("no article with the tag")


if __name__ == "__main__":
    main()
