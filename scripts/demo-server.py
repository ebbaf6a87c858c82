#!/usr/bin/python3
"""The bundled demo server: pyftpdlib (or SFTP) on 127.0.0.1 serving a sample tree.

Usage: demo-server.py --home DIR [--port N] [--tls | --sftp] [--preferences FILE [--downloads DIR]]
       demo-server.py --self-test

DIR receives the sample tree (root/), made once, and the demo settings file
(data/Tidewell/TDWL23Settings.dat), made once with Site 1 pointing at this
server. The port is the one of the last start (DIR/last-port) while it is
free, else any free one; it is written to DIR/port once the server listens.
When the port changed, only Site 1's address is rewritten in the settings file
(and only when it still names a demo address, 127.0.0.1:N), so whatever the
user saved there survives. --preferences points SettingsPath of that
Tidewell.conf at the demo settings file, so that a Save As elsewhere never
leaves the next start on a file whose Site 1 names a dead port; a missing
Tidewell.conf starts with Download To = --downloads (default DIR/downloads).
--tls requires FTP over TLS (explicit, AUTH TLS) on control and data
connections, with a self-signed certificate for localhost made on the first
such start (DIR/tls/), and Site 1's address becomes ftpes://127.0.0.1:N.
--sftp serves the same tree over SFTP instead (sftp_server.py beside this
script, paramiko), confined to it, with an ed25519 host key made on the first
such start and kept (DIR/sftp/), and Site 1's address becomes sftp://127.0.0.1:N.
Login: demo/demo.
"""
import argparse
import logging
import os
import random
import re
import signal
import subprocess
import sys
import tempfile

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

USER = "demo"
PASSWORD = "demo"
# Must match the password shift of the settings file.
PASSWORD_SHIFT = 7
HEADER = b"Tidewell V1.3 Settings\0"


def archive_string(data: bytes) -> bytes:
    n = len(data)
    if n < 0xFF:
        prefix = bytes([n])
    elif n < 0xFFFE:
        prefix = b"\xff" + n.to_bytes(2, "little")
    else:
        prefix = b"\xff\xff\xff" + n.to_bytes(4, "little")
    return prefix + data


def settings_file(address: str) -> bytes:
    sites = [(address, USER, PASSWORD, "")] + [("", "", "", "")] * 6
    out = bytearray(HEADER)
    for addr, user, password, directory in sites:
        encoded = bytes((b - PASSWORD_SHIFT) % 256 for b in password.encode())
        for field in (addr.encode(), user.encode(), encoded, directory.encode()):
            out += archive_string(field)
    return bytes(out)


def write(path: str, data: bytes) -> None:
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def replace_file(path: str, data: bytes) -> None:
    """Writes beside the target and renames over it, owner-only, as Tidewell does."""
    fd, tmp = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".demo-")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        os.replace(tmp, path)
    except BaseException:
        os.unlink(tmp)
        raise


def first_address_span(data: bytes):
    """(prefix, start, end) of Site 1's address: where its length prefix and its
    bytes begin, where they end; None when this is no settings file."""
    if not data.startswith(HEADER):
        return None
    at = prefix = len(HEADER)
    if at >= len(data):
        return None
    n, at = data[at], at + 1
    if n == 0xFF:
        n, at = int.from_bytes(data[at:at + 2], "little"), at + 2
        if n == 0xFFFF:
            n, at = int.from_bytes(data[at:at + 4], "little"), at + 4
    if at + n > len(data):
        return None
    return prefix, at, at + n


def update_site1(data: bytes, address: str):
    """The file with only Site 1's address set to ADDRESS, or None to leave it as it is.

    Only a stale demo address (127.0.0.1:N, another port or scheme) is replaced: an
    address the user typed there, an empty one and a file Tidewell would not
    read are kept. Every other byte stays as it was."""
    span = first_address_span(data)
    if span is None:
        return None
    prefix, start, end = span
    old = data[start:end]
    if old == address.encode() or not re.fullmatch(rb"((ftpes|sftp)://)?127\.0\.0\.1:\d+", old):
        return None
    return data[:prefix] + archive_string(address.encode()) + data[end:]


