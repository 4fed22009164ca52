#!/usr/bin/env python3
"""Runs a command beside a fixture news server and appends the server's exchange log.

    run_with_news_server.py SERVER_FILE LOG_FILE -- COMMAND...

SERVER_FILE holds the server's arguments (shell words, '#' lines are comments); relative paths
in it are relative to its own folder. The server listens on a free loopback port, which the
command finds in NEWS_PORT. The command's output comes first, then "server log:" and the
connection and client lines of the exchange log, so a transcript shows what the client sent.
The Message-IDs of posted articles read <posted.TIME.n@...>, composed Date headers
"Date: (date)". The server is stopped by its process
id; the exit code is the command's.
"""
import os
import re
import shlex
import signal
import subprocess
import sys

FIXTURE_SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                              "fixture_news_server.py")


POSTED_ID = re.compile(r"<posted\.\d+\.")
DATE_LINE = re.compile(r"Date: [A-Z][a-z]+day, \d\d [A-Z][a-z]{2} \d{4} \d\d:\d\d:\d\d GMT")


def read_server_args(path):
    with open(path, encoding="utf-8") as f:
        words = []
        for line in f:
            if not line.lstrip().startswith("#"):
                words += shlex.split(line)
    return words


def start_server(server_file, log_file):
    args = [sys.executable, FIXTURE_SERVER, "--port", "0", "--log", log_file]
    args += read_server_args(server_file)
    server = subprocess.Popen(args, cwd=os.path.dirname(os.path.abspath(server_file)),
                              stdout=subprocess.PIPE, text=True)
    first = server.stdout.readline().split()
    if len(first) != 2 or first[0] != "PORT":
        server.wait()
        sys.exit(f"the fixture news server did not start (exit {server.returncode})")
    return server, first[1]


def client_lines(log_file):
    """The log lines of the client's side: connections opened, commands sent and the lines of
    posted articles. The dates and times NEWNEWS and NEWGROUPS send read as yymmdd and hhmmss,
    a posted Date header's value as "(date)"."""
    if not os.path.exists(log_file):
        return []
    with open(log_file, encoding="utf-8", errors="replace") as f:
        lines = [line.rstrip("\n") for line in f]
    lines = [re.sub(r"( C: (?:NEWNEWS \S+|NEWGROUPS)) \d{6,8} \d{6}", r"\1 yymmdd hhmmss", line)
             for line in lines
             if " C: " in line or " A: " in line or line.rstrip().endswith("* connected")]
    return [re.sub(r"( A: Date: ).*", r"\1(date)", line) for line in lines]


def main():
    if len(sys.argv) < 5 or sys.argv[3] != "--":
        sys.exit(__doc__)
    server_file, log_file, command = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[4:]
    if os.path.exists(log_file):
        os.remove(log_file)
    server, port = start_server(server_file, log_file)
    try:
        run = subprocess.run(command, env=dict(os.environ, NEWS_PORT=port),
                             stdout=subprocess.PIPE)
    finally:
        server.send_signal(signal.SIGTERM)
        server.wait()
    out = run.stdout.decode("utf-8", errors="replace").replace(f"127.0.0.1:{port}",
                                                             "127.0.0.1:$NEWS_PORT")
    log = "".join(line + "\n" for line in client_lines(log_file))
    # The Message-ID the server gives a posted article holds the time of the post; a composed
    # Date header (in a saved article too) the time of composing.
    out = POSTED_ID.sub("<posted.TIME.", out + "server log:\n" + log)
    sys.stdout.write(DATE_LINE.sub("Date: (date)", out))
    sys.stdout.flush()
    return run.returncode


if __name__ == "__main__":
    sys.exit(main())
