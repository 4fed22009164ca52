"""One client connection: reads command lines, applies the per-test controls, answers them."""

import socket
import ssl
import sys
import time
import zlib

from . import wire
from .controls import ControlError
from .overview import OVERVIEW_FORMAT, overview_line, parse_range
from .spool import PostRefused, split_article
from .wildmat import Wildmat

# Commands a client may send before it has logged in on a server that requires it.
_BEFORE_LOGIN = {"AUTHINFO", "CAPABILITIES", "COMPRESS", "HELP", "MODE", "QUIT"}

# Commands a server without the capabilities knob does not know, as servers before them did not.
_MODERN = {"CAPABILITIES", "COMPRESS", "OVER", "XOVER"}

_SELECT_REPLIES = {
    "ARTICLE": (220, "article"),
    "HEAD": (221, "head"),
    "BODY": (222, "body"),
    "STAT": (223, "status"),
}


class ConnectionEnded(Exception):
    """The connection ends here: the client quit, or the controls drop it."""


class Reply:
    """A status line and, for a multi-line reply, its data lines (bytes, not yet stuffed)."""

    def __init__(self, status: str, lines: list = None):
        self.status = status
        self.lines = lines

    def encode(self) -> bytes:
        text = self.status.encode("latin-1") + wire.CRLF
        return text if self.lines is None else text + wire.data_block(self.lines)


class CommandReader:
    """The client's lines as they arrive, and how many complete ones wait unread: commands a
    client sent ahead of the replies to those before them."""

    def __init__(self, sock):
        self.sock = sock
        self.buffer = bytearray()
        self.start = 0
        self.ended = False
        self.inflater = None  # set once the connection is compressed

    def inflate_from_here(self):
        """What the client sends from now on (and what came after the last line read) is raw
        deflate."""
        self.inflater = zlib.decompressobj(wbits=-15)
        rest = bytes(self.buffer[self.start:])
        del self.buffer[self.start:]
        self.buffer += self.inflater.decompress(rest)

    def _take(self, chunk: bytes):
        if not chunk:
            self.ended = True
        elif self.inflater is not None:
            chunk = self.inflater.decompress(chunk)
        if self.start > len(self.buffer) // 2:
            del self.buffer[:self.start]
            self.start = 0
        self.buffer += chunk

    def readline(self) -> bytes:
        """The next line with its end; what is left at the end of the connection; b"" after."""
        while self.buffer.find(b"\n", self.start) < 0 and not self.ended:
            self._take(self.sock.recv(65536))
        end = self.buffer.find(b"\n", self.start) + 1 or len(self.buffer)
        line = bytes(self.buffer[self.start:end])
        self.start = end
        return line

    def waiting(self) -> int:
        """The complete lines received and not yet read, with what the socket holds now."""
        self.sock.setblocking(False)
        try:
            while not self.ended:
                self._take(self.sock.recv(65536))
        except (BlockingIOError, ssl.SSLWantReadError):
            pass
        finally:
            self.sock.setblocking(True)
        return self.buffer.count(b"\n", self.start)