def ini_value(text: str) -> str:
    # Quoted, so that QSettings reads a path holding a comma as one string.
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def point_preferences(conf: str, settings: str, downloads: str) -> None:
    """Sets SettingsPath in [General] of Tidewell.conf to SETTINGS, leaving every
    other line as it is; a missing file starts with Path (Download To) = DOWNLOADS."""
    if os.path.exists(conf):
        with open(conf, encoding="utf-8") as f:
            lines = f.read().splitlines()
    else:
        lines = ["[General]", "Path=" + ini_value(downloads)]
    entry = "SettingsPath=" + ini_value(settings)
    section = None
    for i, line in enumerate(lines):
        if line.startswith("["):
            section = line.strip()
        elif section == "[General]" and line.split("=", 1)[0].strip() == "SettingsPath":
            if line == entry:
                return
            lines[i] = entry
            break
    else:
        if "[General]" in (l.strip() for l in lines):
            lines.insert([l.strip() for l in lines].index("[General]") + 1, entry)
        else:
            lines = ["[General]", entry, ""] + lines
    os.makedirs(os.path.dirname(conf), exist_ok=True)
    replace_file(conf, ("\n".join(lines) + "\n").encode())


def make_sample_tree(root: str) -> None:
    if os.path.isdir(root):
        return
    rng = random.Random(2026)
    tmp = root + ".partial"
    texts = {
        "README.txt": b"Welcome to the Tidewell demo server.\r\nLog in as demo/demo and browse around.\r\n",
        "docs/manual.html": b"<html><body><h1>Manual</h1><p>Nothing to see here.</p></body></html>\n",
        "docs/notes.md": b"# Notes\n\n- download a folder\n- upload a folder\n",
        "docs/report.pdf": b"%PDF-1.4\n% demo\n" + bytes(rng.randrange(256) for _ in range(20000)),
        "src/main.cpp": b"int main() { return 0; }\n",
        "src/engine.py": b"print('hello')\n",
        "src/build.sh": b"#!/bin/sh\necho build\n",
        "images/photo.jpg": b"\xff\xd8\xff\xe0" + bytes(rng.randrange(256) for _ in range(150000)),
        "images/diagram.png": b"\x89PNG\r\n\x1a\n" + bytes(rng.randrange(256) for _ in range(40000)),
        "images/icon.svg": b'<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"/>\n',
        "music/track01.mp3": b"ID3" + bytes(rng.randrange(256) for _ in range(300000)),
        "archive/backup.zip": b"PK\x03\x04" + bytes(rng.randrange(256) for _ in range(500000)),
        "archive/old/2019/log.txt": b"an old log\n" * 1000,
        "empty dir/.keep": b"",
        "name with blanks.txt": b"blanks are fine\n",
    }
    for rel, data in texts.items():
        write(os.path.join(tmp, rel), data)
    os.remove(os.path.join(tmp, "empty dir/.keep"))
    many = os.path.join(tmp, "many files")
    os.makedirs(many)
    for i in range(3000):
        with open(os.path.join(many, f"file{i:04d}.dat"), "wb") as f:
            f.write(b"x" * (i % 97))
    # A large-ish file for watching progress, throughput and time left.
    with open(os.path.join(tmp, "large.bin"), "wb") as f:
        block = bytes(rng.randrange(256) for _ in range(1 << 16))
        for _ in range(96 * 16):  # 96 MiB
            f.write(block)
    os.makedirs(os.path.join(tmp, "incoming"))
    os.rename(tmp, root)


def last_port(home: str) -> int:
    try:
        with open(os.path.join(home, "last-port")) as f:
            return int(f.read().strip())
    except (OSError, ValueError):
        return 0


def listen(handler, port: int) -> FTPServer:
    """The server on PORT, or on any free port when PORT is taken."""
    try:
        return FTPServer(("127.0.0.1", port), handler)
    except OSError:
        # pyftpdlib wraps the error and loses its errno: any failure on the
        # remembered port means "taken", a fresh port then.
        if port == 0:
            raise
        return FTPServer(("127.0.0.1", 0), handler)


def tls_handler(home: str):
    """A handler class that requires TLS, with the demo's own certificate."""
    from pyftpdlib.handlers import TLS_FTPHandler  # needs python3-openssl

    folder = os.path.join(home, "tls")
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    if not (os.path.exists(cert) and os.path.exists(key)):
        os.makedirs(folder, mode=0o700, exist_ok=True)
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                        "-out", cert, "-days", "3650", "-subj", "/CN=localhost"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    TLS_FTPHandler.certfile = cert
    TLS_FTPHandler.keyfile = key
    TLS_FTPHandler.tls_control_required = True
    TLS_FTPHandler.tls_data_required = True
    return TLS_FTPHandler


