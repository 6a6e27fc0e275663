#!/usr/bin/python3
"""An FTP server for the tests, on a free port of 127.0.0.1, serving DIR/root
to one user (name and password given). With --no-replace it refuses to
rename onto a file that exists, as some servers do. With --tls it requires TLS on the
control and the data connection (explicit, AUTH TLS) with a certificate for
127.0.0.1 made for the run (DIR/cert.pem, also the CA file a client trusts).
DIR/port is written once it listens; it stops by itself after --lifetime
seconds."""
import argparse
import errno
import os
import subprocess
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("dir")
parser.add_argument("--user", default="publisher")
parser.add_argument("--password", default="secret")
parser.add_argument("--tls", action="store_true")
parser.add_argument("--no-replace", action="store_true")
parser.add_argument("--lifetime", type=float, default=300)
args = parser.parse_args()

root = os.path.join(args.dir, "root")
os.makedirs(root, exist_ok=True)
authorizer = DummyAuthorizer()
authorizer.add_user(args.user, args.password, root, perm="elradfmwMT")
handler = FTPHandler
if args.tls:
    cert = os.path.join(args.dir, "cert.pem")
    key = os.path.join(args.dir, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    handler = TLS_FTPHandler
    handler.certfile = cert
    handler.keyfile = key
    handler.tls_control_required = True
    handler.tls_data_required = True
    # Clients resume the control connection's TLS session on each data
    # connection, which needs a session id context on the server.
    # Clients resume the control connection's TLS session on each data
    # connection, which needs a session id context on the server.
    handler.get_ssl_context().set_session_id(b"kestrin-test")

    class DataChannel(TLS_DTPHandler):
        # A client may start its TLS handshake on a data connection before it
        # sends the command of the transfer; this server took that for a
        # connection closed.
        def readable(self):
            if not self._ssl_established and not self.receive and not self._initialized:
                return True
            return super().readable()

    handler.dtp_handler = DataChannel
handler.authorizer = authorizer
if args.no_replace:
    class NoReplace(AbstractedFS):
        def rename(self, src, dst):
            if os.path.lexists(dst):
                raise OSError(errno.EEXIST, "File exists")
            super().rename(src, dst)

    handler.abstracted_fs = NoReplace
handler.passive_ports = None
handler.masquerade_address = None
handler.banner = "test server"

server = FTPServer(("127.0.0.1", 0), handler)
server.max_cons = 16
with open(os.path.join(args.dir, "port.tmp"), "w") as out:
    out.write(str(server.address[1]) + "\n")
os.rename(os.path.join(args.dir, "port.tmp"), os.path.join(args.dir, "port"))
threading.Timer(args.lifetime, server.close_all).start()
server.serve_forever(timeout=1, blocking=True)
