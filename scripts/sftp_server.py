#!/usr/bin/python3
"""SFTP over paramiko, confined to one folder: the demo's --sftp and the tests' scripted server.

Usage: sftp_server.py --root DIR --host-key FILE [--user U] [--password P] [--port N] [--mode MODE]

Prints "PORT <n>" once it listens on 127.0.0.1, then serves until stdin closes
or it is terminated. Log-in by password only. The host key (ed25519, OpenSSH
format, FILE and FILE.pub for `ssh-keygen -lf`) is made when FILE is missing
and kept, so a client that trusted it once finds it again.

--mode:
  normal   the folder as it is.
  hostile  makes hostile/ below the root (once) holding normal.txt, a link loop
           a -> b and b -> a, and up -> .. (a directory link to its own parent,
           so a tree that follows links never ends). Listing hostile/ also shows
           entries no file system holds, none of which can be reached:
           "../escape.txt", "/abs.txt" and "sub/inner.txt" (files, names with "/"),
           "." and ".." (files, not directories), "" (an empty name),
           "line\\nbreak.txt" (a newline), "\\x1b[31mred.txt" (ESC, a control
           character) and a file whose name is 300 bytes long.

Every path a client names is walked inside the root one component at a time
through directory descriptors: ".." stops at the root and a link's target is
read as if the root were "/", so neither a path nor a link leads out, and a
folder swapped for a link between two requests is refused, not followed.
"""
import argparse
import ctypes
import errno
import functools
import os
import posixpath
import signal
import socket
import stat
import sys
import threading

import paramiko
from paramiko import SFTPAttributes, SFTPHandle, SFTPServer, SFTPServerInterface, ServerInterface
from paramiko.sftp import CMD_INIT, CMD_VERSION, SFTP_OK, SFTPError
from paramiko.message import Message

# Each link followed counts, as in the kernel's own limit.
MAX_LINK_HOPS = 40
RENAME_NOREPLACE = 1
# OpenSSH's client keeps 64 requests of 32 KiB in flight: a window that holds
# them all keeps uploads streaming instead of waiting on window adjustments.
WINDOW = 8 << 20


def _message_bytes(data, _general=paramiko.common.asbytes):
    return data.asbytes() if isinstance(data, Message) else _general(data)


# paramiko 2.12 turns each message it sends into bytes only after failing to
# and formatting the message's whole repr into that error's text: for data
# packets that was most of the server's time. Messages go straight to bytes.
for _module in (paramiko.packet, paramiko.sftp):
    if hasattr(_module, "asbytes"):
        _module.asbytes = _message_bytes

_renameat2 = ctypes.CDLL(None, use_errno=True).renameat2
_renameat2.argtypes = [ctypes.c_int, ctypes.c_char_p, ctypes.c_int, ctypes.c_char_p, ctypes.c_uint]


def answers_errors(method):
    """OSError becomes the SFTP status a client understands."""

    @functools.wraps(method)
    def wrapper(*args):
        try:
            return method(*args)
        except OSError as e:
            return SFTPServer.convert_errno(e.errno)

    return wrapper


class Place:
    """Where a path leads: `name` in the directory `dir` (a descriptor), `path`
    as the client sees it, `st` its lstat (None when it does not exist).
    Owns the descriptors of the directories walked through."""

    def __init__(self, fds, parts, name, st):
        self._fds, self.name, self.st = fds, name, st
        self.dir = fds[-1]
        self.path = "/" + "/".join(parts + ([] if name == "." else [name]))

    def __enter__(self):
        return self

    def __exit__(self, *_):
        for fd in self._fds:
            os.close(fd)

    def existing(self):
        if self.st is None:
            raise OSError(errno.ENOENT, "no such file")
        return self.st


