#!/usr/bin/python3
"""An FTP-aware delay proxy for the latency benchmark (loopback only).

  ftp-delay-proxy.py --target PORT --rtt-ms MS [--target-host 127.0.0.1]
                     [--port-file FILE] [--stats FILE] [--cut-at BYTES] [--plain]
  ftp-delay-proxy.py --probe DIRECT_PORT PROXY_PORT [--rounds N]

Listens on 127.0.0.1 on a free port, prints "PORT <n>" once it listens (and
writes the number to --port-file), and forwards every control connection to
the FTP server at --target. It rewrites 227 (PASV) and 229 (EPSV) replies and
PORT/EPRT commands so that every data connection runs through it as well:
passive, it listens on a new port for the client and connects onward to the
server's data port; active, it listens on a new port for the server and
connects onward to the client's. Each direction of every connection is a delay
line: what arrives is written on, in order, half the round trip later, while
later bytes keep arriving, so the delay costs round trips, not bandwidth.

--plain relays every connection as it is, without reading it as FTP, for
other protocols (SFTP): each counts as a data connection in --stats.

TCP handshakes are the kernel's and are not delayed: a new connection through
the proxy costs what its first bytes cost, where a real path adds a round trip
for each connect. Plain FTP only (TLS hides the addresses to rewrite).

--cut-at: once that many bytes were delivered on data connections, every connection
open then is shut down both ways, as a dropped link would end them; later
connections are relayed as before.

Runs until SIGTERM or SIGINT; --stats then gets "control N data N bytes N"
(connections accepted and bytes delivered on data connections), which shows that
the data went through the proxy.

--probe times, direct to the server and through the proxy, a connect up to the
greeting and a NOOP round trip (medians), and prints both.
"""

import argparse
import collections
import os
import re
import signal
import socket
import statistics
import sys
import threading
import time

CHUNK = 1 << 20
# What one direction may hold before its reader waits: far above what loopback
# moves in half of a 100 ms round trip at the speeds a single process reaches
# here, so the line delays without throttling.
LIMIT = 256 << 20
# An announced data port nobody connects to is given up after this.
ACCEPT_TIMEOUT = 120.0

threading.stack_size(512 * 1024)  # thousands of short threads

stats_lock = threading.Lock()
stats = {"control": 0, "data": 0, "bytes": 0}


cut = {"at": None, "done": False}
pairs_lock = threading.Lock()
pairs = set()


def count(key, n=1):
    with stats_lock:
        stats[key] += n
        fire = key == "bytes" and cut["at"] is not None and not cut["done"] and stats["bytes"] >= cut["at"]
        if fire:
            cut["done"] = True
    if fire:
        with pairs_lock:
            current = list(pairs)
        for pair in current:
            pair.abort()


def tune(sock):
    # The delay line sends whole chunks; Nagle would hold back a short reply.
    try:
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    except OSError:
        pass


class DelayLine:
    """One direction of one connection: bytes read from src are written to
    dst at their arrival time plus delay, in order."""

    def __init__(self, pair, src, dst, delay, rewriter=None, data=False):
        self.pair, self.src, self.dst, self.delay = pair, src, dst, delay
        self.rewriter, self.data = rewriter, data
        self.queue = collections.deque()
        self.queued = 0
        self.cond = threading.Condition()
        self.dead = False

    def start(self):
        threading.Thread(target=self._read, daemon=True).start()
        threading.Thread(target=self._write, daemon=True).start()

    def _put(self, arrival, chunk):
        with self.cond:
            while chunk is not None and self.queued > LIMIT and not self.dead:
                self.cond.wait()
            self.queue.append((arrival + self.delay, chunk))
            if chunk is not None:
                self.queued += len(chunk)
            self.cond.notify_all()

    def _read(self):
        try:
            while True:
                chunk = self.src.recv(CHUNK)
                arrival = time.monotonic()
                if not chunk:
                    break
                if self.rewriter:
                    chunk = self.rewriter.feed(chunk)
                    if not chunk:
                        continue
                self._put(arrival, chunk)
        except OSError:
            pass
        if self.rewriter:
            rest = self.rewriter.flush()
            if rest:
                self._put(time.monotonic(), rest)
        self._put(time.monotonic(), None)

    def _write(self):
        try:
            while True:
                parts = []
                end = False
                with self.cond:
                    while not self.queue:
                        self.cond.wait()
                    now = time.monotonic()
                    due = self.queue[0][0]
                    if due > now:
                        self.cond.wait(due - now)
                        continue
                    # Everything due goes in one go.
                    while self.queue and self.queue[0][0] <= now:
                        chunk = self.queue.popleft()[1]
                        if chunk is None:
                            end = True
                            break
                        parts.append(chunk)
                        self.queued -= len(chunk)
                    self.cond.notify_all()
                for part in parts:
                    self.dst.sendall(part)
                    if self.data:
                        count("bytes", len(part))  # delivered: what the far side could keep
                if end:
                    self.dst.shutdown(socket.SHUT_WR)
                    break
        except OSError:
            # The far side is gone: stop both directions.
            with self.cond:
                self.dead = True
                self.cond.notify_all()
            self.pair.abort()
        self.pair.ended()


