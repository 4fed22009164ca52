"""The listening side: the news port, one thread per connection, and the control port.

Control port protocol (one line in, one line out):
  GET              -> OK <knobs as JSON>
  SET <json>       -> OK        changes the given knobs (new rules start with fresh counters)
  RESET            -> OK        back to the knobs the server was started with
  STATE            -> OK {"connections": n, "commands": [[connection, "command line"], ...]}
  anything else, or knobs that cannot be applied -> ERR <reason>
"""

import json
import socket
import socketserver
import ssl
import threading

from .controls import ControlError
from .session import Session


class _NewsHandler(socketserver.BaseRequestHandler):
    def handle(self):
        server = self.server
        connection = self.request
        if server.tls_context is not None:
            connection.settimeout(10)
            try:
                connection = server.tls_context.wrap_socket(connection, server_side=True)
            except (ssl.SSLError, OSError):
                return  # the client refused the certificate or spoke no TLS
            connection.settimeout(None)
        number = server.next_connection_number()
        Session(connection, number, server.spool, server.controls, server.log,
                server.control_file).run()


class _ControlHandler(socketserver.StreamRequestHandler):
    def handle(self):
        for line in self.rfile:
            answer = self.server.news_server.control(line.decode("utf-8").strip())
            self.wfile.write(answer.encode("utf-8") + b"\n")
            self.wfile.flush()


class _ThreadingServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


class NewsServer(_ThreadingServer):
    """Serves a spool on host:port (port 0 picks a free port; see `port`); host may be an IPv6
    address. With tls_certificate (a PEM file holding the certificate, and the key unless
    tls_key names it) every connection speaks TLS from its first byte."""

    def __init__(self, spool, controls, log, host="127.0.0.1", port=0, control_file=None,
                 tls_certificate=None, tls_key=None):
        if ":" in host:
            self.address_family = socket.AF_INET6
        self.tls_context = None
        if tls_certificate:
            self.tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.tls_context.load_cert_chain(tls_certificate, tls_key)
        super().__init__((host, port), _NewsHandler)
        self.spool = spool
        self.controls = controls
        self.log = log
        self.control_file = control_file
        self._connections = 0
        self._counter_lock = threading.Lock()
        self.control_server = None

    @property
    def port(self) -> int:
        return self.server_address[1]

    def next_connection_number(self) -> int:
        with self._counter_lock:
            self._connections += 1
            return self._connections

    def open_control_port(self, port=0) -> int:
        """Starts the control port on the same host in a thread of its own; returns its port."""
        self.control_server = _ThreadingServer((self.server_address[0], port), _ControlHandler)
        self.control_server.news_server = self
        threading.Thread(target=self.control_server.serve_forever, daemon=True).start()
        return self.control_server.server_address[1]

    def control(self, line: str) -> str:
        verb, _, argument = line.partition(" ")
        verb = verb.upper()
        try:
            if verb == "GET":
                return "OK " + json.dumps(self.controls.snapshot())
            if verb == "SET":
                self.controls.update(json.loads(argument))
                return "OK"
            if verb == "RESET":
                self.controls.reset()
                return "OK"
            if verb == "STATE":
                with self._counter_lock:
                    connections = self._connections
                return "OK " + json.dumps({"connections": connections,
                                           "commands": self.log.commands()})
        except (ControlError, ValueError) as error:
            return f"ERR {error}"
        return f"ERR unknown control command {verb!r}"

    def server_close(self):
        if self.control_server:
            self.control_server.shutdown()
            self.control_server.server_close()
        super().server_close()