class Jail:
    def __init__(self, root):
        self._root = os.open(root, os.O_PATH | os.O_DIRECTORY | os.O_CLOEXEC)

    def resolve(self, path, follow=True):
        """The Place `path` names; `follow`: a link in the last component is followed too."""
        pending = path.split("/")[::-1]  # the next component last
        fds, parts, hops = [os.dup(self._root)], [], 0
        try:
            while pending:
                part = pending.pop()
                if part in ("", "."):
                    continue
                if part == "..":
                    if parts:
                        parts.pop()
                        os.close(fds.pop())
                    continue
                last = all(p in ("", ".") for p in pending)
                try:
                    st = os.stat(part, dir_fd=fds[-1], follow_symlinks=False)
                except FileNotFoundError:
                    if last:
                        return Place(fds, parts, part, None)
                    raise
                if stat.S_ISLNK(st.st_mode) and (follow or not last):
                    hops += 1
                    if hops > MAX_LINK_HOPS:
                        raise OSError(errno.ELOOP, "too many links")
                    target = os.readlink(part, dir_fd=fds[-1])
                    if target.startswith("/"):
                        for fd in fds[1:]:
                            os.close(fd)
                        del fds[1:], parts[:]
                    pending.extend(target.split("/")[::-1])
                    continue
                if last:
                    return Place(fds, parts, part, st)
                fds.append(os.open(part, os.O_PATH | os.O_DIRECTORY | os.O_NOFOLLOW | os.O_CLOEXEC, dir_fd=fds[-1]))
                parts.append(part)
            return Place(fds, parts, ".", os.stat(".", dir_fd=fds[-1]))
        except BaseException:
            for fd in fds:
                os.close(fd)
            raise


def set_attributes(attr, chmod, utime, truncate):
    if attr.st_mode is not None:
        chmod(attr.st_mode & 0o7777)
    if attr.st_atime is not None and attr.st_mtime is not None:
        utime((attr.st_atime, attr.st_mtime))
    if attr.st_size is not None:
        truncate(attr.st_size)


class FileHandle(SFTPHandle):
    """An open file read and written at the offsets asked, so resuming works."""

    def __init__(self, fd, flags):
        super().__init__(flags)
        self._fd = fd

    @answers_errors
    def read(self, offset, length):
        return os.pread(self._fd, length, offset)

    @answers_errors
    def write(self, offset, data):
        view, done = memoryview(data), 0
        while done < len(view):
            done += os.pwrite(self._fd, view[done:], offset + done)
        return SFTP_OK

    @answers_errors
    def stat(self):
        return SFTPAttributes.from_stat(os.fstat(self._fd))

    @answers_errors
    def chattr(self, attr):
        set_attributes(attr, lambda m: os.chmod(self._fd, m), lambda t: os.utime(self._fd, t),
                       lambda n: os.truncate(self._fd, n))
        return SFTP_OK

    def close(self):
        if self._fd >= 0:
            os.close(self._fd)
            self._fd = -1


def hostile_entries():
    def entry(name, mode, size=5):
        attr = SFTPAttributes()
        attr.filename, attr.st_mode, attr.st_size = name, mode, size
        attr.st_uid = attr.st_gid = 0
        attr.st_atime = attr.st_mtime = 1704067200  # 2024-01-01
        return attr

    files = ["../escape.txt", "/abs.txt", "sub/inner.txt", ".", "..", "", "line\nbreak.txt", "\x1b[31mred.txt",
             "long-" + "x" * 295]
    return [entry(name, stat.S_IFREG | 0o644) for name in files]


def make_hostile_tree(root):
    folder = os.path.join(root, "hostile")
    if os.path.isdir(folder):
        return
    os.mkdir(folder)
    with open(os.path.join(folder, "normal.txt"), "w") as f:
        f.write("normal\n")
    os.symlink("b", os.path.join(folder, "a"))
    os.symlink("a", os.path.join(folder, "b"))
    os.symlink("..", os.path.join(folder, "up"))


