#!/usr/bin/env python3
"""Checks every product source against docs/architecture.md.

Reads the table of folders and the arrows allowed between them, then each
product source's quoted includes: an include of a folder its own folder does
not reach fails, as do a folder outside the table, a platform #if, and two
units that include each other (directly or round a longer circle).

Usage: architecture_test.py SOURCE_ROOT
"""

import pathlib
import re
import sys

# Folders that are not product code: they may include any product folder.
NOT_PRODUCT = {"tests", "bench", "fuzz", "build", "cmake", "packaging", "scripts", "docs", "data"}
SOURCE_SUFFIXES = {".cc", ".h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
PLATFORM_IF = re.compile(
    r"^\s*#\s*(?:if|ifdef|ifndef|elif)\b.*\b(?:_WIN32|_WIN64|WIN32|__MINGW32__|__MINGW64__|"
    r"_MSC_VER|__CYGWIN__|__linux__|__unix__|__APPLE__|__gnu_linux__)\b",
    re.M,
)
PLATFORM_SUFFIX = re.compile(r"_(posix|windows)$")


def read_table(document):
    """The table's rows: folder -> the folders it names."""
    table = {}
    for line in document.read_text(encoding="utf-8").splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) != 2 or not re.fullmatch(r"`[a-z0-9_/]+`", cells[0]):
            continue
        table[cells[0].strip("`")] = set(re.findall(r"`([a-z0-9_/]+)`", cells[1]))
    return table


def read_allowed_circles(document):
    """The pairs of units the document still lets include each other."""
    text = document.read_text(encoding="utf-8")
    section = text.split("## Circles still to undo", 1)[-1].split("\n## ", 1)[0]
    pairs = set()
    for line in section.splitlines():
        units = re.findall(r"`([a-z0-9_/]+)`", line) if line.startswith("- ") else []
        if len(units) >= 2:
            pairs.add(frozenset(units[:2]))
    return pairs


def reach(table):
    """Folder -> every folder it may include, itself included; None on a circle."""
    reached = {}

    def visit(folder, path):
        if folder in path:
            return None
        if folder not in reached:
            below = {folder}
            for lower in table[folder]:
                found = visit(lower, path | {folder})
                if found is None:
                    return None
                below |= found
            reached[folder] = below
        return reached[folder]

    for folder in table:
        if visit(folder, frozenset()) is None:
            return None
    return reached


def product_sources(root):
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root)
        top = relative.parts[0]
        if top.startswith(".") or top in NOT_PRODUCT or top.startswith("build"):
            continue
        if path.suffix in SOURCE_SUFFIXES and path.is_file():
            yield relative


def unit_of(relative):
    """A header with its sources, the _posix and _windows ones included."""
    return (relative.parent / PLATFORM_SUFFIX.sub("", relative.stem)).as_posix()


def find_circle(edges):
    """One circle of units as a list, or None."""
    done = set()
    for start in sorted(edges):
        stack = [(start, iter(sorted(edges.get(start, ()))))]
        on_path = [start]
        while stack:
            unit, children = stack[-1]
            child = next(children, None)
            if child is None:
                stack.pop()
                on_path.pop()
                done.add(unit)
            elif child in on_path:
                return on_path[on_path.index(child) :] + [child]
            elif child not in done:
                stack.append((child, iter(sorted(edges.get(child, ())))))
                on_path.append(child)
    return None


def main():
    root = pathlib.Path(sys.argv[1])
    table = read_table(root / "docs" / "architecture.md")
    faults = []
    if not table:
        faults.append("docs/architecture.md: no table of folders found")
    for folder, lower in table.items():
        for name in {folder} | lower:
            if name not in table:
                faults.append(f"docs/architecture.md: {name} has no row of its own")
            if not (root / name).is_dir():
                faults.append(f"docs/architecture.md: {name} is not a folder")
    reached = reach(table) if not faults else None
    if not faults and reached is None:
        faults.append("docs/architecture.md: the arrows run in a circle")

    edges = {}
    for relative in product_sources(root):
        folder = relative.parent.as_posix()
        text = (root / relative).read_text(encoding="utf-8", errors="replace")
        for match in PLATFORM_IF.finditer(text):
            line = text.count("\n", 0, match.start()) + 1
            faults.append(f"{relative}:{line}: platform #if in product code")
        if folder not in table:
            faults.append(f"{relative}: folder {folder} is not in docs/architecture.md")
            continue
        for included in INCLUDE.findall(text):
            target = pathlib.PurePosixPath(included)
            if len(target.parts) == 1:
                target = pathlib.PurePosixPath(folder) / target
            if not (root / target).is_file():
                continue  # not a project header (a generated or third-party one)
            target_folder = target.parent.as_posix()
            if reached is not None and target_folder not in reached[folder]:
                faults.append(f"{relative}: includes {included}, but {folder} may not reach "
                              f"{target_folder}")
            source_unit, target_unit = unit_of(relative), unit_of(pathlib.PurePosixPath(target))
            if source_unit != target_unit:
                edges.setdefault(source_unit, set()).add(target_unit)

    for pair in read_allowed_circles(root / "docs" / "architecture.md"):
        one, other = sorted(pair)
        if other in edges.get(one, ()) and one in edges.get(other, ()):
            edges[one].discard(other)
        else:
            faults.append(f"docs/architecture.md: {one} and {other} no longer include each "
                          "other; drop their line")
    circle = find_circle(edges)
    if circle:
        faults.append("units include each other: " + " -> ".join(circle))
    for fault in faults:
        print(fault)
    print(f"{len(faults)} fault(s) in {sum(1 for _ in product_sources(root))} product sources")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
