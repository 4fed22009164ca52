"""Wire-level helpers: line splitting, dot-stuffing and the date forms of the protocol."""

import calendar
import datetime
import email.utils
import re
import time

CRLF = b"\r\n"


def split_lines(data: bytes) -> list:
    """Splits stored text into lines; accepts CR LF or bare LF, drops the line ends."""
    if not data:
        return []
    lines = data.split(b"\n")
    if lines[-1] == b"":
        lines.pop()
    return [line[:-1] if line.endswith(b"\r") else line for line in lines]


def stuff(line: bytes) -> bytes:
    """A data line as sent: a leading "." is doubled so that no data line reads as the end mark."""
    return b"." + line if line.startswith(b".") else line


def unstuff(line: bytes) -> bytes:
    return line[1:] if line.startswith(b".") else line


def data_block(lines) -> bytes:
    """A multi-line reply body: every line dot-stuffed and CR LF-terminated, then the "." line."""
    return b"".join(stuff(line) + CRLF for line in lines) + b"." + CRLF


_DATE = re.compile(r"^(\d{6}|\d{8})$")
_TIME = re.compile(r"^\d{6}$")


class DateSyntaxError(ValueError):
    pass


def parse_since(date: str, clock: str, zone: str = "", now: float = None) -> float:
    """Seconds since the epoch of a NEWGROUPS/NEWNEWS "date time [GMT]" argument.

    A two-digit year is taken in the current century unless that lies in the future, then in the
    previous one. Without "GMT" the time is the server's local time."""
    if not _DATE.match(date) or not _TIME.match(clock) or zone.upper() not in ("", "GMT"):
        raise DateSyntaxError(f"bad date or time: {date} {clock} {zone}".rstrip())
    now = time.time() if now is None else now
    if len(date) == 6:
        current = time.gmtime(now).tm_year
        year = current - current % 100 + int(date[:2])
        if year > current:
            year -= 100
        month, day = int(date[2:4]), int(date[4:6])
    else:
        year, month, day = int(date[:4]), int(date[4:6]), int(date[6:8])
    fields = (year, month, day, int(clock[:2]), int(clock[2:4]), int(clock[4:6]), 0, 0, -1)
    if not (1 <= month <= 12 and 1 <= day <= 31 and fields[3] < 24 and fields[4] < 60
            and fields[5] < 61):
        raise DateSyntaxError(f"bad date or time: {date} {clock}")
    return calendar.timegm(fields) if zone else time.mktime(fields)


def format_article_date(seconds: float) -> str:
    """An article Date header value in UTC, e.g. "Tue, 05 Mar 2024 10:02:03 +0000"."""
    moment = datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc)
    return email.utils.format_datetime(moment)


def format_stamp(seconds: float) -> str:
    """The yyyymmddhhmmss form of DATE replies, in UTC."""
    return time.strftime("%Y%m%d%H%M%S", time.gmtime(seconds))
