"""The record of what clients sent and what the server answered, for tests to compare.

Each line is "#<connection> C: <command line>", "#<connection> S: <status line>" or
"#<connection> * <event>"; the data blocks the server sends are not written, only their status
lines. The lines of a posted article are, as they came (dot-stuffed):
"#<connection> A: <line>", with " [LF]" after a line that ended in a bare line feed."""

import threading


class ExchangeLog:
    def __init__(self, path: str = None):
        self._lock = threading.Lock()
        self._file = open(path, "a", encoding="latin-1", newline="\n") if path else None

    def close(self):
        if self._file:
            self._file.close()
            self._file = None

    def _write(self, connection: int, marker: str, text: str):
        if self._file:
            self._file.write(f"#{connection} {marker} {text}\n")
            self._file.flush()

    def client(self, connection: int, text: str):
        with self._lock:
            self._write(connection, "C:", text)

    def server(self, connection: int, text: str):
        with self._lock:
            self._write(connection, "S:", text)

    def article_line(self, connection: int, raw: bytes):
        text = raw.rstrip(b"\r\n").decode("latin-1")
        if raw.endswith(b"\n") and not raw.endswith(b"\r\n"):
            text += " [LF]"
        with self._lock:
            self._write(connection, "A:", text)

    def event(self, connection: int, text: str):
        with self._lock:
            self._write(connection, "*", text)

