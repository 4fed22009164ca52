#!/usr/bin/env python3
"""A news server for tests and demos: serves a spool folder on loopback.

Prints "PORT <n>" on standard output once it listens, then serves until it is killed.
See tools/README.md for the spool layout and the controls."""

import argparse
import os
import signal
import ssl
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from newsfixture.controls import ControlError, ControlFile, Controls  # noqa: E402
from newsfixture.exchange_log import ExchangeLog  # noqa: E402
from newsfixture.server import NewsServer  # noqa: E402
from newsfixture.spool import Spool, SpoolError  # noqa: E402


def _user(text: str):
    name, colon, password = text.partition(":")
    if not colon or not name:
        raise argparse.ArgumentTypeError("expected USER:PASSWORD (PASSWORD may be empty)")
    return name, password


def _refusal(text: str):
    command, equals, reply = text.partition("=")
    if not equals or not command.strip() or not reply.strip():
        raise argparse.ArgumentTypeError('expected COMMAND=REPLY, e.g. "NEWNEWS=502 disabled"')
    return {"command": command.strip(), "reply": reply.strip()}


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--spool", required=True, help="folder with the groups file and articles")
    parser.add_argument("--host", default="127.0.0.1", help="address to bind (default loopback)")
    parser.add_argument("--port", type=int, default=0, help="news port; 0 picks a free one")
    parser.add_argument("--tls-cert", help="serve TLS with this PEM certificate (and key)")
    parser.add_argument("--tls-key", help="the PEM key, when not in the --tls-cert file")
    parser.add_argument("--controls", help="JSON file of controls, reloaded when it changes")
    parser.add_argument("--log", help="append the C:/S: exchange to this file")
    parser.add_argument("--volatile", action="store_true",
                        help="keep posted articles in memory; never write into the spool")
    parser.add_argument("--greeting", help='greeting line, e.g. "201 no posting"')
    parser.add_argument("--user", type=_user, action="append", default=[],
                        metavar="USER:PASSWORD", help="an account for AUTHINFO (repeatable)")
    parser.add_argument("--require-auth", action="store_true",
                        help="answer 480 to reader commands until AUTHINFO succeeded")
    parser.add_argument("--require-auth-for", action="append", default=[], metavar="COMMAND",
                        help="answer 480 to this command until AUTHINFO succeeded (repeatable)")
    parser.add_argument("--capabilities", action="store_true",
                        help="answer CAPABILITIES, OVER, XOVER and LIST OVERVIEW.FMT")
    parser.add_argument("--compress", action="store_true",
                        help="with --capabilities: offer and answer COMPRESS DEFLATE")
    parser.add_argument("--transit", action="store_true",
                        help="answer 401 MODE-READER to reader commands until MODE READER")
    parser.add_argument("--delay-ms", type=int, help="delay every reply by this many ms")
    parser.add_argument("--drop-after-bytes", type=int,
                        help="close each connection once it has sent this many bytes")
    parser.add_argument("--refuse", type=_refusal, action="append", default=[],
                        metavar="COMMAND=REPLY", help="answer a command with this line always")
    return parser.parse_args(argv)


def knobs_from_arguments(arguments) -> dict:
    knobs = {}
    if arguments.greeting is not None:
        knobs["greeting"] = arguments.greeting
    if arguments.user:
        knobs["users"] = dict(arguments.user)
    if arguments.require_auth:
        knobs["require_auth"] = True
    elif arguments.require_auth_for:
        knobs["require_auth"] = arguments.require_auth_for
    for name in ("capabilities", "transit", "compress"):
        if getattr(arguments, name):
            knobs[name] = True
    for name in ("delay_ms", "drop_after_bytes"):
        if getattr(arguments, name) is not None:
            knobs[name] = getattr(arguments, name)
    if arguments.refuse:
        knobs["rules"] = arguments.refuse
    return knobs


def _stop(signum, frame):
    raise SystemExit(0)


def main(argv=None) -> int:
    arguments = parse_arguments(argv)
    try:
        spool = Spool(arguments.spool, volatile=arguments.volatile)
        controls = Controls(knobs_from_arguments(arguments))
        control_file = ControlFile(arguments.controls, controls) if arguments.controls else None
        server = NewsServer(spool, controls, ExchangeLog(arguments.log), arguments.host,
                            arguments.port, control_file, arguments.tls_cert, arguments.tls_key)
    except (SpoolError, ControlError, OSError, ssl.SSLError) as error:
        print(f"fixture news server: {error}", file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, _stop)
    try:
        print(f"PORT {server.port}", flush=True)
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
        server.log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
