"""The news spool: groups and numbered articles read from a folder, and the storing of posts.

Layout (see tools/README.md):
  <spool>/groups            one line per group: name, flag (y, m, n), creation time, description
  <spool>/<group>/<number>  one article per file, as it travels (headers, empty line, body),
                            lines ending in CR LF or LF, without dot-stuffing
"""

import calendar
import email.utils
import itertools
import os
import threading
import time

from . import wire

SERVER_NAME = "fixture.invalid"


class SpoolError(Exception):
    """A spool folder that cannot be served: the text names the file and what is wrong."""


class PostRefused(Exception):
    """A posted article the server does not take; the text is the reply line after the code."""


def parse_headers(lines) -> list:
    """(name, value) pairs of a header block; continuation lines are joined to their header."""
    headers = []
    for line in lines:
        text = line.decode("latin-1")
        if text[:1] in (" ", "\t") and headers:
            name, value = headers[-1]
            headers[-1] = (name, value + " " + text.strip())
            continue
        name, colon, value = text.partition(":")
        if not colon or not name or " " in name:
            raise ValueError(f"not a header line: {text!r}")
        headers.append((name, value.strip()))
    return headers


def header_value(headers, name: str):
    wanted = name.lower()
    return next((value for key, value in headers if key.lower() == wanted), None)


def split_article(lines):
    """(header lines, body lines) of an article's lines, split at the first empty line."""
    for index, line in enumerate(lines):
        if line == b"":
            return lines[:index], lines[index + 1:]
    return lines, []


def _parse_time(text: str):
    try:
        moment = email.utils.parsedate_to_datetime(text)
    except (TypeError, ValueError, IndexError):
        return None
    return moment.timestamp() if moment.tzinfo else calendar.timegm(moment.timetuple())


def _parse_created(text: str) -> float:
    """A creation time of the groups file: 2024-03-05T10:02:03Z (UTC)."""
    return calendar.timegm(time.strptime(text, "%Y-%m-%dT%H:%M:%SZ"))


class Article:
    """One article of one group; its text stays on disk unless it was posted to a volatile spool."""

    def __init__(self, number: int, message_id: str, arrived: float, path=None, data=None):
        self.number = number
        self.message_id = message_id
        self.arrived = arrived
        self.path = path
        self.data = data

    def lines(self) -> list:
        if self.data is None:
            with open(self.path, "rb") as file:
                return wire.split_lines(file.read())
        return wire.split_lines(self.data)


def _load_article(path: str, number: int) -> Article:
    with open(path, "rb") as file:
        header_lines, _ = split_article(wire.split_lines(file.read()))
    try:
        headers = parse_headers(header_lines)
    except ValueError as error:
        raise SpoolError(f"{path}: {error}") from None
    message_id = header_value(headers, "Message-ID")
    if not message_id or not (message_id.startswith("<") and message_id.endswith(">")):
        raise SpoolError(f"{path}: no Message-ID header of the form <...>")
    # The moment an article reached the server decides what NEWNEWS reports: the injection date
    # when the article has one, else its Date, else the file's time.
    arrived = (_parse_time(header_value(headers, "Injection-Date") or "")
               or _parse_time(header_value(headers, "Date") or "") or os.path.getmtime(path))
    return Article(number, message_id, arrived, path=path)


class Group:
    def __init__(self, name: str, flag: str, created: float, description: str):
        self.name = name
        self.flag = flag
        self.created = created
        self.description = description
        self.articles = {}  # number -> Article
        self.high_water = 0

    def numbers(self) -> list:
        return sorted(self.articles)

    def watermarks(self):
        """(count, low, high) as GROUP and LIST report them; an empty group has low = high + 1."""
        numbers = self.numbers()
        if not numbers:
            return 0, self.high_water + 1, self.high_water
        return len(numbers), numbers[0], numbers[-1]

    def add(self, article: Article):
        self.articles[article.number] = article
        self.high_water = max(self.high_water, article.number)


