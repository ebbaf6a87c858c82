#!/usr/bin/python3
"""The bundled demo FTP server: pyftpdlib on 127.0.0.1 serving a sample tree.

Usage: demo-server.py --home DIR [--port N]

DIR receives the sample tree (root/), made once, and a demo settings file
(data/Tidewell/TDWL23Settings.dat) whose Site 1 points at this server. The
chosen port is written to DIR/port once the server listens. Login: demo/demo.
"""
import argparse
import logging
import os
import random
import signal
import sys

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


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--home", required=True)
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()
    home = os.path.abspath(args.home)
    root = os.path.join(home, "root")
    make_sample_tree(root)

    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(USER, PASSWORD, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.banner = "Tidewell demo server ready."
    handler.passive_ports = range(42000, 42999)
    server = FTPServer(("127.0.0.1", args.port), handler)
    port = server.socket.getsockname()[1]

    write(os.path.join(home, "data", "Tidewell", "TDWL23Settings.dat"), settings_file(f"127.0.0.1:{port}"))
    write(os.path.join(home, "port"), str(port).encode())

    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))
    while not stop:
        server.serve_forever(timeout=0.2, blocking=False)
    server.close_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