class JailedSftp(SFTPServerInterface):
    """The SFTP requests, each on a path resolved inside the jail."""

    def __init__(self, server, jail, hostile):
        super().__init__(server)
        self._jail, self._hostile = jail, hostile

    @answers_errors
    def list_folder(self, path):
        with self._jail.resolve(path) as place:
            fd = os.open(place.name, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW | os.O_CLOEXEC, dir_fd=place.dir)
            try:
                with os.scandir(fd) as entries:
                    names = [SFTPAttributes.from_stat(e.stat(follow_symlinks=False), e.name) for e in entries]
            finally:
                os.close(fd)
            if self._hostile and place.path == "/hostile":
                names += hostile_entries()
        return names

    @answers_errors
    def stat(self, path):
        with self._jail.resolve(path) as place:
            return SFTPAttributes.from_stat(place.existing())

    @answers_errors
    def lstat(self, path):
        with self._jail.resolve(path, follow=False) as place:
            return SFTPAttributes.from_stat(place.existing())

    @answers_errors
    def open(self, path, flags, attr):
        mode = attr.st_mode & 0o7777 if attr is not None and attr.st_mode is not None else 0o666
        with self._jail.resolve(path) as place:
            fd = os.open(place.name, flags | os.O_NOFOLLOW | os.O_CLOEXEC, mode, dir_fd=place.dir)
        return FileHandle(fd, flags)

    @answers_errors
    def remove(self, path):
        with self._jail.resolve(path, follow=False) as place:
            os.unlink(place.name, dir_fd=place.dir)
        return SFTP_OK

    @answers_errors
    def rename(self, oldpath, newpath):
        """Refused when the target exists, atomically (renameat2's RENAME_NOREPLACE)."""
        with self._jail.resolve(oldpath, follow=False) as old, self._jail.resolve(newpath, follow=False) as new:
            if _renameat2(old.dir, os.fsencode(old.name), new.dir, os.fsencode(new.name), RENAME_NOREPLACE) != 0:
                code = ctypes.get_errno()
                if code != errno.EINVAL or new.st is not None:
                    raise OSError(code, os.strerror(code))
                # A file system without RENAME_NOREPLACE: the target was missing when looked at.
                os.rename(old.name, new.name, src_dir_fd=old.dir, dst_dir_fd=new.dir)
        return SFTP_OK

    @answers_errors
    def posix_rename(self, oldpath, newpath):
        with self._jail.resolve(oldpath, follow=False) as old, self._jail.resolve(newpath, follow=False) as new:
            os.replace(old.name, new.name, src_dir_fd=old.dir, dst_dir_fd=new.dir)
        return SFTP_OK

    @answers_errors
    def mkdir(self, path, attr):
        mode = attr.st_mode & 0o7777 if attr is not None and attr.st_mode is not None else 0o777
        with self._jail.resolve(path, follow=False) as place:
            os.mkdir(place.name, mode, dir_fd=place.dir)
        return SFTP_OK

    @answers_errors
    def rmdir(self, path):
        with self._jail.resolve(path, follow=False) as place:
            os.rmdir(place.name, dir_fd=place.dir)
        return SFTP_OK

    @answers_errors
    def chattr(self, path, attr):
        with self._jail.resolve(path) as place:
            def truncate(size):
                fd = os.open(place.name, os.O_WRONLY | os.O_NOFOLLOW | os.O_CLOEXEC, dir_fd=place.dir)
                try:
                    os.truncate(fd, size)
                finally:
                    os.close(fd)

            set_attributes(attr, lambda m: os.chmod(place.name, m, dir_fd=place.dir),
                           lambda t: os.utime(place.name, t, dir_fd=place.dir, follow_symlinks=False), truncate)
        return SFTP_OK

    def canonicalize(self, path):
        """The path with its links resolved inside the root; lexically where it cannot be walked."""
        try:
            with self._jail.resolve(path) as place:
                return place.path
        except OSError:
            return posixpath.normpath("/" + path)

    @answers_errors
    def readlink(self, path):
        with self._jail.resolve(path, follow=False) as place:
            return os.readlink(place.name, dir_fd=place.dir)


