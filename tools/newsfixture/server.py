"""The listening side: the news port and one thread per connection."""

import socket
import socketserver
import ssl
import threading

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

    @property
    def port(self) -> int:
        return self.server_address[1]

    def next_connection_number(self) -> int:
        with self._counter_lock:
            self._connections += 1
            return self._connections
