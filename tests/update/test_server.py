#!/usr/bin/env python3
"""Loopback HTTP server for the transfer tests: answers that a well-behaved static server does
not give (cut short, without a length, stalled, slow, password-protected, a part where the
whole was asked for, an endless error page) and an echo of the request's headers. Usage: test_server.py PORT"""
import base64
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlparse


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def answer(self, status, body, length=None, headers=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        if length is not None:
            self.send_header("Content-Length", str(length))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def do_GET(self):
        url = urlparse(self.path)
        q = {k: v[0] for k, v in parse_qs(url.query).items()}
        n = int(q.get("len", "1000"))
        # The first segment chooses the answer, so "/slow/wavelark" is a slow file too.
        route = "/" + url.path.split("/")[1]
        if route == "/bigerror":
            # An error page of any size, made as it is sent.
            self.send_response(404)
            self.send_header("Content-Length", str(n))
            self.end_headers()
            chunk = b"<p>not here</p>" * 4096
            sent = 0
            while sent < n:
                part = chunk[: n - sent]
                self.wfile.write(part)
                sent += len(part)
            return
        body = bytes((i * 7) % 251 for i in range(n))
        if route == "/short":
            self.answer(200, body[: int(q.get("send", n // 2))], length=n)
        elif route == "/unlengthed":
            self.answer(200, body)
        elif route == "/stall":
            time.sleep(float(q.get("for", "20")))
        elif route == "/stallbody":
            self.answer(200, body[:100], length=n)
            time.sleep(float(q.get("for", "20")))
        elif route == "/slow":
            self.send_response(200)
            self.send_header("Content-Length", str(n))
            self.end_headers()
            step = max(1, n // 10)
            for i in range(0, n, step):
                self.wfile.write(body[i : i + step])
                self.wfile.flush()
                time.sleep(float(q.get("pause", "0.15")))
        elif route == "/auth":
            expected = "Basic " + base64.b64encode(b"ann:s3cret").decode()
            if self.headers.get("Authorization") == expected:
                self.answer(200, b"granted", length=7)
            else:
                self.answer(401, b"refused", length=7,
                            headers=[("WWW-Authenticate", 'Basic realm="Updates"')])
        elif route == "/partial":
            self.answer(206, body, length=n,
                        headers=[("Content-Range", f"bytes 0-{n - 1}/{2 * n}")])
        elif route == "/echo":
            text = "".join(f"{k}: {v}\n" for k, v in self.headers.items()).encode()
            self.answer(200, text, length=len(text))
        else:
            self.answer(404, b"not here", length=8)


class QuietServer(ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # clients that hang up early are part of the tests


if __name__ == "__main__":
    server = QuietServer(("127.0.0.1", int(sys.argv[1])), Handler)
    server.daemon_threads = True
    server.serve_forever()
