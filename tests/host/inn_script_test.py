#!/usr/bin/env python3
"""Runs a host script against the loopback INN server (tools/peers/inn2.sh) after posting the
articles it reads, and compares the transcript with the expected one.

    inn_script_test.py HOST MODULE SCRIPT EXPECTED WORK

The server's port is INN_READER_PORT (1119); the script finds it in NEWS_PORT. Without a server
the test is skipped (exit 77), unless KESTROVA_REQUIRE_PEERS is set.
"""
import difflib
import os
import shutil
import socket
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
GROUP = "local.charsets.test"


def listening(port):
    try:
        socket.create_connection(("127.0.0.1", port), timeout=2).close()
        return True
    except OSError:
        return False


def main():
    host, module, script, expected, work = map(os.path.abspath, sys.argv[1:6])
    port = int(os.environ.get("INN_READER_PORT") or 1119)
    if not listening(port):
        print(f"no news server on 127.0.0.1:{port}")
        sys.exit(1 if os.environ.get("KESTROVA_REQUIRE_PEERS") else 77)
    subprocess.run([sys.executable, os.path.join(HERE, "inn", "post_charsets.py"), str(port), GROUP],
                   check=True)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "home"))
    os.makedirs(os.path.join(work, "local"))
    env = dict(os.environ, KESTROVA_HOME=os.path.join(work, "home"), KESTROVA_MODULE=module,
               KESTROVA_LANG="eng", WORK=work, NEWS_PORT=str(port))
    run = subprocess.run([host, "--script", script], cwd=os.path.join(work, "local"), env=env,
                         stdout=subprocess.PIPE)
    actual = run.stdout.decode("utf-8", "replace").replace(work, "$WORK")
    if run.returncode:
        actual += f"[exit {run.returncode}]\n"
    with open(os.path.join(work, "actual.txt"), "w", encoding="utf-8") as out:
        out.write(actual)
    with open(expected, encoding="utf-8") as f:
        wanted = f.read()
    if actual != wanted:
        sys.stdout.writelines(difflib.unified_diff(wanted.splitlines(True), actual.splitlines(True),
                                                   expected, "actual"))
        sys.exit(f"the transcript differs from {expected}")


if __name__ == "__main__":
    main()
