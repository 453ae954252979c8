#!/usr/bin/env python3
"""The start-up page as a browser shows it, from the running draw service.

Headless Chromium loads the page: a screenshot at 1280x800 goes to the work
folder, and the page's text after layout (--dump-dom) must show the newest
draw of the history, the same next picks as `zelkor3d-report --next --format
json` and the same backtest figures as `--summary --format json`, with the
chart inline. No src or href may leave the machine.

  start_page_browser_test.py SERVICE REPORT HISTORY_CSV WORK_DIR
"""

import html.parser
import json
import os
import re
import shutil
import socket
import struct
import subprocess
import sys
import time
import urllib.request

service, report, history, work = sys.argv[1:5]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Fields(html.parser.HTMLParser):
    """The text of every data-field element, keyed by the page/position of
    the nearest element around it that names one, and the section it is in;
    every src and href; whether an <svg> is present."""

    def __init__(self):
        super().__init__()
        self.stack = []  # (tag, page key, section, field)
        self.fields = {}
        self.sections = {}  # the text of each section
        self.links = []
        self.svg = 0

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        key = self.stack[-1][1] if self.stack else None
        section = self.stack[-1][2] if self.stack else None
        if "data-page" in a:
            key = (a["data-page"], int(a["data-position"]) if "data-position" in a else None)
        if tag == "section":
            section = a.get("id")
        for name, value in attrs:
            if name in ("src", "href", "xlink:href", "action", "srcset"):
                self.links.append(value or "")
        self.svg += tag == "svg"
        self.sections.setdefault(section, "")
        field = a.get("data-field")
        if field:
            self.fields.setdefault((section, key, field), "")
        if tag not in ("meta", "br", "img", "input", "link"):
            self.stack.append((tag, key, section, field))

    def handle_endtag(self, tag):
        while self.stack:
            if self.stack.pop()[0] == tag:
                break

    def handle_data(self, data):
        if self.stack:
            self.sections[self.stack[-1][2]] = self.sections.get(self.stack[-1][2], "") + data
        for _, key, section, field in self.stack:
            if field:
                self.fields[(section, key, field)] += data


def percent(text):
    match = re.fullmatch(r"([<>]?)(\d+\.\d)%", text.strip())
    return (match.group(1), float(match.group(2))) if match else (None, None)


def near_percent(shown, share, where):
    """The page's "31.2%" against a share from JSON (rounded to 6 figures)."""
    sign, value = percent(shown)
    if value is None:
        failures.append("%s: %r is not a percentage" % (where, shown))
    elif sign == "<":
        check(share < 0.001, "%s: %s shown for %r" % (where, shown, share))
    elif sign == ">":
        check(share > 0.999, "%s: %s shown for %r" % (where, shown, share))
    else:
        check(abs(value - 100 * share) <= 0.05 + 1e-9, "%s: %s, not %r" % (where, shown, share))


chromium = shutil.which("chromium")
if chromium is None:
    print("FAIL: chromium is not installed (scripts/setup installs it)")
    sys.exit(1)
os.makedirs(work, exist_ok=True)
port = free_port()
base = "http://127.0.0.1:%d" % port
page_address = base + "/zelkor3d/start.html"
list_address = base + "/static/info/kaijiang/xml/sd/list10.xml"
# A home of its own: no player's store or upstream adds draws to the history.
home = os.path.join(work, "home")
os.makedirs(home, exist_ok=True)
alone = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
             XDG_DATA_HOME=os.path.join(home, "data"), APPDATA=home, LOCALAPPDATA=home)
server = subprocess.Popen([service, str(port), "--history", history], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, env=alone)
try:
    deadline = time.time() + 30
    for line in server.stdout:
        if line.startswith("serving on") or time.time() > deadline:
            break
    browser = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
               "--user-data-dir=" + os.path.join(work, "chromium-profile"),
               "--window-size=1280,800"]
    shot = os.path.join(work, "start-page-1280x800.png")
    if os.path.exists(shot):
        os.remove(shot)
    subprocess.run(browser + ["--screenshot=" + shot, page_address], capture_output=True,
                   timeout=120)
    with open(shot, "rb") as png:
        header = png.read(24)
    check(header[:8] == b"\x89PNG\r\n\x1a\n" and struct.unpack(">II", header[16:24]) ==
          (1280, 800), "no 1280x800 screenshot")
    dom = subprocess.run(browser + ["--dump-dom", page_address], capture_output=True,
                         timeout=120).stdout.decode("utf-8")
    raw = urllib.request.urlopen(page_address, timeout=30).read()

    def report_json(*args):
        out = subprocess.run([report, "--url", list_address, "--format", "json", *args],
                             capture_output=True, timeout=300, check=True).stdout
        return json.loads(out)

    next_picks = report_json("--next")["next"]
    summary = report_json("--summary")["summary"]
    chart_file = os.path.join(work, "start-page-chart.svg")
    subprocess.run([report, "--url", list_address, "--chart", chart_file],
                   env=dict(os.environ, LC_ALL="zh_CN.UTF-8"), capture_output=True,
                   timeout=300, check=True)
