#!/usr/bin/env python3
"""Runs a command beside a fixture news server and appends the server's exchange log.

    run_with_news_server.py SERVER_FILE LOG_FILE -- COMMAND...

SERVER_FILE holds the server's arguments (shell words, '#' lines are comments); relative paths
in it are relative to its own folder. The server listens on a free loopback port, which the
command finds in NEWS_PORT. The command's output comes first, then "server log:" and the
connections, the commands and the posted lines of the exchange log. What depends on the time
reads the same in every run: the dates NEWNEWS and NEWGROUPS send as "yymmdd hhmmss", Date
headers written in the run as "Date: (date)", the Message-IDs of posted articles as
<posted.TIME.n@...>. The exit code is the command's. With KESTROVA_TIME_LIMIT set (seconds), a command still
running past it is killed and the run fails.
"""
import email.utils
import os
import re
import shlex
import subprocess
import sys
import time

FIXTURE_SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                              "fixture_news_server.py")
TIMES = [(re.compile(r"( C: (?:NEWNEWS \S+|NEWGROUPS)) \d{6,8} \d{6}"), r"\1 yymmdd hhmmss"),
         (re.compile(r"( A: Date: ).*"), r"\1(date)"),
         (re.compile(r"Date: [A-Z][a-z]{2}, \d\d [A-Z][a-z]{2} \d{4} \d\d:\d\d:\d\d \+0000"),
          lambda match: "Date: (date)" if is_recent(match.group(0)[6:]) else match.group(0)),
         (re.compile(r"<posted\.\d+\."), "<posted.TIME.")]


def is_recent(date):
    """A Date header's value written in this run (within a day of now), not an article's own."""
    return abs(email.utils.parsedate_to_datetime(date).timestamp() - time.time()) < 86400


def start_server(args, log_file, folder=None):
    """Starts the fixture server with these arguments in folder; returns it and its port."""
    server = subprocess.Popen([sys.executable, FIXTURE_SERVER, "--port", "0", "--log", log_file,
                               *args], cwd=folder, stdout=subprocess.PIPE, text=True)
    first = server.stdout.readline().split()
    if len(first) != 2 or first[0] != "PORT":
        server.wait()
        sys.exit(f"the fixture news server did not start (exit {server.returncode})")
    return server, first[1]


def main():
    if len(sys.argv) < 5 or sys.argv[3] != "--":
        sys.exit(__doc__)
    server_file, log_file, command = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[4:]
    if os.path.exists(log_file):
        os.remove(log_file)
    with open(server_file, encoding="utf-8") as f:
        args = [w for line in f if not line.lstrip().startswith("#") for w in shlex.split(line)]
    server, port = start_server(args, log_file, os.path.dirname(os.path.abspath(server_file)))
    # The caller's time limit stops the command too: a host that hangs is not left running.
    limit = float(os.environ.get("KESTROVA_TIME_LIMIT", "0")) or None
    try:
        run = subprocess.run(command, env=dict(os.environ, NEWS_PORT=port),
                             stdout=subprocess.PIPE, timeout=limit)
    finally:
        server.terminate()
        server.wait()
    out = run.stdout.decode("utf-8", errors="replace").replace(f"127.0.0.1:{port}",
                                                             "127.0.0.1:$NEWS_PORT")
    out += "server log:\n"
    if os.path.exists(log_file):
        with open(log_file, encoding="utf-8", errors="replace") as f:
            out += "".join(line.rstrip("\n") + "\n" for line in f if " C: " in line
                           or " A: " in line
                           or line.rstrip().endswith(("* connected", "* compression on")))
    for pattern, replacement in TIMES:
        out = pattern.sub(replacement, out)
    sys.stdout.write(out)
    sys.stdout.flush()
    return run.returncode


if __name__ == "__main__":
    sys.exit(main())
