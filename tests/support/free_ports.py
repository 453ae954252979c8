#!/usr/bin/env python3
"""Prints COUNT loopback ports that nothing listens on, one a line.

    free_ports.py [COUNT]

The system picks them, so two tests started at once never get the same port
(ports made from process numbers did collide: neighbouring tests have
neighbouring numbers). Every socket stays bound until all are chosen, so the
ports differ from each other.
"""
import socket
import sys


def free_ports(count=1):
    sockets = [socket.socket() for _ in range(count)]
    try:
        for sock in sockets:
            sock.bind(("127.0.0.1", 0))
        return [sock.getsockname()[1] for sock in sockets]
    finally:
        for sock in sockets:
            sock.close()


if __name__ == "__main__":
    print("\n".join(str(port) for port in free_ports(int(sys.argv[1]) if len(sys.argv) > 1 else 1)))
