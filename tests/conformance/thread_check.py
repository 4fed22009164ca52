#!/usr/bin/env python3
"""thread_check.py MODE PORT TAG: the independent side of the reply conformance test, with
Python's own NNTP client and e-mail parser.

  root   posts the thread's first article: crossposted to kestrova.test and local.test.g01,
         Followup-To kestrova.test and local.test.g02, Message-ID <root.TAG@example.test>;
         and "By mail TAG", whose author asks for replies by mail (Followup-To: poster)
  check  reads the thread back from the server: the reply and the reply to it (subject
         "Re: Root TAG"), and the new article "New TAG"; prints each fault and exits 1"""
import email.parser
import email.policy
import email.utils
import sys
import warnings

with warnings.catch_warnings():
    warnings.simplefilter("ignore", DeprecationWarning)
    import nntplib

HOST = "127.0.0.1"
GROUP, CROSSPOST, FOLLOWUP = "kestrova.test", "local.test.g01", "local.test.g02"


def root_id(tag):
    return f"<root.{tag}@example.test>"


def post_root(server, tag):
    lines = [f"From: Root Poster <root@example.test>",
             f"Newsgroups: {GROUP},{CROSSPOST}",
             f"Followup-To: {GROUP},{FOLLOWUP}",
             f"Subject: Root {tag}",
             f"Message-ID: {root_id(tag)}",
             f"Date: {email.utils.formatdate(usegmt=True)}",
             "",
             "The first article of the thread.",
             "> A line it quotes itself."]
    server.post("\r\n".join(lines).encode() + b"\r\n")
    by_mail = [f"From: Mail Poster <mail@example.test>", f"Newsgroups: {GROUP}",
               "Followup-To: poster", f"Subject: By mail {tag}", "", "Write to me."]
    server.post("\r\n".join(by_mail).encode() + b"\r\n")


def articles_of(server, group, tag):
    """{Message-ID: overview fields} of the group's last articles that mention tag."""
    _, _, first, last, _ = server.group(group)
    _, overviews = server.over((max(first, last - 300), last))
    return {fields["message-id"]: fields for _, fields in overviews
            if tag in fields["subject"]}


def header_faults(server, message_id):
    """Every header of the article that Python's e-mail package (default policy) finds fault
    with, a Date it cannot read, and an empty address."""
    _, info = server.article(message_id)
    raw = b"\r\n".join(info.lines) + b"\r\n"
    message = email.parser.BytesParser(policy=email.policy.default).parsebytes(raw)
    faults = []
    for name in message.keys():
        header = message[name]
        if header.defects:
            faults.append(f"{message_id} {name}: {header!r} {header.defects}")
    if message["Date"] is None or message["Date"].datetime is None:
        faults.append(f"{message_id} Date: {message['Date']!r} unreadable")
    for name in ("From", "Reply-To"):
        for line in message.get_all(name, []):
            if any(not address.addr_spec or address.addr_spec == "<>"
                   for address in line.addresses) or "<>" in str(line):
                faults.append(f"{message_id} {name}: empty address in {line!r}")
    if message["From"] is None:
        faults.append(f"{message_id}: no From")
    return faults


def check(server, tag):
    faults = []
    found = articles_of(server, GROUP, tag)
    by_subject = {}
    for message_id, fields in found.items():
        by_subject.setdefault(fields["subject"], []).append(message_id)
    replies = by_subject.get(f"Re: Root {tag}", [])
    news = by_subject.get(f"New {tag}", [])
    if root_id(tag) not in found or len(replies) != 2 or len(news) != 1:
        return [f"expected the root, two replies and a new article, found {by_subject}"]

    references = {m: found[m]["references"].split() for m in replies}
    first = next((m for m in replies if references[m] == [root_id(tag)]), None)
    second = next((m for m in replies if m != first), None)
    if first is None:
        faults.append(f"no reply with References {root_id(tag)}: {references}")
    elif references[second] != [root_id(tag), first]:
        faults.append(f"the reply to the reply has References {references[second]}, "
                      f"expected {[root_id(tag), first]}")

    for message_id in replies:
        _, info = server.head(message_id)
        head = email.parser.BytesParser(policy=email.policy.default).parsebytes(
            b"\r\n".join(info.lines) + b"\r\n\r\n")
        if head["Newsgroups"] != f"{GROUP},{FOLLOWUP}":
            faults.append(f"{message_id} Newsgroups: {head['Newsgroups']}")
    if first and first not in articles_of(server, FOLLOWUP, tag):
        faults.append(f"the reply {first} is not in {FOLLOWUP}")
    # The default template quotes the parent under an attribution line; the editor added a line.
    quotes = {first: ["> The first article of the thread.", ">> A line it quotes itself."],
              second: ["> On ", ">> The first article of the thread.", "> A line of the reply."]}
    for message_id, wanted in quotes.items():
        if message_id is None:
            continue
        _, info = server.body(message_id)
        lines = [line.decode("latin-1") for line in info.lines]
        if not (lines and lines[0].startswith("On ") and lines[0].endswith(" wrote:")
                and all(any(line.startswith(w) for line in lines) for w in wanted)
                and lines[-1] == "A line of the reply."):
            faults.append(f"{message_id} body: {lines}")
    for message_id in replies + news:
        faults += header_faults(server, message_id)
    return faults


def main(argv):
    if len(argv) != 4 or argv[1] not in ("root", "check"):
        sys.exit(__doc__)
    with nntplib.NNTP(HOST, int(argv[2]), readermode=True) as server:
        if argv[1] == "root":
            post_root(server, argv[3])
            return 0
        faults = check(server, argv[3])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
