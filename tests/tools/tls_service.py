#!/usr/bin/python3
"""An HTTPS server with a self-signed certificate, for the TLS failure tests.

Answers every GET or POST with a valid current-conditions answer, so that only
the certificate stands between a client and the data.

Usage: tls_service.py --cert FILE --key FILE [--port 0] [--watch-stdin] [--log-refusals]
The first line on stdout is "PORT <n>". With --log-refusals, every handshake the
client breaks off adds a line "REFUSED <epoch seconds>".
"""

import argparse
import json
import os
import ssl
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ANSWER = json.dumps({
    "location": {"name": "Selfsigned", "region": "Loopback", "country": "Nowhere"},
    "current": {"temp_f": 99.5, "condition": {"text": "Untrusted"}},
}).encode("utf-8")


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        pass

    def answer(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length > 0:
            self.rfile.read(length)
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(ANSWER)))
        self.end_headers()
        self.wfile.write(ANSWER)

    do_GET = answer
    do_POST = answer


class Server(ThreadingHTTPServer):
    daemon_threads = True
    context = None
    log_refusals = False

    def finish_request(self, request, client_address):
        # The handshake runs on the connection's own thread, so a refusal is
        # seen (and logged) the moment the client breaks it off.
        try:
            secure = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            if self.log_refusals:
                print(f"REFUSED {time.time():.3f}", flush=True)
            return
        try:
            super().finish_request(secure, client_address)
        finally:
            secure.close()

    def handle_error(self, request, client_address):
        pass  # refused handshakes are the point of this server


def watch_stdin():
    while os.read(sys.stdin.fileno(), 4096):
        pass
    os._exit(0)


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--watch-stdin", action="store_true")
    parser.add_argument("--log-refusals", action="store_true")
    options = parser.parse_args(argv)

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(options.cert, options.key)
    server = Server(("127.0.0.1", options.port), Handler)
    server.context = context
    server.log_refusals = options.log_refusals
    print(f"PORT {server.server_address[1]}", flush=True)
    if options.watch_stdin:
        threading.Thread(target=watch_stdin, daemon=True).start()
    server.serve_forever(poll_interval=0.2)


if __name__ == "__main__":
    main(sys.argv[1:])