finally:
    server.terminate()
    server.wait()

parsed = Fields()
parsed.feed(dom)
fields = parsed.fields

# The newest draw of the history.
with open(history, encoding="utf-8") as lines:
    issue, date, digits = lines.read().split()[-1].split(",")
check(fields.get(("newest", None, "issue")) == issue, "newest issue not shown as %s" % issue)
check(date in parsed.sections.get("newest", ""), "newest date %s not shown" % date)
check(fields.get(("newest", None, "digits")) == digits, "newest digits not shown as %s" % digits)

# The next picks, as the report tool gives them.
check(len(next_picks) == 5, "the report gave %d next picks" % len(next_picks))
check(fields.get(("next", None, "next_issue")) == next_picks[0]["issue"],
      "next issue %r, not %r" % (fields.get(("next", None, "next_issue")), next_picks[0]["issue"]))
for pick in next_picks:
    key = (pick["page"], pick["position"])
    check(fields.get(("next", key, "pick")) == pick["pick"],
          "%s: pick %r, not %r" % (key, fields.get(("next", key, "pick")), pick["pick"]))

# The backtest, as the report tool's summary gives it.
check(len(summary) == 5, "the report summed up %d pages" % len(summary))
for page in summary:
    key = (page["page"], page["position"])

    def shown(field):
        return fields.get(("backtest", key, field), "")

    for window in ("all", "last_100", "last_30"):
        figures = page[window]
        if window == "all":
            check(shown("all_judged") == str(figures["judged"]), "%s: judged" % (key,))
            check(shown("all_held") == str(figures["held"]), "%s: held" % (key,))
        near_percent(shown(window + "_hit_rate"), figures["held"] / figures["judged"],
                     "%s %s hit rate" % (key, window))
        near_percent(shown(window + "_chance"), figures["chance"], "%s %s chance" % (key, window))
    for run in ("longest", "current"):
        check(shown(run + "_miss_run") == str(page[run + "_miss_run"]), "%s: %s run" % (key, run))
        near_percent(shown(run + "_run_chance"), page[run + "_run_chance"],
                     "%s %s run chance" % (key, run))
    verdict = shown("verdict")
    z = re.search(r"z = ([+-]\d+\.\d\d)", verdict)
    check(z is not None and abs(float(z.group(1)) - page["z"]) <= 0.005 + 1e-9,
          "%s: verdict %r, z %r" % (key, verdict, page["z"]))
    check(verdict.startswith("高于随机") == page["beyond_chance"],
          "%s: verdict %r, beyond chance %r" % (key, verdict, page["beyond_chance"]))

# The chart is inline, and it is the report tool's chart.
check(parsed.svg >= 1, "no <svg> in the page")
with open(chart_file, encoding="utf-8") as svg:
    chart = svg.read().split("\n", 1)[1]
check(chart in raw.decode("utf-8"), "the page's chart differs from zelkor3d-report --chart")

# Nothing leaves the machine, and the page is light.
for link in parsed.links:
    check(not re.match(r"^\s*([a-z][a-z0-9+.-]*:|//)", link, re.I) or
          re.match(r"^https?://(127\.0\.0\.1|localhost)[:/]", link, re.I),
          "a link leaves the machine: %r" % link)
check(not re.search(r"url\(|@import", raw.decode("utf-8"), re.I), "the style loads something")
check(len(raw) < 300 * 1024, "the page weighs %d bytes" % len(raw))

for failure in failures:
    print("FAIL:", failure)
print("%d checks failed; page %d bytes, %d fields" % (len(failures), len(raw), len(fields)))
sys.exit(1 if failures else 0)
