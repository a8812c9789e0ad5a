#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""The include picture of the sources: which folder includes which, the
circles among units, and the longest chain of units; and the check that
every include between folders is one that CODING_STYLE.md allows.

A unit is a header and its source file (x.h and x.cpp); it depends on every
unit whose header either of them includes. Folders are the rooms of src/
(src/core/tagengine counts as core/tagengine) and cli/. Only project headers
in double quotes count; system and Qt headers are left out.

    python3 scripts/includes.py            # the picture
    python3 scripts/includes.py --check    # exit 1 on a circle or a forbidden include

The rooms each room may include are written once, in the table under "Where
things go" in CODING_STYLE.md: the rooms in backquotes in its first column
may include those in backquotes in its last one ("core/*": any core room).
With --check the script is the test (ctest runs it) that the code runs one
way: a circle among units, an include between rooms that the table does not
allow, or a room the table does not know fails it, each printed with the
includes that make it.
"""
import argparse
import collections
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE_DIRS = ["src", "cli"]
# Where "x.h" is looked for, after the including file's own folder.
INCLUDE_PATH = ["src", "src/core", "cli"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
STYLE = ROOT / "CODING_STYLE.md"
TABLE_HEADING = "## Where things go"


def room(path):
    rel = path.relative_to(ROOT)
    parts = rel.parts
    if parts[0] == "cli":
        return "cli"
    if parts[1] == "core" and len(parts) > 3:
        return "core/" + parts[2]
    return parts[1]


def unit(path):
    return str(path.relative_to(ROOT).with_suffix(""))


def resolve(including, name):
    for folder in [including.parent] + [ROOT / p for p in INCLUDE_PATH]:
        candidate = (folder / name).resolve()
        if candidate.is_file():
            return candidate
    return None


def scan():
    files = [p for d in SOURCE_DIRS for p in (ROOT / d).rglob("*")
             if p.suffix in (".h", ".cpp")]
    edges = collections.defaultdict(set)  # unit -> units
    folder_edges = collections.defaultdict(list)  # (room, room) -> "file: header" lines
    spellings = collections.defaultdict(set)  # header -> the ways it is written
    unresolved = set()
    for f in files:
        edges.setdefault(unit(f), set())
        for name in INCLUDE.findall(f.read_text(errors="replace")):
            target = resolve(f, name)
            if target is None:
                unresolved.add(f"{f.relative_to(ROOT)}: {name}")
                continue
            spellings[target].add(name)
            if unit(target) != unit(f):
                edges[unit(f)].add(unit(target))
            if room(target) != room(f):
                folder_edges[(room(f), room(target))].append(f"{f.relative_to(ROOT)}: {name}")
    return edges, folder_edges, spellings, unresolved


def allowed_rooms(style=STYLE):
    """room -> the rooms it may include, from the table under TABLE_HEADING."""
    lines = style.read_text().splitlines()
    start = lines.index(TABLE_HEADING)
    allowed = {}
    in_table = False
    for line in lines[start + 1:]:
        if not line.startswith("|"):
            if in_table:
                break
            continue
        in_table = True
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        rooms = re.findall(r"`([^`]+)`", cells[0])
        if not rooms or set(cells[0]) <= set("-: "):
            continue  # the heading row and the rule under it
        for r in rooms:
            allowed[r] = set(re.findall(r"`([^`]+)`", cells[-1]))
    return allowed


def may_include(allowed, a, b):
    return any(b == r or (r.endswith("/*") and b.startswith(r[:-1])) for r in allowed.get(a, ()))


def forbidden(folder_edges, allowed):
    """The includes between rooms that the table does not allow, and the
    rooms it does not know."""
    rooms = {r for edge in folder_edges for r in edge}
    unknown = sorted(r for r in rooms if r not in allowed)
    wrong = {edge: lines for edge, lines in folder_edges.items()
             if edge[0] in allowed and not may_include(allowed, *edge)}
    return wrong, unknown


def circles(edges):
    """Strongly connected components of more than one unit (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in edges.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for v in sorted(edges):
        if v not in index:
            visit(v)
    return found


def longest_chain(edges, groups):
    """The longest path of units, a circle counted as one step."""
    group_of = {u: i for i, g in enumerate(groups) for u in g}
    node = lambda u: group_of.get(u, u)
    dag = collections.defaultdict(set)
    for u, targets in edges.items():
        for t in targets:
            if node(u) != node(t):
                dag[node(u)].add(node(t))
    best = {}

    def length(n):
        if n not in best:
            tails = [length(t) for t in dag.get(n, ())]
            longest = max(tails, key=len, default=[])
            best[n] = [n] + longest
        return best[n]

    nodes = {node(u) for u in edges}
    chain = max((length(n) for n in sorted(nodes, key=str)), key=len, default=[])
    return [("circle of %d" % len(groups[n])) if isinstance(n, int) else n for n in chain]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="exit 1 on a circle or an include the rooms' table forbids")
    args = parser.parse_args()
    edges, folder_edges, spellings, unresolved = scan()
    groups = circles(edges)

    print("Includes between folders (lines):")
    for (a, b), lines in sorted(folder_edges.items()):
        print(f"  {a:16} -> {b:16} {len(lines)}")
    print(f"  total {sum(len(lines) for lines in folder_edges.values())}")
    twice = {h: s for h, s in spellings.items() if len(s) > 1}
    print(f"Headers included under more than one spelling: {len(twice)}")
    for header, names in sorted(twice.items()):
        print(f"  {header.relative_to(ROOT)}: {', '.join(sorted(names))}")
    for name in sorted(unresolved):
        print(f"  not found: {name}")
    print(f"Circles among units: {len(groups)}")
    for g in groups:
        print(f"  {len(g)} units: {' '.join(g)}")
    chain = longest_chain(edges, groups)
    print(f"Longest include chain: {len(chain)} units")
    print("  " + " -> ".join(chain))
    wrong, unknown = forbidden(folder_edges, allowed_rooms())
    print(f"Includes against the rooms' table in {STYLE.name}: {len(wrong)}")
    for (a, b), lines in sorted(wrong.items()):
        print(f"  {a} may not include {b}:")
        for line in lines:
            print(f"    {line}")
    for r in unknown:
        print(f"  room {r} is not in the table")
    if args.check and (groups or wrong or unknown):
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
