#!/usr/bin/python3
"""A real FTP server on 127.0.0.1 for the FTP tests, on a free port.

Prints the port on its first line, then serves until killed.
  --root DIR           the folder it serves (read-write for the user)
  --user U --password P
  --no-mlsd            answer MLSD as an older server does (500), so clients LIST
  --hostile            list names that try to leave the client's folder
  --slow BYTES         send at most BYTES per second (to cut a transfer short)
  --tls CERT           offer AUTH TLS with this certificate and key (one PEM)
"""
import argparse
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer
from pyftpdlib.handlers import BufferedIteratorProducer

# Names a server could list; a client must never use them as local paths.
# The last line has no line break, as some servers send it.
HOSTILE = [b"../evil", b"/etc/x", b"a/b", b"x\r\ny", b"..", b"ok.txt"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--user", default="ann")
    ap.add_argument("--password", default="secret")
    ap.add_argument("--no-mlsd", action="store_true")
    ap.add_argument("--hostile", action="store_true")
    ap.add_argument("--slow", type=int, default=0)
    ap.add_argument("--tls")
    a = ap.parse_args()

    base = FTPHandler
    if a.tls:
        from pyftpdlib.handlers import TLS_FTPHandler
        base = TLS_FTPHandler

    class Handler(base):
        proto_cmds = base.proto_cmds.copy()
        if a.no_mlsd:
            proto_cmds.pop("MLSD", None)

        if a.hostile:
            def ftp_MLSD(self, path):
                lines = [b"type=file;size=4; " + n + b"\r\n" for n in HOSTILE]
                lines[-1] = lines[-1].rstrip(b"\r\n")
                self.push_dtp_data(BufferedIteratorProducer(iter(lines)), isproducer=True,
                                   cmd="MLSD")
                return path

    auth = DummyAuthorizer()
    auth.add_user(a.user, a.password, a.root, perm="elradfmwMT")
    Handler.authorizer = auth
    Handler.passive_ports = None
    Handler.banner = "tarlo test server"
    if a.tls:
        Handler.certfile = a.tls
        Handler.tls_control_required = False
        Handler.tls_data_required = False
    if a.slow:
        dtp = ThrottledDTPHandler
        dtp.read_limit = a.slow
        dtp.write_limit = a.slow
        Handler.dtp_handler = dtp

    server = FTPServer(("127.0.0.1", 0), Handler)
    print(server.address[1], flush=True)
    sys.stdout.close()
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
