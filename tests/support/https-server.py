#!/usr/bin/env python3
"""A small HTTPS server for the tests, on 127.0.0.1 only.

Serves the files of --root with an ETag and Last-Modified, answering 304 to
a conditional request for an unchanged file, and a few fixed paths:
  /redirect-http/NAME   302 to http://127.0.0.1:PORT/NAME
  /redirect/NAME        302 to https://127.0.0.1:PORT/NAME
  /too-big/NAME         200 announcing 600 MiB, then a few bytes and the end
  /error/NAME           500
  /truncated/NAME       the file NAME announced 1000 bytes longer, cut off
The certificate (cert.pem, key.pem in --cert-dir) is made with the openssl
command when missing; a client trusts it by that cert.pem. The port goes to
--port-file once the server listens, each request as "METHOD PATH STATUS" to
--log. The server ends after --max-requests requests or --max-seconds
seconds, whichever comes first, or on SIGTERM.
"""
import argparse
import hashlib
import http.server
import os
import signal
import ssl
import subprocess
import sys
import time
from email.utils import formatdate, parsedate_to_datetime


def make_certificate(folder):
    cert = os.path.join(folder, "cert.pem")
    key = os.path.join(folder, "key.pem")
    if not (os.path.exists(cert) and os.path.exists(key)):
        subprocess.run(
            ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
             "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
             "-keyout", key, "-out", cert],
            check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    return cert, key


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--cert-dir", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--max-requests", type=int, default=200)
    parser.add_argument("--max-seconds", type=float, default=120)
    args = parser.parse_args()
    cert, key = make_certificate(args.cert_dir)
    log = open(args.log, "a", buffering=1)

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"
        timeout = 10

        def log_message(self, *_):
            pass

        def answer(self, status, headers=(), body=b"", length=None):
            log.write("%s %s %d\n" % (self.command, self.path, status))
            self.server.handled += 1
            self.send_response(status)
            for name, value in headers:
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(body) if length is None else length))
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)

        def do_GET(self):
            port = self.server.server_address[1]
            path = self.path.split("?", 1)[0]
            for prefix, scheme in (("/redirect-http/", "http"), ("/redirect/", "https")):
                if path.startswith(prefix):
                    target = "%s://127.0.0.1:%d/%s" % (scheme, port, path[len(prefix):])
                    return self.answer(302, [("Location", target)])
            if path.startswith("/error/"):
                return self.answer(500, body=b"broken\n")
            if path.startswith("/too-big/"):
                self.close_connection = True
                return self.answer(200, body=b"x" * 1024, length=600 << 20)
            truncated = path.startswith("/truncated/")
            if truncated:
                path = path[len("/truncated"):]
            file = os.path.realpath(os.path.join(args.root, path.lstrip("/")))
            if not file.startswith(os.path.realpath(args.root) + os.sep) or not os.path.isfile(file):
                return self.answer(404, body=b"not found\n")
            with open(file, "rb") as f:
                body = f.read()
            etag = '"%s"' % hashlib.sha256(body).hexdigest()[:16]
            mtime = int(os.stat(file).st_mtime)
            modified = formatdate(mtime, usegmt=True)
            headers = [("ETag", etag), ("Last-Modified", modified)]
            match = self.headers.get("If-None-Match")
            since = self.headers.get("If-Modified-Since")
            if match is not None:
                unchanged = etag in [m.strip() for m in match.split(",")]
            elif since is not None:
                try:
                    unchanged = mtime <= parsedate_to_datetime(since).timestamp()
                except (TypeError, ValueError):
                    unchanged = False
            else:
                unchanged = False
            if unchanged:
                return self.answer(304, headers, length=0)
            if truncated:
                self.close_connection = True
                return self.answer(200, headers, body, length=len(body) + 1000)
            self.answer(200, headers, body)

        do_HEAD = do_GET

    server = http.server.HTTPServer(("127.0.0.1", args.port), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    server.timeout = 0.5
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    with open(args.port_file + ".tmp", "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.rename(args.port_file + ".tmp", args.port_file)
    deadline = time.monotonic() + args.max_seconds
    server.handled = 0
    while server.handled < args.max_requests and time.monotonic() < deadline:
        server.handle_request()  # returns after server.timeout without a request
    server.server_close()


if __name__ == "__main__":
    main()
