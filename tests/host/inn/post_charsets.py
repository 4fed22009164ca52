#!/usr/bin/env python3
"""Posts the articles of the character-set tests to a news server over a raw socket, as a
client that none of Kestrova's code wrote: UTF-8 (German, Russian, Greek, Chinese, an emoji),
ISO-8859-1 quoted-printable, windows-1251 8bit, KOI8-R, an encoded-word subject and an
unlabelled UTF-8 one. Message-IDs are fixed for the group, so a second run adds nothing (the
server refuses the duplicates) and the group always holds the same articles.

    post_charsets.py PORT GROUP
"""
import base64
import quopri
import socket
import sys


def word(text, charset, encoding="B"):
    data = text.encode(charset)
    if encoding == "B":
        return f"=?{charset}?B?{base64.b64encode(data).decode()}?="
    return f"=?{charset}?Q?{quopri.encodestring(data, header=True).decode()}?="


def article(group, n, subject, body, charset=None, transfer="8bit",
            author="Tester <tester@example.test>"):
    """The bytes of article n for group: header lines, an empty line, the body (CR LF line
    ends)."""
    lines = [f"From: {author}", f"Subject: {subject}", f"Newsgroups: {group}",
             f"Message-ID: <charsets.{n}.{group}@example.test>",
             f"Date: Mon, 0{n % 9 + 1} Jun 2025 10:00:00 +0000"]
    if charset:
        lines += ["MIME-Version: 1.0", f"Content-Type: text/plain; charset={charset}",
                  f"Content-Transfer-Encoding: {transfer}"]
    data = "\r\n".join(lines).encode("utf-8") + b"\r\n\r\n"
    if charset and transfer == "quoted-printable":
        data += quopri.encodestring(body.encode(charset)).replace(b"\n", b"\r\n")
    elif charset and transfer == "base64":
        data += base64.encodebytes(body.encode(charset)).replace(b"\n", b"\r\n")
    else:
        data += body.encode(charset or "utf-8").replace(b"\n", b"\r\n")
    return data if data.endswith(b"\r\n") else data + b"\r\n"


ARTICLES = [
    (word("Grüße aus Köln", "utf-8"), "Grüße, naïve Öl\n", "utf-8"),
    (word("Привет, мир", "utf-8", "Q"), "Привет, мир\n", "utf-8"),
    (word("Καλημέρα", "utf-8"), "Καλημέρα κόσμε\n", "utf-8"),
    (word("中文测试", "utf-8"), "你好，世界\n", "utf-8"),
    (word("Emoji 😀 test", "utf-8"), "Smile 😀\n", "utf-8"),
    (word("Café crème", "iso-8859-1", "Q"), "Café crème brûlée\n", "iso-8859-1",
     "quoted-printable"),
    (word("Привет из 1251", "windows-1251"), "Привет из 1251\n", "windows-1251"),
    (word("Привет из KOI8", "koi8-r"), "Привет из KOI8\n", "koi8-r"),
    (word("Base64 Ελληνικά", "utf-8"), "Ελληνικά σε base64\n", "utf-8", "base64"),
    ("Unlabelled Grüße Привет", "Unlabelled body: Grüße Привет\n", None),
]


def main():
    port, group = int(sys.argv[1]), sys.argv[2]
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        reader = s.makefile("rb")
        if not reader.readline().startswith(b"20"):
            sys.exit("no greeting")
        for n, (subject, body, charset, *transfer) in enumerate(ARTICLES, 1):
            s.sendall(b"POST\r\n")
            if not reader.readline().startswith(b"340"):
                sys.exit("POST refused")
            s.sendall(article(group, n, subject, body, charset, *transfer) + b".\r\n")
            reply = reader.readline().decode("utf-8", "replace").strip()
            # 240 posted; 441 with "duplicate" when an earlier run posted it.
            if not reply.startswith("240") and "uplicate" not in reply:
                sys.exit(f"article {n}: {reply}")
        s.sendall(b"QUIT\r\n")


if __name__ == "__main__":
    main()
