#!/usr/bin/env python3
"""The report tool's CSV, JSON and SVG read back by real parsers.

CSV and JSON must hold the page text's lines one for one: each record,
put together with the page's initial box texts, gives the text's line,
its value is that of its own source draw and the record marked next is
what --next picks. This holds on random draws and on the real history,
whose newest draw repeats earlier ones. The chart must be well-formed SVG
with one series per page and every point drawn.

    formats_test.py <zelkor3d-report> <draw history CSV>
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
HISTORY = sys.argv[2]
random.seed(13)
MULTIPLIERS = {("kill", "1"): 1, ("kill", "2"): 5, ("kill", "3"): 2, ("banker", "1"): 6,
               ("span", "1"): 1}
PAGES = tuple(MULTIPLIERS)
LABELS = {("kill", "1"): "kill (position 1)", ("kill", "2"): "kill (position 2)",
          ("kill", "3"): "kill (position 3)", ("banker", "1"): "banker", ("span", "1"): "span"}


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


def run(*args, source=None):
    done = subprocess.run([TOOL, *args], input=document if source is None else source,
                          capture_output=True, check=False)
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


def value_of(digits, multiplier):
    """The draw value, worked out apart from the tool."""
    return abs(sum(int(d) for d in digits) - int(digits) * 3.14159265358 / 2.718281828 *
               multiplier)


def as_csv(value):
    """A JSON value as the CSV field that carries it."""
    if value is None:
        return ""
    if isinstance(value, bool):
        return "1" if value else "0"
    return str(value)


def check_exports(label, source, draw_count, digits_only):
    """Every page's CSV and JSON against its text page and --next."""
    next_picks = {}
    for line in run("--next", source=source).split("\n")[1:]:
        if line:
            next_picks[line[:19].strip()] = line[19:]
    for page, position in PAGES:
        common = ["--page", page, "--position", position]
        name = "%s %s %s" % (label, page, position)
        lines = run(*common, "--eol", "lf", source=source).split("\n")
        body = lines[:draw_count]  # one line per draw: the judged ones and the next
        table = list(csv.DictReader(io.StringIO(run(*common, "--format", "csv", source=source),
                                                newline="")))
        parsed = json.loads(run(*common, "--format", "json", source=source))
        for form, records in (("csv", table), ("json", parsed["lines"])):
            if [text_line(r) for r in records] != body:
                failures.append("%s lines %s" % (form, name))
            flags = [r["next"] in ("1", True) for r in records]
            if flags != [False] * (draw_count - 1) + [True]:
                failures.append("%s next flags %s" % (form, name))
            if records[-1]["pick"] != next_picks[LABELS[(page, position)]]:
                failures.append("%s next pick %s: %s" % (form, name, records[-1]["pick"]))
            if digits_only and any(abs(float(r["value"]) - value_of(
                    r["source"], MULTIPLIERS[(page, position)])) > 1e-6 for r in records):
                failures.append("%s values %s" % (form, name))
        if any(r["page"] != page or r["position"] != (position if page == "kill" else "")
               for r in table):
            failures.append("csv page columns %s" % name)
        # The same fields under the same names, null and false written as
        # CSV writes them.
        if [{k: as_csv(v) for k, v in r.items()} for r in parsed["lines"]] != table or \
                list(parsed["lines"][0]) != list(table[0]):
            failures.append("csv against json %s" % name)
        summary = parsed["summary"]
        held = sum(1 for r in parsed["lines"] if r["held"] is True)
        if summary["all"]["judged"] != draw_count - 1 or summary["all"]["held"] != held:
            failures.append("json summary %s" % name)
        if summary["last_30"]["judged"] != 30 or summary["last_100"]["judged"] != 100:
            failures.append("json windows %s" % name)


def history_document():
    """The real draw history as the draw-data service lists it, newest first."""
    with open(HISTORY, encoding="utf-8") as handle:
        draws = list(csv.DictReader(handle))
    body = b"".join(row(d["issue"], ",".join(d["digits"])).replace(
        b"2024-01-01", d["date"].encode()) for d in reversed(draws))
    return b"<xml>\n" + body + b"</xml>\n", len(draws)


failures = []
check_exports("random", None, len(rows), False)
real_document, real_count = history_document()
check_exports("history", real_document, real_count, True)
# Opentime is the checked draw's; the undrawn issue has none.
real = json.loads(run("--format", "json", source=real_document))["lines"]
if real[0]["opentime"] != "2004-10-19 21:15:00" or real[-1]["opentime"] is not None:
    failures.append("opentime %s %s" % (real[0]["opentime"], real[-1]["opentime"]))