def ftp_service(home: str, root: str, port: int, tls: bool, stopped):
    """(serve until stopped() and close, the port listened on, Site 1's scheme)."""
    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, root, perm="elradfmwMT")
    handler = tls_handler(home) if tls else FTPHandler
    handler.authorizer = authorizer
    handler.banner = "Tidewell demo server ready."
    handler.passive_ports = range(42000, 42999)
    server = listen(handler, port)

    def serve():
        while not stopped():
            server.serve_forever(timeout=0.2, blocking=False)
        server.close_all()

    return serve, server.socket.getsockname()[1], "ftpes://" if tls else ""


def sftp_service(home: str, root: str, port: int, stopped):
    """The same for SFTP, with the demo's own host key."""
    import sftp_server  # beside this script; needs python3-paramiko

    server = sftp_server.Server(root, os.path.join(home, "sftp", "host_ed25519"), USER, PASSWORD, port,
                                anywhere=True)
    return lambda: server.serve(stopped), server.port, "sftp://"


def self_test() -> int:
    """The rewrite rule: only Site 1's address changes, and only when stale."""
    # A user edit in Site 1 and bytes after the seventh record, both to be kept.
    data = settings_file("127.0.0.1:2121").replace(b"\x04demo", b"\x05demo2", 1) + b"tail"
    new = update_site1(data, "127.0.0.1:40000")
    assert new == data.replace(b"\x0e127.0.0.1:2121", b"\x0f127.0.0.1:40000"), new
    assert update_site1(new, "127.0.0.1:40000") is None  # same port: untouched
    secure = update_site1(new, "ftpes://127.0.0.1:40000")  # --tls, and back
    assert update_site1(secure, "127.0.0.1:40000") == new, secure
    ssh = update_site1(secure, "sftp://127.0.0.1:40000")  # --sftp, and back
    assert update_site1(ssh, "127.0.0.1:40000") == new, ssh
    assert update_site1(settings_file("ftp.example.org"), "127.0.0.1:1") is None
    assert update_site1(b"not a settings file", "127.0.0.1:1") is None
    with tempfile.TemporaryDirectory() as d:
        conf = os.path.join(d, "Tidewell.conf")
        point_preferences(conf, "/a,b/s.dat", "/dl")
        with open(conf) as f:
            assert f.read() == '[General]\nSettingsPath="/a,b/s.dat"\nPath="/dl"\n'
        with open(conf, "w") as f:
            f.write("[General]\nPath=/x\nSettingsPath=/other.dat\nTooltips=0\n")
        point_preferences(conf, "/s.dat", "/dl")
        with open(conf) as f:
            assert f.read() == '[General]\nPath=/x\nSettingsPath="/s.dat"\nTooltips=0\n'
    print("demo-server self-test passed")
    return 0


def main() -> int:
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    parser = argparse.ArgumentParser()
    parser.add_argument("--home", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--preferences")
    parser.add_argument("--downloads")
    protocol = parser.add_mutually_exclusive_group()
    protocol.add_argument("--tls", action="store_true")
    protocol.add_argument("--sftp", action="store_true")
    args = parser.parse_args()
    home = os.path.abspath(args.home)
    root = os.path.join(home, "root")
    make_sample_tree(root)

    logging.basicConfig(level=logging.WARNING)
    stop = []
    if args.sftp:
        serve, port, scheme = sftp_service(home, root, args.port or last_port(home), lambda: bool(stop))
    else:
        serve, port, scheme = ftp_service(home, root, args.port or last_port(home), args.tls, lambda: bool(stop))
    write(os.path.join(home, "last-port"), str(port).encode())

    settings = os.path.join(home, "data", "Tidewell", "TDWL23Settings.dat")
    address = f"{scheme}127.0.0.1:{port}"
    if not os.path.exists(settings):
        write(settings, settings_file(address))
    else:
        with open(settings, "rb") as f:
            updated = update_site1(f.read(), address)
        if updated is not None:
            replace_file(settings, updated)
    if args.preferences:
        point_preferences(args.preferences, settings, args.downloads or os.path.join(home, "downloads"))
    write(os.path.join(home, "port"), str(port).encode())

    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))
    serve()
    return 0


if __name__ == "__main__":
    sys.exit(main())
