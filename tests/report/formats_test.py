#!/usr/bin/env python3
"""The report tool's CSV, JSON and SVG read back by real parsers.

CSV and JSON must hold the page text's lines one for one: each record,
put together with the page's initial box texts, gives the text's line.
The chart must be well-formed SVG with one series per page.

    formats_test.py <zelkor3d-report>
"""
import csv
import io
import json
import random
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

TOOL = sys.argv[1]
random.seed(13)


def row(issue, digits):
    return ('<row expect="%s" opencode="%s" opentime="2024-01-01 21:15:00" trycode="" '
            'tryinfo="" />\n' % (issue, digits)).encode("gbk")


# Newest first; some issues hold what CSV and JSON must quote or escape.
rows = [row(2030000 - i, "%d,%d,%d" % tuple(random.randrange(10) for _ in range(3)))
        for i in range(150)]
rows[3] = row('20"29,9', "4,5,6")
rows[5] = row("2029期", "7,8,9")
rows[7] = row("2029\\n", "1,1,")
document = b"<xml>\n" + b"".join(rows) + b"</xml>\n"


def run(*args):
    done = subprocess.run([TOOL, *args], input=document, capture_output=True, check=False)
    assert done.returncode == 0, (args, done.returncode, done.stderr)
    return done.stdout.decode("utf-8")


def text_line(record):
    """The window's line for one record, with the initial box texts."""
    if record["held"] in ("", None):
        tail = "未开"
    else:
        held = record["held"] in ("1", True)
        tail = record["checked"] + ("准√" if held else "错Ｘ")
    return "┊%s期:Zelkor3D杀码┊【%s】┊%s" % (record["issue"], record["pick"], tail)


failures = []
for page, position in (("kill", "1"), ("kill", "2"), ("kill", "3"), ("banker", "1"),
                       ("span", "1")):
    common = ["--page", page, "--position", position]
    lines = run(*common, "--eol", "lf").split("\n")
    body = lines[:len(rows)]  # one line per draw: the judged ones and the next

    table = list(csv.DictReader(io.StringIO(run(*common, "--format", "csv"), newline="")))
    from_csv = [text_line({"issue": r["issue"], "pick": r["pick"], "checked": r["checked digits"],
                           "held": r["held"]}) for r in table]
    if from_csv != body:
        failures.append("csv %s %s" % (page, position))
    if any(r["page"] != page or r["kill position"] != (position if page == "kill" else "")
           for r in table):
        failures.append("csv page columns %s %s" % (page, position))

    parsed = json.loads(run(*common, "--format", "json"))
    from_json = [text_line(r) for r in parsed["lines"]]
    if from_json != body:
        failures.append("json %s %s" % (page, position))
    summary = parsed["summary"]
    held = sum(1 for r in parsed["lines"] if r["held"] is True)
    if summary["all"]["judged"] != len(rows) - 1 or summary["all"]["held"] != held:
        failures.append("json summary %s %s" % (page, position))
    if summary["last_30"]["judged"] != 30 or summary["last_100"]["judged"] != 100:
        failures.append("json windows %s %s" % (page, position))

# The summary in CSV and JSON carries the same figures.
summary_csv = list(csv.DictReader(io.StringIO(run("--summary", "--format", "csv"), newline="")))
summary_json = json.loads(run("--summary", "--format", "json"))["summary"]
if [(r["page"], int(r["held"])) for r in summary_csv] != \
        [(r["page"], r["all"]["held"]) for r in summary_json] or len(summary_csv) != 5:
    failures.append("summary csv against json")

# The chart: well-formed SVG, one series per page, issue numbers on the axis.
with tempfile.TemporaryDirectory() as folder:
    # 150 draws give judged lines checking 2029852 to 2030000; the series
    # starts where the window is first full.
    for args, series, first in ((["--window", "20"], 3, "2029871"),
                                (["--page", "span"], 1, "2029951")):
        path = folder + "/chart.svg"
        run("--chart", path, *args)
        root = ElementTree.parse(path).getroot()
        svg = "{http://www.w3.org/2000/svg}"
        if root.tag != svg + "svg":
            failures.append("chart root %s" % root.tag)
        found = [e for e in root.iter(svg + "polyline") if e.get("class") == "series"]
        if len(found) != series:
            failures.append("chart series %d, not %d" % (len(found), series))
        labels = [e.text for e in root.iter(svg + "text")]
        if labels.count(first) != series or labels.count("2030000") != series:
            failures.append("chart issue labels %s" % labels[:12])
        for element in found:
            points = element.get("points").split()
            if len(points) < 2 or not all(0 <= float(p.split(",")[1]) <= 1000 for p in points):
                failures.append("chart points")

# The process itself: what reaches it through closed or full descriptors.
PROCESS_CASES = (
    # label, shell line, exit code, in standard error
    ("standard input closed", '"$0" <&-', 3, "cannot read standard input"),
    ("help to a full disk", '"$0" --help >/dev/full', 1, "cannot write the output"),
    ("version to a closed output", '"$0" --version >&-', 1, "cannot write the output"),
    ("endless zeros", '"$0" /dev/zero >/dev/null', 0, "zero byte at offset 0"),
    ("a page to a full disk", '"$0" --next </dev/null >/dev/full', 1, "cannot write the output"),
)
for label, line, code, message in PROCESS_CASES:
    done = subprocess.run(["sh", "-c", line, TOOL], capture_output=True, timeout=60, check=False)
    stderr = done.stderr.decode("utf-8", "replace")
    if done.returncode != code or message not in stderr or stderr.count("\n") != 1:
        failures.append("%s: exit %d, %r" % (label, done.returncode, stderr))

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("formats: all read back")