# The summary in CSV and JSON carries the same figures.
summary_csv = list(csv.DictReader(io.StringIO(run("--summary", "--format", "csv"), newline="")))
summary_json = json.loads(run("--summary", "--format", "json"))["summary"]


def flattened(record):
    """A JSON summary with its nested figures named as the CSV names them."""
    flat = {}
    for key, value in record.items():
        if isinstance(value, dict):
            flat.update({"%s_%s" % (key, k): v for k, v in value.items()})
        else:
            flat[key] = value
    return flat


if len(summary_csv) != 5 or any(
        sorted(flattened(j)) != sorted(c) or c["verdict"] != j["verdict"] or
        int(c["all_held"]) != j["all"]["held"] or (c["beyond_chance"] == "1") != j["beyond_chance"]
        for c, j in zip(summary_csv, summary_json)):
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

    # Every extreme of a long history's rate is drawn; the chart is written even when the reader of the output stops
    # early.
    history_path = folder + "/history.xml"
    with open(history_path, "wb") as handle:
        handle.write(real_document)
    path = folder + "/history.svg"
    done = subprocess.run(["sh", "-c", '"$0" --chart "$1" --window 30 "$2" | head -n 1', TOOL,
                           path, history_path], capture_output=True, check=False)
    panels = [g for g in ElementTree.parse(path).getroot().iter(svg + "g")
              if g.get("class") == "panel"]
    for (page, position), panel in zip((("kill", "1"), ("banker", "1"), ("span", "1")), panels):
        held = [r["held"] for r in json.loads(run("--format", "json", "--page", page, "--position",
                                                  position, source=real_document))["lines"]
                if r["held"] is not None]
        rates = [sum(held[i - 29:i + 1]) / 30 for i in range(29, len(held))]
        # The rate axis from its labels: "NN%" four pixels below its grid line.
        marks = [(float(t.get("y")) - 4, int(t.text[:-1]) / 100) for t in panel.iter(svg + "text")
                 if t.text and t.text.endswith("%")]
        (y0, r0), (y1, r1) = marks[0], marks[-1]
        series_line = [e for e in panel.iter(svg + "polyline") if e.get("class") == "series"][0]
        drawn = [r0 + (float(p.split(",")[1]) - y0) * (r1 - r0) / (y1 - y0)
                 for p in series_line.get("points").split()]
        if abs(min(drawn) - min(rates)) > 0.002 or abs(max(drawn) - max(rates)) > 0.002:
            failures.append("chart range %s: %.3f-%.3f drawn, %.3f-%.3f true" % (
                page, min(drawn), max(drawn), min(rates), max(rates)))
    if len(panels) != 3:
        failures.append("history chart panels %d" % len(panels))
    # A window longer than the history is named as what it is.
    run("--chart", path, "--window", "200")
    title = [e.text for e in ElementTree.parse(path).getroot().iter(svg + "text")][0]
    if title != "Running hit rate over all 149 judged lines (fewer than the 200 asked for)":
        failures.append("short chart title %r" % title)

# The process itself: what reaches it through closed or full descriptors.
ONE_ROW = '<row expect="1" opencode="1,2,3" opentime="" trycode="" tryinfo="" />'
PROCESS_CASES = (
    # label, shell line, exit code, in standard error, lines on standard error
    ("standard input closed", '"$0" <&-', 3, "cannot read standard input", 1),
    ("help to a full disk", '"$0" --help >/dev/full', 1, "cannot write the output", 1),
    ("version to a closed output", '"$0" --version >&-', 1, "cannot write the output", 1),
    ("endless zeros", '"$0" /dev/zero >/dev/null', 0, "zero byte at offset 0", 2),
    ("next picks to a full disk", "echo '%s' | \"$0\" --next >/dev/full" % ONE_ROW, 1,
     "cannot write the output", 1),
    ("no draws for the next picks", '"$0" --next </dev/null', 3, "no draws were found", 1),
)
for label, line, code, message, count in PROCESS_CASES:
    done = subprocess.run(["sh", "-c", line, TOOL], capture_output=True, timeout=60, check=False)
    stderr = done.stderr.decode("utf-8", "replace")
    if done.returncode != code or message not in stderr or stderr.count("\n") != count:
        failures.append("%s: exit %d, %r" % (label, done.returncode, stderr))

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("formats: all read back")