class Pair:
    """Two sockets joined by a delay line each way; closed when both ended."""

    def __init__(self, a, b, delay, a_to_b=None, b_to_a=None, data=False):
        self.a, self.b = a, b
        tune(a)
        tune(b)
        self.lock = threading.Lock()
        self.open = 2
        self.lines = [DelayLine(self, a, b, delay, a_to_b, data), DelayLine(self, b, a, delay, b_to_a, data)]
        with pairs_lock:
            pairs.add(self)
        for line in self.lines:
            line.start()

    def abort(self):
        for sock in (self.a, self.b):
            try:
                sock.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def ended(self):
        with self.lock:
            self.open -= 1
            last = self.open == 0
        if last:
            with pairs_lock:
                pairs.discard(self)
            self.a.close()
            self.b.close()


def connect_or_close(address, other):
    """A blocking connection to address; None, with `other` closed, when it fails."""
    try:
        far = socket.create_connection(address, timeout=30)
    except OSError:
        other.close()
        return None
    far.settimeout(None)
    return far


def relay_one(listener, onward, delay):
    """Takes one connection on listener, connects to onward, relays both ways."""
    try:
        listener.settimeout(ACCEPT_TIMEOUT)
        conn, _ = listener.accept()
        conn.settimeout(None)
    except OSError:
        listener.close()
        return
    listener.close()
    far = connect_or_close(onward, conn)
    if far is None:
        return
    count("data")
    Pair(conn, far, delay, data=True)


def data_listener(host, onward, delay):
    """A new port on host whose one connection goes on to onward; its number."""
    family = socket.AF_INET6 if ":" in host else socket.AF_INET
    listener = socket.socket(family, socket.SOCK_STREAM)
    listener.bind((host, 0))
    listener.listen(1)
    threading.Thread(target=relay_one, args=(listener, onward, delay), daemon=True).start()
    return listener.getsockname()[1]


class Lines:
    """Cuts a control stream into whole lines, rewriting each as it completes."""

    def __init__(self, rewrite):
        self.rewrite = rewrite
        self.rest = b""

    def feed(self, chunk):
        buf = self.rest + chunk
        cut = buf.rfind(b"\n") + 1
        self.rest = buf[cut:]
        return b"".join(self.rewrite(line) for line in buf[:cut].splitlines(keepends=True))

    def flush(self):
        rest, self.rest = self.rest, b""
        return rest


PASV = re.compile(rb"^(227[ -].*?)(\d+),(\d+),(\d+),(\d+),(\d+),(\d+)(.*)$", re.S)
EPSV = re.compile(rb"^(229[ -].*?\()(.)(\2)(\2)(\d+)(\2)(\).*)$", re.S)
PORT = re.compile(rb"^PORT (\d+),(\d+),(\d+),(\d+),(\d+),(\d+)\s*$", re.S | re.I)
EPRT = re.compile(rb"^EPRT (.)(\d)\1([^|]+)\1(\d+)\1\s*$", re.S | re.I)


def port_words(host, port):
    return ",".join(host.split(".") + [str(port >> 8), str(port & 255)]).encode()


def eprt_words(host, port):
    family = b"2" if ":" in host else b"1"
    return b"|" + family + b"|" + host.encode() + b"|" + str(port).encode() + b"|"


