#!/usr/bin/env python3
"""Loopback HTTP test server for download scenarios. Usage: http_server.py WORKDIR [--tls]
Prints one JSON line with its ports ("port", "closed_port", and "tls_port" with
--tls), then serves until stopped. Every request is appended to
WORKDIR/requests.log as "METHOD PATH | header: value; ..."."""
import json
import os
import socket
import ssl
import subprocess
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

WORKDIR = sys.argv[1]
# 100,000 bytes that are not all alike, so a shifted or partial copy shows.
PAYLOAD = bytes((i * 7 + i // 256) % 256 for i in range(100000))
LOCK = threading.Lock()
TLS_PORT = [0]  # the https listener's port, for /to-tls


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def record(self):
        heads = "; ".join(f"{k.lower()}: {v}" for k, v in self.headers.items())
        with LOCK, open(os.path.join(WORKDIR, "requests.log"), "a") as f:
            f.write(f"{self.command} {self.path} | {heads}\n")

    def send_body(self, status, body, length=None, extra=()):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        for k, v in extra:
            self.send_header(k, v)
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def chunked(self):
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        for i in range(0, len(PAYLOAD), 7000):
            part = PAYLOAD[i:i + 7000]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
        self.wfile.write(b"0\r\n\r\n")

    def do_GET(self):
        self.record()
        path = self.path.split("?")[0]
        self.close_connection = True
        if path in ("/file.bin", "/dir/setup.msi"):
            self.send_body(200, PAYLOAD)
        elif path == "/chunked.bin":
            self.chunked()
        elif path == "/short.bin":
            self.send_body(200, PAYLOAD[:5000], length=len(PAYLOAD))
        elif path == "/stall.bin":
            # Headers, then silence: a server that stops answering.
            self.send_body(200, b"", length=len(PAYLOAD))
            time.sleep(30)
        elif path == "/redirect":
            self.send_body(302, b"moved", extra=[("Location", "/file.bin")])
        elif path == "/to-tls":
            self.send_body(301, b"", extra=[("Location", f"https://127.0.0.1:{TLS_PORT[0]}/file.bin")])
        elif path == "/loop":
            self.send_body(302, b"again", extra=[("Location", "/loop")])
        elif path == "/private/file.bin":
            if self.headers.get("Authorization") == "Basic dXNlcjpzZWNyZXQ=":  # user:secret
                self.send_body(200, PAYLOAD)
            else:
                self.send_body(401, b"who are you", extra=[("WWW-Authenticate", 'Basic realm="t"')])
        elif path == "/error":
            self.send_body(500, b"<html>server error page</html>")
        else:
            self.send_body(404, b"<html>not found page</html>")


def closed_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def tls_server():
    cert, key = os.path.join(WORKDIR, "cert.pem"), os.path.join(WORKDIR, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(cert, key)
    server.socket = ctx.wrap_socket(server.socket, server_side=True)
    return server


def main():
    servers = {"port": ThreadingHTTPServer(("127.0.0.1", 0), Handler)}
    if "--tls" in sys.argv:
        servers["tls_port"] = tls_server()
    info = {name: s.server_address[1] for name, s in servers.items()}
    TLS_PORT[0] = info.get("tls_port", 0)
    info["closed_port"] = closed_port()
    for s in servers.values():
        s.daemon_threads = True
        threading.Thread(target=s.serve_forever, daemon=True).start()
    with open(os.path.join(WORKDIR, "payload.bin"), "wb") as f:
        f.write(PAYLOAD)
    print(json.dumps(info), flush=True)
    sys.stdin.read()  # the runner closes our input to stop us


if __name__ == "__main__":
    main()