class Session:
    def __init__(self, sock, number: int, spool, controls, log, control_file=None):
        self.sock = sock
        self.reader = CommandReader(sock)
        self.number = number
        self.spool = spool
        self.controls = controls
        self.log = log
        self.control_file = control_file
        self.sent = 0
        self.reply_limit = None  # bytes still allowed by a rule's drop_after_bytes
        self.group = None
        self.current = None  # current article number in the group
        self.pending_user = None
        self.authenticated = False
        self.reader_mode = False
        self.deflater = None  # set once the connection is compressed

    # -- sending -------------------------------------------------------------------------------

    def _send(self, data: bytes):
        """Sends data, cut short and followed by the end of the connection when a byte limit
        of the controls is reached."""
        allowed = len(data)
        limit = self.controls.get("drop_after_bytes")
        if limit is not None and self.controls.drops_apply(self.number):
            allowed = min(allowed, max(0, limit - self.sent))
        if self.reply_limit is not None:
            allowed = min(allowed, self.reply_limit)
            self.reply_limit -= allowed
        if self.deflater is None:
            self.sock.sendall(data[:allowed])
        else:
            self.sock.sendall(self.deflater.compress(data[:allowed])
                              + self.deflater.flush(zlib.Z_SYNC_FLUSH))
        self.sent += allowed
        if allowed < len(data):
            raise ConnectionEnded(f"dropped after {self.sent} bytes")

    def _send_reply(self, reply: Reply):
        self.log.server(self.number, reply.status)
        self._send(reply.encode())

    def _send_line(self, text: str):
        self.log.server(self.number, text)
        self._send(text.encode("latin-1") + wire.CRLF)

    # -- the connection ------------------------------------------------------------------------

    def run(self):
        self.log.event(self.number, "connected")
        try:
            self._greet()
            while True:
                line = self.reader.readline()
                if not line:
                    raise ConnectionEnded("closed by the client")
                self._handle(line.rstrip(b"\r\n").decode("latin-1"))
        except ConnectionEnded as end:
            self.log.event(self.number, str(end))
            self._end_gracefully()
        except OSError as error:
            self.log.event(self.number, f"socket error: {error}")

    def _end_gracefully(self):
        """Ends the connection after everything sent so far: closing with the client's commands
        still unread would reset it, and the client could lose replies it was already sent."""
        try:
            self.sock.shutdown(socket.SHUT_WR)
            self.sock.settimeout(2)
            while self.sock.recv(65536):
                pass
        except OSError:
            pass

    def _greet(self):
        delay = self.controls.get("delay_ms")
        if delay:
            time.sleep(delay / 1000)
        greeting = self.controls.greeting()
        self._send_line(greeting)
        if greeting[:3] in ("400", "502"):
            raise ConnectionEnded("refused at the greeting")

    def _reload_control_file(self):
        if self.control_file is None:
            return
        try:
            self.control_file.check()
        except ControlError as error:
            print(f"fixture news server: {error}", file=sys.stderr, flush=True)

    def _handle(self, line: str):
        self.log.client(self.number, line)
        self._reload_control_file()
        outcome = self.controls.match(self.number, line)
        delay = self.controls.get("delay_ms")
        if outcome and outcome.delay_ms is not None:
            delay = outcome.delay_ms
        if delay:
            time.sleep(delay / 1000)
        waiting = self.reader.waiting()
        if waiting:
            self.log.event(self.number, f"{waiting} more commands waiting")
        if outcome:
            self._apply_rule(outcome, line)
        else:
            self._answer(line)

    def _apply_rule(self, outcome, line: str):
        for text in outcome.before:
            self._send_line(text)
        if outcome.drop:
            raise ConnectionEnded("dropped by a rule")
        self.reply_limit = outcome.drop_after_bytes
        try:
            if outcome.reply is not None:
                lines = None if outcome.data is None else [l.encode("latin-1") for l in outcome.data]
                self._send_reply(Reply(outcome.reply, lines))
            else:
                self._answer(line)
        finally:
            self.reply_limit = None

    # -- commands ------------------------------------------------------------------------------

    def _answer(self, line: str):
        words = line.split()
        keyword = words[0].upper() if words else ""
        modern = self.controls.get("capabilities")
        if keyword in _MODERN and not modern:
            self._send_line("500 Unknown command")
            return
        if (self.controls.get("transit") and not self.reader_mode
                and keyword not in _BEFORE_LOGIN):
            self._send_line("401 MODE-READER")
            return
        if (not self.authenticated and keyword not in _BEFORE_LOGIN
                and self.controls.login_required(keyword)):
            self._send_line("480 Authentication required for command")
            return
        if keyword == "POST":
            self._post()
            return
        if keyword == "QUIT":
            self._send_line("205 Bye")
            raise ConnectionEnded("quit")
        handler = _HANDLERS.get(keyword)
        if handler is None:
            self._send_line("500 Unknown command")
            return
        reply = handler(self, words[1:])
        if reply is not None:  # None: the handler answered itself
            self._send_reply(reply)

    def _mode(self, args):
        if [arg.upper() for arg in args] != ["READER"]:
            return Reply("501 Unknown MODE variant")
        self.reader_mode = True
        if self.controls.posting_allowed():
            return Reply("200 Posting allowed")
        return Reply("201 Posting prohibited")

    def _capabilities(self, args):
        if self.controls.get("transit") and not self.reader_mode:
            lines = ["VERSION 2", "MODE-READER"]
        else:
            lines = ["VERSION 2", "READER", "NEWNEWS", "LIST ACTIVE NEWSGROUPS OVERVIEW.FMT",
                     "OVER", "AUTHINFO USER"]
            if self.controls.posting_allowed():
                lines.append("POST")
            if self.controls.get("compress") and self.deflater is None:
                lines.append("COMPRESS DEFLATE")
        return Reply("101 Capability list:", [line.encode() for line in lines])

    def _compress(self, args):
        """COMPRESS DEFLATE: 206, then raw deflate both ways from the next byte."""
        if not self.controls.get("compress"):
            return Reply("500 Unknown command")
        if [arg.upper() for arg in args] != ["DEFLATE"]:
            return Reply("501 Only DEFLATE is supported")
        if self.deflater is not None:
            return Reply("502 Already using a compression layer")
        self._send_line("206 Compression active")
        self.deflater = zlib.compressobj(wbits=-15)
        self.reader.inflate_from_here()
        self.log.event(self.number, "compression on")
        return None

    def _over(self, args):
        if self.group is None:
            return Reply("412 No newsgroup selected")
        with self.spool.lock:
            numbers = self.group.numbers()
        if not args:
            if self.current is None:
                return Reply("420 No current article selected")
            wanted = [self.current]
        else:
            span = parse_range(args[0], numbers[0] if numbers else 1,
                               numbers[-1] if numbers else 0)
            if span is None or len(args) > 1:
                return Reply("501 Syntax error")
            wanted = [number for number in numbers if span[0] <= number <= span[1]]
        lines = []
        for number in wanted:
            try:
                lines.append(overview_line(number, self.group.articles[number].lines()))
            except OSError:
                continue
        if not lines:
            return Reply("423 No articles in that range")
        return Reply("224 Overview information follows", lines)

    def _help(self, args):
        names = sorted(set(_HANDLERS) | {"POST", "QUIT"})
        return Reply("100 Legal commands", [name.encode() for name in names])

    def _date(self, args):
        return Reply(f"111 {wire.format_stamp(time.time())}")

    def _authinfo(self, args):
        if len(args) < 2 or args[0].upper() not in ("USER", "PASS"):
            return Reply("501 Syntax error")
        value = " ".join(args[1:])
        if self.authenticated:
            return Reply("502 Already authenticated")
        if self.deflater is not None:
            return Reply("502 Already using a compression layer")
        users = self.controls.get("users")
        if args[0].upper() == "USER":
            if users.get(value) == "":
                self.authenticated = True
                return Reply("281 Authentication accepted")
            self.pending_user = value
            return Reply("381 Enter password")
        if self.pending_user is None:
            return Reply("482 Authentication commands issued out of sequence")
        user, self.pending_user = self.pending_user, None
        if users and users.get(user) != value:
            return Reply("481 Authentication failed")
        self.authenticated = True
        return Reply("281 Authentication accepted")

    def _group(self, args):
        if len(args) != 1:
            return Reply("501 Syntax error")
        group = self.spool.groups.get(args[0])
        if group is None:
            return Reply(f"411 No such group {args[0]}")
        with self.spool.lock:
            count, low, high = group.watermarks()
        self.group = group
        self.current = low if count else None
        return Reply(f"211 {count} {low} {high} {group.name}")

    def _list(self, args):
        keyword = args[0].upper() if args else "ACTIVE"
        if keyword == "OVERVIEW.FMT" and self.controls.get("capabilities") and len(args) == 1:
            return Reply("215 Order of fields in overview database",
                         [field.encode() for field in OVERVIEW_FORMAT])
        if keyword not in ("ACTIVE", "NEWSGROUPS") or len(args) > 2:
            return Reply("501 Syntax error")
        pattern = Wildmat(args[1] if len(args) == 2 else "*")
        lines = []
        with self.spool.lock:
            for group in self.spool.groups.values():
                if not pattern.matches(group.name):
                    continue
                if keyword == "NEWSGROUPS":
                    lines.append(f"{group.name}\t{group.description}".encode("utf-8"))
                else:
                    _, low, high = group.watermarks()
                    lines.append(f"{group.name} {high:010d} {low:010d} {group.flag}".encode())
        if keyword == "NEWSGROUPS":
            return Reply('215 Descriptions in form "group description"', lines)
        return Reply('215 Newsgroups in form "group high low status"', lines)

    def _newgroups(self, args):
        if len(args) not in (2, 3):
            return Reply("501 Syntax error")
        try:
            since = wire.parse_since(*args)
        except wire.DateSyntaxError:
            return Reply("501 Syntax error")
        lines = []
        with self.spool.lock:
            for group in self.spool.groups.values():
                if group.created >= since:
                    _, low, high = group.watermarks()
                    lines.append(f"{group.name} {high} {low} {group.flag}".encode())
        return Reply("231 New newsgroups follow", lines)

    def _newnews(self, args):
        if len(args) not in (3, 4):
            return Reply("501 Syntax error")
        try:
            since = wire.parse_since(*args[1:])
        except wire.DateSyntaxError:
            return Reply("501 Syntax error")
        pattern = Wildmat(args[0])
        found = {}
        with self.spool.lock:
            for group in self.spool.groups.values():
                if not pattern.matches(group.name):
                    continue
                for number in group.numbers():
                    article = group.articles[number]
                    if article.arrived >= since:
                        found.setdefault(article.message_id, article.arrived)
        ids = sorted(found, key=lambda message_id: found[message_id])
        return Reply("230 New news follows", [message_id.encode() for message_id in ids])

    def _select(self, args):
        """(number, article) named by the argument, or the Reply that refuses it."""
        if len(args) > 1:
            return None, Reply("501 Syntax error")
        if args and args[0].startswith("<"):
            article = self.spool.find(args[0])
            if article is None:
                return None, Reply("430 No such article")
            return 0, article
        if args and not args[0].isdigit():
            return None, Reply("501 Syntax error")
        if self.group is None:
            return None, Reply("412 No newsgroup selected")
        if not args:
            if self.current is None:
                return None, Reply("420 No current article selected")
            return self.current, self.group.articles[self.current]
        article = self.group.articles.get(int(args[0]))
        if article is None:
            return None, Reply(f"423 No such article number {args[0]}")
        self.current = article.number
        return article.number, article

    def _article(self, keyword: str, args):
        number, article = self._select(args)
        if number is None:
            return article
        code, word = _SELECT_REPLIES[keyword]
        status = f"{code} {number} {article.message_id} {word}"
        if keyword == "STAT":
            return Reply(status)
        try:
            lines = article.lines()
        except OSError as error:
            return Reply(f"403 Cannot read the article: {error.strerror}")
        header, body = split_article(lines)
        if keyword == "HEAD":
            return Reply(status, header)
        if keyword == "BODY":
            return Reply(status, body)
        return Reply(status, lines)

    def _step(self, forward: bool):
        if self.group is None:
            return Reply("412 No newsgroup selected")
        if self.current is None:
            return Reply("420 No current article selected")
        with self.spool.lock:
            numbers = self.group.numbers()
        if forward:
            following = [number for number in numbers if number > self.current]
            if not following:
                return Reply("421 No next article in this group")
            self.current = following[0]
        else:
            preceding = [number for number in numbers if number < self.current]
            if not preceding:
                return Reply("422 No previous article in this group")
            self.current = preceding[-1]
        article = self.group.articles[self.current]
        return Reply(f"223 {self.current} {article.message_id} "
                     "Article retrieved; request text separately")

    def _post(self):
        if not self.controls.posting_allowed():
            self._send_line("440 Posting not allowed")
            return
        self._send_line("340 Send article to be posted. End with <CR-LF>.<CR-LF>")
        lines = []
        while True:
            line = self.reader.readline()
            if not line:
                raise ConnectionEnded("closed by the client while posting")
            self.log.article_line(self.number, line)
            line = line.rstrip(b"\r\n")
            if line == b".":
                break
            lines.append(wire.unstuff(line))
        self.log.event(self.number, f"article of {len(lines)} lines")
        try:
            message_id, stored = self.spool.post(lines)
        except PostRefused as refusal:
            self._send_line(f"441 {refusal}")
            return
        if stored:
            self._send_line(f"240 Article received {message_id}")
        else:
            self._send_line(f"240 Article received {message_id} (mailed to moderator)")


_HANDLERS = {
    "ARTICLE": lambda session, args: session._article("ARTICLE", args),
    "AUTHINFO": Session._authinfo,
    "BODY": lambda session, args: session._article("BODY", args),
    "CAPABILITIES": Session._capabilities,
    "COMPRESS": Session._compress,
    "DATE": Session._date,
    "GROUP": Session._group,
    "HEAD": lambda session, args: session._article("HEAD", args),
    "HELP": Session._help,
    "LAST": lambda session, args: session._step(False),
    "LIST": Session._list,
    "MODE": Session._mode,
    "NEWGROUPS": Session._newgroups,
    "NEWNEWS": Session._newnews,
    "NEXT": lambda session, args: session._step(True),
    "OVER": Session._over,
    "STAT": lambda session, args: session._article("STAT", args),
    "XOVER": Session._over,
}