class AnnouncingSftpServer(SFTPServer):
    """paramiko answers posix-rename@openssh.com but never says so: announce it,
    so that clients use it for a rename that replaces its target atomically."""

    def _send_server_version(self):
        kind, data = self._read_packet()
        if kind != CMD_INIT:
            raise SFTPError("Incompatible sftp protocol")
        msg = Message()
        msg.add_int(3)
        msg.add("posix-rename@openssh.com", "1", "check-file", "md5,sha1")
        self._send_packet(CMD_VERSION, msg)
        return Message(data).get_int()


class PasswordLogin(ServerInterface):
    def __init__(self, user, password):
        self._user, self._password = user, password

    def get_allowed_auths(self, username):
        return "password"

    def check_auth_password(self, username, password):
        ok = (username, password) == (self._user, self._password)
        return paramiko.AUTH_SUCCESSFUL if ok else paramiko.AUTH_FAILED

    def check_channel_request(self, kind, chanid):
        return paramiko.OPEN_SUCCEEDED if kind == "session" else paramiko.OPEN_FAILED_ADMINISTRATIVELY_PROHIBITED


def host_key(path):
    """The ed25519 key at `path`, made (with `path`.pub) when missing."""
    if not os.path.exists(path):
        from cryptography.hazmat.primitives import serialization as s
        from cryptography.hazmat.primitives.asymmetric.ed25519 import Ed25519PrivateKey

        key = Ed25519PrivateKey.generate()
        os.makedirs(os.path.dirname(path), mode=0o700, exist_ok=True)
        with open(path + ".pub", "wb") as f:
            f.write(key.public_key().public_bytes(s.Encoding.OpenSSH, s.PublicFormat.OpenSSH) + b"\n")
        partial = path + ".partial"
        with open(os.open(partial, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600), "wb") as f:
            f.write(key.private_bytes(s.Encoding.PEM, s.PrivateFormat.OpenSSH, s.NoEncryption()))
        os.replace(partial, path)
    return paramiko.Ed25519Key(filename=path)


class Server:
    """Listens on 127.0.0.1:`port` (any free port when 0, or when `port` is taken
    and `anywhere`) and serves each connection on paramiko's own threads."""

    def __init__(self, root, key_path, user, password, port=0, anywhere=False, hostile=False):
        self._jail, self._key, self._hostile = Jail(root), host_key(key_path), hostile
        self._login = PasswordLogin(user, password)
        self._transports = []
        try:
            self._listener = socket.create_server(("127.0.0.1", port))
        except OSError:
            if not (port and anywhere):
                raise
            self._listener = socket.create_server(("127.0.0.1", 0))
        self._listener.settimeout(0.2)
        self.port = self._listener.getsockname()[1]

    def serve(self, stopped):
        """Until stopped() is true; then every session ends."""
        while not stopped():
            try:
                sock, _ = self._listener.accept()
            except socket.timeout:
                continue
            sock.settimeout(None)
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            transport = paramiko.Transport(sock, default_window_size=WINDOW)
            transport.add_server_key(self._key)
            transport.set_subsystem_handler("sftp", AnnouncingSftpServer, JailedSftp, self._jail, self._hostile)
            transport.start_server(event=threading.Event(), server=self._login)
            self._transports = [t for t in self._transports if t.is_active()] + [transport]
        self._listener.close()
        for transport in self._transports:
            transport.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--host-key", required=True)
    parser.add_argument("--user", default="tester")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--mode", choices=("normal", "hostile"), default="normal")
    args = parser.parse_args()
    if args.mode == "hostile":
        make_hostile_tree(args.root)
    server = Server(args.root, args.host_key, args.user, args.password, args.port, hostile=args.mode == "hostile")
    sys.stdout.write("PORT %d\n" % server.port)
    sys.stdout.flush()

    stop = threading.Event()

    def until_stdin_closes():
        while os.read(sys.stdin.fileno(), 4096):
            pass
        stop.set()

    threading.Thread(target=until_stdin_closes, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    server.serve(stop.is_set)
    return 0


if __name__ == "__main__":
    sys.exit(main())
