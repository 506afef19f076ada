#!/usr/bin/python3
"""A real FTP server on 127.0.0.1 for the FTP tests, on a free port.

Prints the port on its first line, then serves until killed.
  --root DIR           the folder it serves (read-write for the user)
  --user U --password P
  --no-mlsd            answer MLSD as an older server does (500), so clients LIST
  --hostile            list names that try to leave the client's folder
  --slow BYTES         send and take at most BYTES per second (to cut a transfer short)
  --perm PERMS         the user's rights (pyftpdlib letters; without "f" no rename)
  --locked NAME        a folder under the root (made if missing) the user may only
                       list and read; may be given more than once
  --tls CERT           offer AUTH TLS with the certificate CERT and the key CERT.key,
                       both made first (self-signed, for 127.0.0.1) when CERT is missing
"""
import argparse
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer
from pyftpdlib.handlers import BufferedIteratorProducer

# Names a server could list; a client must never use them as local paths.
# The last line has no line break, as some servers send it.
HOSTILE = [b"../evil", b"/etc/x", b"a/b", b"x\r\ny", b"..", b"ok.txt"]


def make_certificate(cert_path):
    from OpenSSL import crypto
    key = crypto.PKey()
    key.generate_key(crypto.TYPE_RSA, 2048)
    cert = crypto.X509()
    cert.get_subject().CN = "127.0.0.1"
    cert.set_serial_number(1)
    cert.gmtime_adj_notBefore(-60)
    cert.gmtime_adj_notAfter(24 * 3600)
    cert.set_issuer(cert.get_subject())
    cert.set_pubkey(key)
    cert.set_version(2)
    cert.add_extensions([
        crypto.X509Extension(b"subjectAltName", False, b"IP:127.0.0.1"),
        crypto.X509Extension(b"basicConstraints", True, b"CA:TRUE"),
    ])
    cert.sign(key, "sha256")
    with open(cert_path, "wb") as f:
        f.write(crypto.dump_certificate(crypto.FILETYPE_PEM, cert))
    with open(cert_path + ".key", "wb") as f:
        f.write(crypto.dump_privatekey(crypto.FILETYPE_PEM, key))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--user", default="ann")
    ap.add_argument("--password", default="secret")
    ap.add_argument("--no-mlsd", action="store_true")
    ap.add_argument("--hostile", action="store_true")
    ap.add_argument("--slow", type=int, default=0)
    ap.add_argument("--tls")
    ap.add_argument("--perm", default="elradfmwMT")
    ap.add_argument("--locked", action="append", default=[])
    a = ap.parse_args()

    base = FTPHandler
    if a.tls:
        from pyftpdlib.handlers import TLS_FTPHandler
        base = TLS_FTPHandler

    class Handler(base):
        proto_cmds = base.proto_cmds.copy()
        if a.no_mlsd:
            proto_cmds.pop("MLSD", None)

        if a.tls:
            # pyftpdlib's TLS data connections reset a client that starts the
            # handshake before its LIST or RETR (as libcurl does), so this
            # server encrypts the control connection (login, commands) only.
            def ftp_PROT(self, line):
                self.respond("536 PROT P not offered by this test server.")

        if a.hostile:
            def ftp_MLSD(self, path):
                lines = [b"type=file;size=4; " + n + b"\r\n" for n in HOSTILE]
                lines[-1] = lines[-1].rstrip(b"\r\n")
                self.push_dtp_data(BufferedIteratorProducer(iter(lines)), isproducer=True,
                                   cmd="MLSD")
                return path

    auth = DummyAuthorizer()
    auth.add_user(a.user, a.password, a.root, perm=a.perm)
    for name in a.locked:
        locked = os.path.join(a.root, name)
        os.makedirs(locked, exist_ok=True)
        auth.override_perm(a.user, locked, "elr", recursive=True)
    Handler.authorizer = auth
    Handler.passive_ports = None
    Handler.banner = "tarlo test server"
    if a.tls:
        if not os.path.exists(a.tls):
            make_certificate(a.tls)
        Handler.certfile = a.tls
        Handler.keyfile = a.tls + ".key"
        # pyftpdlib's data connections do not resume TLS 1.3 sessions.
        from OpenSSL import SSL
        Handler.ssl_protocol = SSL.TLSv1_2_METHOD
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
