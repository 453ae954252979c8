#!/usr/bin/env python3
"""The draw service program against hostile clients, one behaviour a case.

    draw_service_sturdy_test.py CASE DRAW_SERVICE
    draw_service_sturdy_test.py CASE EMULATOR... DRAW_SERVICE.exe   (under Wine)

Every request goes to 127.0.0.1; every loop is bounded in count and time.
"""
import os
import select
import socket
import subprocess
import sys
import tempfile
import threading
import time

LIST = "/static/info/kaijiang/xml/sd/list10.xml"
VERSION = "/zelkor3d/version.txt"
SERVICE = sys.argv[2:]
PORT = 20000 + (os.getpid() * 7) % 20000
HOST = f"127.0.0.1:{PORT}"
WORK = tempfile.mkdtemp()


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


class Service:
    """The service program on PORT, its standard output kept line by line."""

    def __init__(self, *args):
        self.lines = []
        self.process = subprocess.Popen(
            SERVICE + [str(PORT), *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        threading.Thread(target=self._keep, daemon=True).start()
        deadline = time.monotonic() + 60
        while not any(line.startswith(b"serving on") for line in self.lines):
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.process.kill()
                fail(f"no service: {self.process.stderr.read().decode(errors='replace')}")
            time.sleep(0.05)

    def _keep(self):
        for line in self.process.stdout:
            self.lines.append(line.rstrip(b"\r\n"))

    def stop(self):
        self.process.terminate()
        self.process.wait(30)
        time.sleep(0.2)  # the last lines


def run_refused(*args):
    """Runs the service expecting it to refuse to start: (exit code, stderr, seconds)."""
    start = time.monotonic()
    done = subprocess.run(SERVICE + [str(PORT), *args], capture_output=True, timeout=60)
    return done.returncode, done.stderr, time.monotonic() - start


def connect():
    return socket.create_connection(("127.0.0.1", PORT), timeout=10)


def read_answer(sock, limit=65 << 20):
    """(status, head, body) of one answer, read to its end or the connection's."""
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = sock.recv(65536)
        if not chunk:
            return 0, data, b""
        data += chunk
    head, _, rest = data.partition(b"\r\n\r\n")
    body = bytearray(rest)
    length = None
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value)
    while (length is None or len(body) < length) and len(body) < limit:
        chunk = sock.recv(65536)
        if not chunk:
            break
        body += chunk
    return int(head.split(b" ")[1]), head, bytes(body)


def request(path=LIST, headers=(), host=HOST, extra=b""):
    """One GET on a new connection: (status, head, body)."""
    lines = [f"GET {path} HTTP/1.1", "Connection: close"]
    if host is not None:
        lines.append(f"Host: {host}")
    lines += list(headers)
    with connect() as sock:
        sock.sendall(("\r\n".join(lines) + "\r\n\r\n").encode() + extra)
        return read_answer(sock)


def send_then_answer(data):
    """Sends `data` as far as the service takes it, then its answer's status."""
    with connect() as sock:
        try:
            sock.sendall(data)
        except OSError:
            pass  # the service stopped reading: the answer says why
        try:
            return read_answer(sock)[0]
        except OSError:
            return 0


def history_text(draws):
    """A valid history of `draws` draws, 999 a year from 2000."""
    lines = ["issue,date,digits"]
    for k in range(draws):
        year = 2000 + k // 999
        lines.append(f"{year}{k % 999 + 1:03d},{year}-12-31,{k % 1000:03d}")
    return "\n".join(lines) + "\n"


def write(name, content):
    path = os.path.join(WORK, name)
    with open(path, "wb") as file:
        file.write(content if isinstance(content, bytes) else content.encode())
    return path


# --- one case a fault -----------------------------------------------------------------


def case_ranges(service):
    whole = request()
    check(whole[0] == 200, f"plain fetch: {whole[0]}")
    many = request(headers=["Range: bytes=" + ",".join(["0-"] * 2700)])
    check(many[0] == 200 and many[2] == whole[2],
          f"2700 ranges: {many[0]}, {len(many[2])} bytes (the whole is {len(whole[2])})")
    one = request(headers=["Range: bytes=0-9"])
    check(one[0] == 200 and one[2] == whole[2], f"one range: {one[0]}, {len(one[2])} bytes")


def case_request_size(service):
    head = f"GET {LIST} HTTP/1.1\r\nHost: {HOST}\r\n".encode()
    many_lines = b"".join(b"X-%d: a\r\n" % k for k in range(200))
    cases = [
        ("one endless header line", head + b"X-Long: " + b"a" * (4 << 20), 431),
        ("an endless request line", b"GET /" + b"a" * (4 << 20), 431),
        ("200 short header lines", head + many_lines + b"\r\n", 431),
        ("a 100 MiB body announced",
         head + b"Content-Length: 104857600\r\n\r\n" + b"a" * (1 << 20), 413),
        ("a chunked body", head + b"Transfer-Encoding: chunked\r\n\r\n10\r\n" + b"a" * 16, 413),
        ("99 header lines", head + many_lines[:many_lines.index(b"X-98:")] + b"\r\n", 200),
    ]
    for name, data, want in cases:
        start = time.monotonic()
        status = send_then_answer(data)
        seconds = time.monotonic() - start
        check(status == want and seconds < 3, f"{name}: {status} after {seconds:.1f} s (want {want})")


def case_port_in_use(service):
    code, err, _ = run_refused("--latest", "3")
    check(code == 1 and f"port {PORT} is in use".encode() in err,
          f"a second service on the port: exit {code}, {err!r}")
    rows = [request()[2].count(b"<row ") for _ in range(20)]
    check(all(r == rows[0] and r > 3 for r in rows), f"fetches split between services: {rows}")


def case_slow_clients(service):
    # 64 clients that each send three bytes every two seconds.
    slow = [connect() for _ in range(64)]
    answers = {}

    def trickle(k, sock):
        data = f"GET {LIST} HTTP/1.1\r\nHost: {HOST}\r\nX: ".encode() + b"a" * 60
        try:
            for sent in range(0, len(data), 3):
                sock.sendall(data[sent:sent + 3])
                if select.select([sock], [], [], 2)[0]:
                    break
            answers[k] = read_answer(sock)[0]
        except OSError:
            answers[k] = 0

    threads = [threading.Thread(target=trickle, args=(k, s)) for k, s in enumerate(slow)]
    for thread in threads:
        thread.start()
    time.sleep(1)
    times = []
    for _ in range(3):
        start = time.monotonic()
        status = request()[0]
        times.append(time.monotonic() - start)
        check(status == 200, f"a fetch beside slow clients: {status}")
    check(max(times) < 1, f"fetches beside 64 slow clients took {times}")
    for thread in threads:
        thread.join(20)
    for sock in slow:
        sock.close()
    check(sorted(set(answers.values())) == [408] and len(answers) == 64,
          f"slow clients were answered {sorted(answers.values())}")


def case_many_clients(service):
    results = []

    def fetch():
        try:
            results.append(request()[0])
        except OSError as error:
            results.append(str(error))

    threads = [threading.Thread(target=fetch) for _ in range(200)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(60)
    check(results == [200] * 200, f"200 clients at once: {[r for r in results if r != 200][:5]}")


def case_history_bound(_):
    big = write("big.csv", history_text(720000))
    sparse = os.path.join(WORK, "sparse.csv")
    with open(sparse, "wb") as file:
        file.truncate(4 << 30)
    too_many = b"more draws than the draw list may serve"
    cases = [("a history serving more than 64 MiB", big, too_many),
             ("a 4 GiB file of zero bytes", sparse, too_many)]
    if os.path.exists("/dev/zero") and len(SERVICE) == 1:
        cases.append(("an endless file", "/dev/zero", too_many))
    for name, path, reason in cases:
        code, err, seconds = run_refused("--history", path)
        check(code == 2 and reason in err and seconds < 10,
              f"{name}: exit {code} after {seconds:.1f} s: {err[:300]!r}")
    fits = Service("--history", write("fits.csv", history_text(700000)))
    status, _, body = request()
    check(status == 200 and len(body) <= 64 << 20 and body.count(b"<row ") == 700000,
          f"700000 draws: {status}, {len(body)} bytes")
    fits.stop()


def case_control_characters(service):
    request("/%1b[31mX")
    request("/a%0d%0aFAKE%20LINE")
    service.stop()
    log = b"\n".join(service.lines)
    check(b"\x1b" not in log and b"GET /\\e[31mX 404" in log, f"log: {log[-200:]!r}")
    check(b"GET /a\\r\\nFAKE LINE 404" in log and not any(
        line.startswith(b"FAKE") for line in service.lines), f"log: {log[-200:]!r}")
    cases = [
        ("a field", write("field.csv", "issue,date,digits\n2026001,2026-01-01,\x1b[31m\n"),
         b"digits '\\e[31m'"),
        ("a file name", os.path.join(WORK, "a\x1b[2Jb.csv"), b"a\\e[2Jb.csv: cannot be opened"),
    ]
    for name, path, shown in cases:
        code, err, _ = run_refused("--history", path)
        check(code == 2 and shown in err and b"\x1b" not in err, f"{name}: {err!r}")


def case_field_cut(_):
    path = write("long.csv", "issue,date,digits\n2026001,2026-01-01," + "7" * (1 << 20) + "\n")
    code, err, _ = run_refused("--history", path)
    check(code == 2 and ("digits '" + "7" * 80 + "…'").encode() in err and len(err) < 400,
          f"exit {code}, {len(err)} bytes: {err[:200]!r}")


def case_exact_paths(service):
    cases = [(LIST, 200), (VERSION, 200), ("/static/info/kaijiang/xml/sd/list10Xxml", 404),
             ("/zelkor3d/versionAtxt", 404), (LIST + "x", 404), ("/x" + LIST, 404)]
    got = [(path, request(path)[0]) for path, _ in cases]
    check(got == cases, f"answers: {got}")


def case_host(service):
    cases = [(HOST, 200), (f"localhost:{PORT}", 200), (f"LOCALHOST:{PORT}", 200),
             ("127.0.0.1", 421), (f"attacker.example:{PORT}", 421), ("127.0.0.1:1", 421),
             (f"127.0.0.1.attacker.example:{PORT}", 421), (None, 421)]
    got = [(host, request(VERSION, host=host)[0]) for host, _ in cases]
    check(got == cases, f"answers: {got}")
    head = request(VERSION)[1]
    check(b"\r\nServer: zelkor3d-draw-service" in head, f"no Server header: {head!r}")


CASES = {name[5:]: case for name, case in globals().items() if name.startswith("case_")}
# Cases that start the service themselves.
OWN_SERVICE = {"history_bound", "field_cut"}


def main():
    name = sys.argv[1]
    service = None if name in OWN_SERVICE else Service()
    try:
        CASES[name](service)
    finally:
        if service is not None and service.process.poll() is None:
            service.stop()
    print(f"PASS: {name}")


if __name__ == "__main__":
    main()
