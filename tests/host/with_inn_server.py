#!/usr/bin/env python3
"""Runs a command against the loopback INN server (tools/peers/inn2.sh) after posting the
articles of the character-set tests (inn/post_charsets.py) to its group local.charsets.test.

    with_inn_server.py COMMAND...

The server's port is INN_READER_PORT (1119); the command finds it in NEWS_PORT. Without a server
the command does not run and the test is skipped (exit 77), unless KESTROVA_REQUIRE_PEERS is set.
The exit code is the command's.
"""
import os
import socket
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
GROUP = "local.charsets.test"


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    port = int(os.environ.get("INN_READER_PORT") or 1119)
    try:
        socket.create_connection(("127.0.0.1", port), timeout=2).close()
    except OSError:
        print(f"no news server on 127.0.0.1:{port}")
        sys.exit(1 if os.environ.get("KESTROVA_REQUIRE_PEERS") else 77)
    subprocess.run([sys.executable, os.path.join(HERE, "inn", "post_charsets.py"), str(port), GROUP],
                   check=True)
    return subprocess.run(sys.argv[1:], env=dict(os.environ, NEWS_PORT=str(port))).returncode


if __name__ == "__main__":
    sys.exit(main())
