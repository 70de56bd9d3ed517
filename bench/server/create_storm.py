#!/usr/bin/env python3
"""A storm of private desks against a desk-server process of its own, on loopback only.

Each of --desks links connects from one of --addresses loopback addresses (127.0.0.1, 127.0.0.2,
...), says hello with a new token, sends "create", reads the answer and closes: the seat is held
for --away-hold seconds, then freed. Prints the server's resident memory (VmRSS) before, at the
storm's end, once the held seats are gone and --settle seconds later (the server tidies its hall
every minute, and forgets a token a minute after its last hello), and how the "create"s were
answered. STORM_LOG=1 lets the server log to stderr.

    bench/server/create_storm.py --server build/bin/desk-server [--desks 16000]
                                 [--addresses 1] [--away-hold 20] [--settle 125]
"""

import argparse
import json
import os
import secrets
import socket
import struct
import subprocess
import sys
import time


def frame(text):
    data = text.encode()
    return struct.pack("<I", len(data)) + data


def read_text(sock):
    head = b""
    while len(head) < 4:
        chunk = sock.recv(4 - len(head))
        if not chunk:
            return None
        head += chunk
    (length,) = struct.unpack("<I", head)
    body = b""
    while len(body) < length:
        chunk = sock.recv(length - len(body))
        if not chunk:
            return None
        body += chunk
    return json.loads(body)


def rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def create_once(port, address):
    """One link: hello, create, the answer's kind ("add", "create" refused, ...), close."""
    with socket.create_connection(("127.0.0.1", port), timeout=5, source_address=(address, 0)) as sock:
        sock.sendall(frame(json.dumps({"opt": "hello", "token": secrets.token_hex(16)})))
        sock.sendall(frame('{"opt":"create"}'))
        while True:
            msg = read_text(sock)
            if msg is None:
                return "closed"
            if msg.get("opt") in ("add", "create"):
                return msg["opt"] + (" " + msg["reason"] if "reason" in msg else "")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", required=True)
    parser.add_argument("--desks", type=int, default=16000)
    parser.add_argument("--addresses", type=int, default=1)
    parser.add_argument("--away-hold", type=float, default=20)
    parser.add_argument("--settle", type=float, default=125)
    options = parser.parse_args()

    port = free_port()
    server = subprocess.Popen([options.server, "--port", str(port), "--no-records", *(["--quiet"] if not os.environ.get("STORM_LOG") else []),
                               "--away-hold", str(options.away_hold)])
    try:
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                time.sleep(0.05)
        time.sleep(0.5)
        before = rss_mib(server.pid)
        answers = {}
        started = time.monotonic()
        for index in range(options.desks):
            address = "127.0.%d.%d" % (index % options.addresses // 254, index % options.addresses % 254 + 1)
            answer = create_once(port, address)
            answers[answer] = answers.get(answer, 0) + 1
        storm = time.monotonic() - started
        peak = rss_mib(server.pid)
        time.sleep(options.away_hold + 3)
        after = rss_mib(server.pid)
        time.sleep(options.settle)
        settled = rss_mib(server.pid)
        alive = server.poll() is None
    finally:
        server.terminate()
        server.wait()
    print(f"{options.desks} creates from {options.addresses} address(es) in {storm:.1f} s: {answers}")
    print(f"VmRSS MiB: before {before:.1f}, storm's end {peak:.1f}, "
          f"after the held seats ({options.away_hold:g} s) {after:.1f}, "
          f"{options.settle:g} s later {settled:.1f}; server alive: {alive}")
    return 0 if alive else 1


if __name__ == "__main__":
    sys.exit(main())
