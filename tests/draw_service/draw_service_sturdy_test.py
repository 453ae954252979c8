#!/usr/bin/env python3
"""The draw service program against hostile clients, one behaviour a case.

    draw_service_sturdy_test.py CASE DRAW_SERVICE
    draw_service_sturdy_test.py CASE EMULATOR... DRAW_SERVICE.exe   (under Wine)

Every request goes to 127.0.0.1; every loop is bounded in count and time.
"""
import datetime
import http.server
import os
import select
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

LIST = "/static/info/kaijiang/xml/sd/list10.xml"
VERSION = "/zelkor3d/version.txt"
SERVICE = sys.argv[2:]
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from free_ports import free_ports  # noqa: E402

PORT, UPSTREAM_PORT = free_ports(2)
HOST = f"127.0.0.1:{PORT}"
WORK = tempfile.mkdtemp()
# The player's folders: the test's own (under Wine those of the Wine prefix,
# named by STORE_DIR and CONFIG_DIR, emptied by the cases that use them).
os.environ["XDG_DATA_HOME"] = os.path.join(WORK, "data")
os.environ["XDG_CONFIG_HOME"] = os.path.join(WORK, "config")
STORE = os.environ.get("STORE_DIR") or os.path.join(WORK, "data", "zelkor3d")
CONFIG = os.environ.get("CONFIG_DIR") or os.path.join(WORK, "config", "zelkor3d")
STORE_FILE = os.path.join(STORE, "added-draws.csv")
UNDER_WINE = len(SERVICE) > 1


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


def history_text(draws, first_year=2000):
    """A valid history of `draws` draws, 999 a year from `first_year`."""
    lines = ["issue,date,digits"]
    for k in range(draws):
        year = first_year + k // 999
        lines.append(f"{year}{k % 999 + 1:03d},{year}-12-31,{k % 1000:03d}")
    return "\n".join(lines) + "\n"


def write(name, content):
    path = os.path.join(WORK, name)
    with open(path, "wb") as file:
        file.write(content if isinstance(content, bytes) else content.encode())
    return path


def run(*args, env=None):
    """Runs a command of the service program: (exit code, stdout, stderr, seconds)."""
    start = time.monotonic()
    done = subprocess.run(SERVICE + list(args), capture_output=True, timeout=60, env=env)
    return done.returncode, done.stdout, done.stderr, time.monotonic() - start


def store_bytes():
    with open(STORE_FILE, "rb") as file:
        return file.read()


def fresh_store(text=None):
    """Empties the player's folders, then writes the store when `text` is given."""
    for folder in (STORE, CONFIG):
        subprocess.run(["rm", "-rf", folder], check=True)
        os.makedirs(folder)
    if text is not None:
        write_to(STORE_FILE, text)


def write_to(path, content):
    with open(path, "wb") as file:
        file.write(content if isinstance(content, bytes) else content.encode())
    return path


class Upstream:
    """An upstream on 127.0.0.1 answering every GET with `body`; with None,
    one that takes connections and never answers."""

    def __init__(self, body):
        self.port = UPSTREAM_PORT
        if body is None:
            self.sock = socket.create_server(("127.0.0.1", self.port), backlog=64)
            return

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *_):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def url(self, credentials=""):
        return f"http://{credentials}127.0.0.1:{self.port}/draws.csv"


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


