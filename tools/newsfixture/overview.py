"""The overview of a group's articles, as OVER and XOVER send it, and the field order that
LIST OVERVIEW.FMT gives."""

from .spool import header_value, parse_headers, split_article

OVERVIEW_FORMAT = ["Subject:", "From:", "Date:", "Message-ID:", "References:", "Bytes:",
                   "Lines:", "Xref:full"]


def _field(text: str) -> str:
    """A header value as an overview field: tabs, CR and LF become blanks."""
    return text.replace("\t", " ").replace("\r", " ").replace("\n", " ")


def overview_line(number: int, lines: list) -> bytes:
    """The overview line of the article numbered number whose lines (without line ends) these
    are; a header that cannot be parsed leaves its fields empty."""
    header, body = split_article(lines)
    try:
        headers = parse_headers(header)
    except ValueError:
        headers = []

    def value(name):
        return _field(header_value(headers, name) or "")

    size = sum(len(line) + 2 for line in lines)
    xref = value("Xref")
    fields = [str(number), value("Subject"), value("From"), value("Date"), value("Message-ID"),
              value("References"), str(size), value("Lines") or str(len(body)),
              f"Xref: {xref}" if xref else ""]
    return "\t".join(fields).encode("latin-1")


def parse_range(text: str, low: int, high: int):
    """(first, last) of "n", "n-" or "n-m"; None when the text is not a range."""
    first, dash, last = text.partition("-")
    if not first.isdigit() or (last and not last.isdigit()):
        return None
    start = int(first)
    if not dash:
        return start, start
    return start, int(last) if last else max(high, start)
