#!/usr/bin/env python3
"""Runs a command beside a fresh local weather service, on the Linux side even
when the command is a Windows program under wine, and tells it where to look:

  SKYVIGIL_SERVICE_URL   http://127.0.0.1:<port> of the service
  SKYVIGIL_CLOSED_PORT   a loopback port where nothing listens
  SKYVIGIL_STALLED_PORT  a loopback listener whose accept queue is full, so
                         connection attempts to it are never answered
  SKYVIGIL_TLS_URL       https://127.0.0.1:<port> of a server whose certificate
                         is self-signed (unset when openssl is missing)

usage: with_service.py SERVICE_SCRIPT TLS_SERVICE_SCRIPT COMMAND [ARGUMENT...]
"""
import os
import socket
import subprocess
import sys
import tempfile


def closed_port():
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def stalled_listener():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    fillers = []
    for _ in range(3):
        filler = socket.socket()
        filler.setblocking(False)
        filler.connect_ex(listener.getsockname())
        fillers.append(filler)
    return listener, fillers


def start(command):
    """Starts a server that prints "PORT <n>" first; returns it and the port."""
    server = subprocess.Popen(command + ["--port", "0", "--watch-stdin"],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    line = server.stdout.readline().decode().strip()
    if not line.startswith("PORT "):
        server.kill()
        sys.exit(f"{command[1]} did not report its port: {line!r}")
    return server, line[5:]


def self_signed(folder):
    """A certificate for 127.0.0.1 that no system trusts; None without openssl."""
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    made = subprocess.call(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
         "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost",
         "-keyout", key, "-out", cert],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return (cert, key) if made == 0 else None


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    servers = []
    with tempfile.TemporaryDirectory() as folder:
        service, port = start([sys.executable, argv[1]])
        servers.append(service)
        listener, fillers = stalled_listener()
        environment = dict(os.environ,
                           SKYVIGIL_SERVICE_URL=f"http://127.0.0.1:{port}",
                           SKYVIGIL_CLOSED_PORT=str(closed_port()),
                           SKYVIGIL_STALLED_PORT=str(listener.getsockname()[1]))
        certificate = self_signed(folder)
        if certificate:
            tls, tls_port = start([sys.executable, argv[2], "--cert", certificate[0],
                                   "--key", certificate[1]])
            servers.append(tls)
            environment["SKYVIGIL_TLS_URL"] = f"https://127.0.0.1:{tls_port}"
        try:
            return subprocess.call(argv[3:], env=environment)
        finally:
            for server in servers:
                server.kill()
                server.wait()
            for filler in fillers:
                filler.close()
            listener.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
