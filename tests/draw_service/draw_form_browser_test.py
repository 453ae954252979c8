#!/usr/bin/env python3
"""The start page's form as a player uses it, in headless Chromium.

The service runs with a store of its own (a fresh home); Chromium, driven
through its debugging pipe, loads the start page, types three digits into
the form (issue and date are filled in), presses the button, reads the
outcome page, follows it back to the start page, finds the new draw listed,
and then removes it with the page's remove button.

  draw_form_browser_test.py SERVICE WORK_DIR
"""

import json
import os
import shutil
import socket
import subprocess
import sys
import time

service, work = sys.argv[1:3]


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Browser:
    """Chromium over --remote-debugging-pipe: JSON messages ending in NUL
    on its fds 3 (to it) and 4 (from it)."""

    def __init__(self, chromium, profile):
        to_r, self.to_w = os.pipe()
        self.from_r, from_w = os.pipe()

        def fds():
            os.dup2(to_r, 3)
            os.dup2(from_w, 4)

        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--remote-debugging-pipe",
             "--user-data-dir=" + profile, "about:blank"],
            preexec_fn=fds, close_fds=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_r)
        os.close(from_w)
        self.buffer = b""
        self.next_id = 0
        self.session = None

    def call(self, method, params=None, session=True):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self.to_w, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buffer:
                chunk = os.read(self.from_r, 65536)
                if not chunk:
                    raise RuntimeError("chromium ended")
                self.buffer += chunk
            raw, self.buffer = self.buffer.split(b"\0", 1)
            answer = json.loads(raw)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError("%s: %s" % (method, answer["error"]))
                return answer["result"]

    def open(self, url):
        target = self.call("Target.createTarget", {"url": url}, session=False)["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True},
                                 session=False)["sessionId"]

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", {"expression": expression,
                                              "returnByValue": True})["result"].get("value")

    def wait_for(self, expression, seconds=20):
        deadline = time.time() + seconds
        while time.time() < deadline:
            try:
                value = self.evaluate(expression)
                if value:
                    return value
            except RuntimeError:
                pass  # a page on its way
            time.sleep(0.2)
        return None

    def close(self):
        self.process.kill()
        self.process.wait()


chromium = shutil.which("chromium")
if chromium is None:
    print("FAIL: chromium is not installed (scripts/setup installs it)")
    sys.exit(1)
shutil.rmtree(work, ignore_errors=True)
home = os.path.join(work, "home")
os.makedirs(home)
alone = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
             XDG_DATA_HOME=os.path.join(home, "data"), APPDATA=home, LOCALAPPDATA=home)
port = free_port()
page = "http://127.0.0.1:%d/zelkor3d/start.html" % port
server = subprocess.Popen([service, str(port)], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, env=alone)
failures = []
browser = None
try:
    for line in server.stdout:
        if line.startswith("serving on"):
            break
    browser = Browser(chromium, os.path.join(work, "chromium-profile"))
    browser.open(page)
    issue = browser.wait_for("document.querySelector('#add [name=issue]')?.value")
    if not issue:
        failures.append("no form on the start page")
    else:
        browser.evaluate("document.querySelector('#add [name=digits]').value = '135';"
                         "document.querySelector('#add button').click()")
        outcome = browser.wait_for("location.pathname == '/zelkor3d/draws' && "
                                   "document.body.innerText")
        if not outcome or "已存入1期" not in outcome:
            failures.append("adding: %r" % outcome)
        listed = browser.wait_for(
            "location.pathname == '/zelkor3d/start.html' && "
            "document.querySelector('#recent li')?.innerText", seconds=30)
        if not listed or issue not in listed or "135" not in listed:
            failures.append("the draw added is not listed first: %r" % listed)
        browser.evaluate("document.querySelector('#remove button').click()")
        outcome = browser.wait_for("location.pathname == '/zelkor3d/draws' && "
                                   "document.body.innerText")
        if not outcome or ("已删去第%s期" % issue) not in outcome:
            failures.append("removing: %r" % outcome)
        listed = browser.wait_for(
            "location.pathname == '/zelkor3d/start.html' && "
            "document.querySelector('#recent li')?.innerText", seconds=30)
        if not listed or issue in listed:
            failures.append("the draw removed is still listed: %r" % listed)
finally:
    if browser:
        browser.close()
    server.terminate()
    server.wait()

for failure in failures:
    print("FAIL:", failure)
print("%d checks failed" % len(failures))
sys.exit(1 if failures else 0)