def control(client, server_addr, delay):
    server = connect_or_close(server_addr, client)
    if server is None:
        return
    count("control")
    client_side = client.getsockname()[0]  # where the client reaches us
    server_side = server.getsockname()[0]  # where the server reaches us
    server_host = server.getpeername()[0]
    client_host = client.getpeername()[0]

    def reply(line):
        # The server's data port is reached at its control address, as careful clients do.
        m = PASV.match(line)
        if m:
            port = int(m.group(6)) * 256 + int(m.group(7))
            ours = data_listener(client_side, (server_host, port), delay)
            if ":" in client_side:
                return line  # a 227 cannot name an IPv6 address; the client uses EPSV there
            return m.group(1) + port_words(client_side, ours) + m.group(8)
        m = EPSV.match(line)
        if m:
            ours = data_listener(client_side, (server_host, int(m.group(5))), delay)
            d = m.group(2)
            return m.group(1) + d + d + d + str(ours).encode() + d + m.group(7)
        return line

    def command(line):
        m = PORT.match(line)
        if m and ":" not in server_side:
            host = ".".join(x.decode() for x in m.group(1, 2, 3, 4))
            port = int(m.group(5)) * 256 + int(m.group(6))
            ours = data_listener(server_side, (host, port), delay)
            return b"PORT " + port_words(server_side, ours) + b"\r\n"
        m = EPRT.match(line)
        if m:
            host = m.group(3).decode()
            ours = data_listener(server_side, (host or client_host, int(m.group(4))), delay)
            return b"EPRT " + eprt_words(server_side, ours) + b"\r\n"
        return line

    Pair(client, server, delay, Lines(command), Lines(reply))


def plain(client, target, delay):
    """A connection relayed as it is, both ways delayed: for protocols other than FTP."""
    far = connect_or_close(target, client)
    if far is None:
        return
    count("data")
    Pair(client, far, delay, data=True)


def serve(args):
    delay = args.rtt_ms / 2000.0
    handler = plain if args.plain else control
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(128)
    port = listener.getsockname()[1]

    def stop(*_):
        if args.stats:
            try:
                with stats_lock, open(args.stats, "w") as out:
                    out.write("control %(control)d data %(data)d bytes %(bytes)d\n" % stats)
            except OSError:
                pass  # the caller's folder is gone: nobody is waiting for them
        os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as out:
            out.write("%d\n" % port)
        os.replace(args.port_file + ".tmp", args.port_file)
    sys.stdout.write("PORT %d\n" % port)
    sys.stdout.flush()
    target = (args.target_host, args.target)
    while True:
        try:
            client, _ = listener.accept()
        except InterruptedError:
            continue
        threading.Thread(target=handler, args=(client, target, delay), daemon=True).start()


def read_reply(f):
    line = f.readline()
    code = line[:3]
    if line[3:4] == b"-":
        while not (line[:3] == code and line[3:4] == b" "):
            line = f.readline()
            if not line:
                break
    return code


def probe(port, rounds):
    """The median seconds of a connect up to the greeting, and of a NOOP round trip."""
    greetings, noops = [], []
    for _ in range(max(3, rounds // 4)):
        start = time.monotonic()
        sock = socket.create_connection(("127.0.0.1", port), timeout=30)
        tune(sock)
        f = sock.makefile("rb")
        if read_reply(f) != b"220":
            raise SystemExit("probe: no greeting on port %d" % port)
        greetings.append(time.monotonic() - start)
        for _ in range(rounds):
            start = time.monotonic()
            sock.sendall(b"NOOP\r\n")
            read_reply(f)
            noops.append(time.monotonic() - start)
        sock.sendall(b"QUIT\r\n")
        read_reply(f)
        sock.close()
    return statistics.median(greetings), statistics.median(noops)


def main():
    parser = argparse.ArgumentParser(description="FTP-aware delay proxy (loopback only)")
    parser.add_argument("--target", type=int, help="the FTP server's port")
    parser.add_argument("--target-host", default="127.0.0.1")
    parser.add_argument("--rtt-ms", type=float, default=0.0)
    parser.add_argument("--port-file")
    parser.add_argument("--stats")
    parser.add_argument("--cut-at", type=int)
    parser.add_argument("--plain", action="store_true", help="relay without rewriting (not FTP)")
    parser.add_argument("--probe", nargs=2, type=int, metavar=("DIRECT_PORT", "PROXY_PORT"))
    parser.add_argument("--rounds", type=int, default=20)
    args = parser.parse_args()
    if args.probe:
        g0, n0 = probe(args.probe[0], args.rounds)
        g1, n1 = probe(args.probe[1], args.rounds)
        print("NOOP round trip: direct %.2f ms, through the proxy %.2f ms (adds %.2f ms)"
              % (n0 * 1e3, n1 * 1e3, (n1 - n0) * 1e3))
        print("connect to greeting: direct %.2f ms, through the proxy %.2f ms (adds %.2f ms)"
              % (g0 * 1e3, g1 * 1e3, (g1 - g0) * 1e3))
        return
    if args.target is None:
        parser.error("--target is needed")
    if args.target_host not in ("127.0.0.1", "::1", "localhost"):
        parser.error("the target must be on this machine")
    cut["at"] = args.cut_at
    serve(args)


if __name__ == "__main__":
    main()