def case_size_limits(_):
    # The store filled to the most draws the served draw list can hold.
    row = len('<row expect="2026224" opencode="8,6,2" opentime="2026-08-22 21:15:00" '
              'trycode="" tryinfo="" />\n')
    frame = len('<?xml version="1.0" encoding="utf-8"?>\n<xml>\n</xml>\n')
    with open(os.environ["SHIPPED_HISTORY"], "rb") as file:
        shipped = file.read().count(b"\n") - 1
    most = ((64 << 20) - frame) // row
    fresh_store(history_text(most - shipped, first_year=3000))
    full = store_bytes()
    # Draws that continue the store, on a day they are due, so that nothing
    # but the size refuses them.
    newest = history_text(most - shipped, first_year=3000).rstrip().rsplit("\n", 1)[-1]
    year = int(newest[:4]) + 1
    new = f"issue,date,digits\n{year}001,{year}-01-01,123\n{year}002,{year}-01-02,456\n"
    os.environ["ZELKOR_TODAY"] = f"{year}-01-03"
    upstream = Upstream(new.encode())
    too_many = f"more than the {most:,} that fit in the 64 MiB".encode()
    cases = [
        ("add", lambda: run("add", f"{year}001", "123", f"{year}-01-01")),
        ("import", lambda: run("import", write("new.csv", new))),
    ]
    for name, command in cases:
        code, _, err, _ = command()
        check(code == 2 and too_many in err and store_bytes() == full,
              f"{name} past the limit: exit {code}, {err[:300]!r}, store changed: {store_bytes() != full}")
    service = Service("--upstream", upstream.url())
    service.stop()
    log = b"\n".join(service.lines)
    del os.environ["ZELKOR_TODAY"]
    check(b"nothing stored: " in log and too_many in log and store_bytes() == full,
          f"an upstream past the limit: {log[-600:]!r}")