class Spool:
    """Groups and articles of one spool folder. Posts are written into the folder, or kept in
    memory only when the spool is volatile (so a demo never changes its committed data)."""

    def __init__(self, root: str, volatile: bool = False):
        self.root = root
        self.volatile = volatile
        self.lock = threading.Lock()
        self.groups = {}  # name -> Group, in the order of the groups file
        self.by_message_id = {}  # Message-ID -> Article (its first group's copy)
        self._ids = itertools.count(1)
        self._load()

    def _load(self):
        groups_file = os.path.join(self.root, "groups")
        try:
            with open(groups_file, encoding="utf-8") as file:
                lines = file.read().splitlines()
        except OSError as error:
            raise SpoolError(f"{groups_file}: {error.strerror}") from None
        for line_number, line in enumerate(lines, 1):
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            words = line.split(None, 3)
            try:
                if len(words) < 3:
                    raise ValueError("expected: name flag created [description]")
                group = Group(words[0], words[1], _parse_created(words[2]),
                              words[3] if len(words) > 3 else "")
            except ValueError as error:
                raise SpoolError(f"{groups_file}:{line_number}: {error}") from None
            self.groups[group.name] = group
            self._load_group(group)

    def _load_group(self, group: Group):
        folder = os.path.join(self.root, group.name)
        if not os.path.isdir(folder):
            return  # a group without a folder is empty
        for entry in sorted(os.listdir(folder)):
            if entry.startswith("."):
                continue
            if not entry.isdigit() or int(entry) == 0:
                raise SpoolError(f"{os.path.join(folder, entry)}: not an article number")
            article = _load_article(os.path.join(folder, entry), int(entry))
            group.add(article)
            self.by_message_id.setdefault(article.message_id, article)

    def find(self, message_id: str):
        with self.lock:
            return self.by_message_id.get(message_id)

    def post(self, lines: list, now: float = None) -> tuple:
        """Stores an article (un-stuffed lines). Returns (Message-ID, stored): stored is False for
        a moderated group's article without approval, which goes to the moderator. Raises
        PostRefused with the reason when the article is not taken."""
        now = time.time() if now is None else now
        header_lines, body = split_article(lines)
        try:
            headers = parse_headers(header_lines)
        except ValueError as error:
            raise PostRefused(f"Malformed header: {error}") from None
        for required in ("From", "Subject", "Newsgroups"):
            if not header_value(headers, required):
                raise PostRefused(f"Missing required {required} header field")
        if not any(body):
            raise PostRefused("Article is empty")
        with self.lock:
            return self._store(headers, body, now)

    def _store(self, headers: list, body: list, now: float) -> tuple:
        newsgroups = header_value(headers, "Newsgroups")
        names = [name.strip() for name in newsgroups.split(",") if name.strip()]
        targets = [self.groups[name] for name in names if name in self.groups]
        if not targets:
            raise PostRefused(f'No valid newsgroups in "{newsgroups}"')
        for group in targets:
            if group.flag in ("n", "x"):
                raise PostRefused(f'Postings to "{group.name}" are not allowed here')
        message_id = header_value(headers, "Message-ID")
        if message_id in self.by_message_id:
            raise PostRefused("435 Duplicate")
        if not message_id:
            # A restarted server reads the posts of an earlier run in the same second: their
            # identifiers are skipped, as a real server never gives one twice.
            while not message_id or message_id in self.by_message_id:
                message_id = f"<posted.{int(now)}.{next(self._ids)}@{SERVER_NAME}>"
            headers.append(("Message-ID", message_id))
        if not header_value(headers, "Date"):
            headers.append(("Date", wire.format_article_date(now)))
        path = header_value(headers, "Path")
        headers = [(key, value) for key, value in headers
                   if key.lower() not in ("path", "injection-date", "xref")]
        headers.insert(0, ("Path", f"{SERVER_NAME}!{path or 'not-for-mail'}"))
        headers.append(("Injection-Date", wire.format_article_date(now)))
        if any(group.flag == "m" for group in targets) and not header_value(headers, "Approved"):
            return message_id, False
        numbers = [(group, group.high_water + 1) for group in targets]
        headers.append(("Xref", " ".join([SERVER_NAME] + [f"{g.name}:{n}" for g, n in numbers])))
        text = b"".join(f"{key}: {value}".encode("latin-1") + wire.CRLF for key, value in headers)
        text += wire.CRLF + b"".join(line + wire.CRLF for line in body)
        for group, number in numbers:
            article = Article(number, message_id, now)
            if self.volatile:
                article.data = text
            else:
                article.path = self._write(group, number, text)
            group.add(article)
            self.by_message_id.setdefault(message_id, article)
        return message_id, True

    def _write(self, group: Group, number: int, text: bytes) -> str:
        folder = os.path.join(self.root, group.name)
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, str(number))
        partial = os.path.join(folder, f".{number}.partial")
        with open(partial, "wb") as file:
            file.write(text)
        os.replace(partial, path)
        return path