def case_signals(_):
    silent = Upstream(None)
    for seconds, stop in [(0.1, signal.SIGTERM), (1, signal.SIGINT), (3, signal.SIGTERM)]:
        fresh_store()
        process = subprocess.Popen(SERVICE + [str(PORT), "--upstream", silent.url()],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(seconds)
        process.send_signal(stop)
        start = time.monotonic()
        try:
            process.wait(1.5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        ended = time.monotonic() - start
        check(ended < 1, f"{stop.name} at {seconds} s: ended after {ended:.1f} s")
        with socket.socket() as sock:  # the port is free again
            sock.bind(("127.0.0.1", PORT))


def case_lock_waits(_):
    import fcntl
    fresh_store()
    with open(os.path.join(STORE, "added-draws.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)  # as a writer stopped with its lock held
        code, _, err, seconds = run("add", "2026225", "123", "2026-08-23")
    check(code == 1 and b"waiting for the lock file" in err and b"gave up after 10 s" in err and
          b"added-draws.lock" in err and 9 < seconds < 13,
          f"a held lock: exit {code} after {seconds:.1f} s: {err!r}")
    for pipe in ("added-draws.lock", "added-draws.csv"):
        fresh_store()
        os.mkfifo(os.path.join(STORE, pipe))
        code, _, err, seconds = run("add", "2026225", "123", "2026-08-23")
        check(code == 1 and b"not a regular file" in err and seconds < 3,
              f"{pipe} a pipe: exit {code} after {seconds:.1f} s: {err!r}")
    Service().stop()  # a store that is a pipe starts the service all the same


def case_log_hygiene(_):
    escape, big = "\x1b]0;owned\x07\x1b[2J", "7" * (1 << 20)
    rows = "".join(f"2026{k:03d},2026-01-01,{escape}\n" for k in range(1, 700))
    upstream = Upstream(f"issue,date,digits\n2030001,2030-01-01,{big}\n{rows}".encode())
    fresh_store()
    write_to(os.path.join(CONFIG, "draw-service.conf"),
             f"{escape} = 1\n{big}\nupstream = {upstream.url('player:secret@')}\n")
    service = Service()
    service.stop()
    lines = service.lines + service.process.stderr.read().splitlines()
    imported = write("bad.csv", f"issue,date,digits\n2026225,2026-08-23,{escape}{big}\n")
    lines += run("import", imported)[2].splitlines()
    shown = [line for line in lines if any(c < 0x20 for c in line) or len(line) > 410]
    check(not shown, f"{len(shown)} raw or long lines: {shown[0][:200]!r}" if shown else "")
    check(not any(b"secret" in line for line in lines), "the password was logged")
    refused = [line for line in lines if line.endswith(b"refused") or b" refused: " in line]
    check(len(refused) == 13 and refused[-1].endswith(b"and 688 more rows refused"),
          f"{len(refused)} refusal lines, the last {refused[-1:]!r}")
    # A hundred draws that continue the shipped history a day apart.
    start = datetime.date(2026, 8, 23)
    good = write("good.csv", "issue,date,digits\n" + "".join(
        f"2026{225 + k},{start + datetime.timedelta(days=k)},{k % 1000:03d}\n" for k in range(100)))
    code, out, _, _ = run("import", good)
    check(code == 0 and out.count(b"\n") == 1 and b"added 100 draws, 2026225 to 2026324" in out,
          f"import: exit {code}, {out[:300]!r}")
    fresh_store()
    code, out, _, _ = run("import", "--verbose", good)
    check(code == 0 and out.count(b"\n") == 101, f"import --verbose: exit {code}, {out[:300]!r}")


def case_idle_sockets(service):
    idle = []
    for _ in range(200):  # idle after one request, kept alive
        sock = connect()
        sock.sendall(f"GET {VERSION} HTTP/1.1\r\nHost: {HOST}\r\n\r\n".encode())
        check(read_answer(sock)[0] == 200, "a first request on a kept connection")
        idle.append(sock)
    idle += [connect() for _ in range(200)]  # idle from the start
    time.sleep(0.2)
    start = time.monotonic()
    status, _, body = request()
    seconds = time.monotonic() - start
    check(status == 200 and b"<row " in body and seconds < 1,
          f"a fetch beside 400 idle connections: {status} after {seconds:.1f} s")
    for sock in idle:
        sock.close()


def case_store_place(_):
    # A store the player linked elsewhere: written through, the link kept.
    fresh_store()
    target = write("linked.csv", "issue,date,digits\n2026225,2026-08-23,123\n")
    os.symlink(target, STORE_FILE)
    code, _, err, _ = run("add", "2026226", "456", "2026-08-24")
    with open(target, "rb") as file:
        check(code == 0 and os.path.islink(STORE_FILE) and file.read().endswith(b"2026226,2026-08-24,456\n"),
              f"a linked store: exit {code}, {err!r}, link kept: {os.path.islink(STORE_FILE)}")
    # What the messages say.
    fresh_store()
    twice = write("twice.csv", "issue,date,digits\n2026225,2026-08-23,123\n2026225,2026-08-23,124\n")
    code, _, err, _ = run("import", twice)
    check(code == 2 and b"given twice: as 123 on line 2 and as 124 on line 3" in err,
          f"a draw given twice: exit {code}, {err!r}")
    env = {k: v for k, v in os.environ.items() if k not in ("HOME", "XDG_DATA_HOME")}
    code, _, err, _ = run("add", "2026225", "123", "2026-08-23", env=env)
    check(code == 1 and b"neither XDG_DATA_HOME" in err and b"would be in" in err and
          b"nothing was stored" in err and b"serving" not in err, f"no HOME: exit {code}, {err!r}")
    os.mkdir(STORE_FILE)  # a store that cannot be read at the first start
    service = Service()
    service.stop()
    log = b"\n".join(service.lines)
    check(b"serving the shipped history only" in log and b"held before" not in log, f"log: {log!r}")


CASES = {name[5:]: case for name, case in globals().items() if name.startswith("case_")}
# Cases that start the service themselves.
OWN_SERVICE = {"history_bound", "field_cut", "size_limits", "signals", "lock_waits",
               "log_hygiene", "store_place"}


def main():
    name = sys.argv[1]
    service = None if name in OWN_SERVICE else Service()
    try:
        CASES[name](service)
    finally:
        if service is not None and service.process.poll() is None:
            service.stop()
        subprocess.run(["rm", "-rf", WORK] + ([STORE, CONFIG] if UNDER_WINE else []))
    print(f"PASS: {name}")


if __name__ == "__main__":
    main()
