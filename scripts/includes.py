#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""The include picture of the sources: which folder includes which, the
circles among units, and the longest chain of units.

A unit is a header and its source file (x.h and x.cpp); it depends on every
unit whose header either of them includes. Folders are the rooms of src/
(src/core/tagengine counts as core/tagengine) and cli/. Only project headers
in double quotes count; system and Qt headers are left out.

    python3 scripts/includes.py            # the picture
    python3 scripts/includes.py --check    # exit 1 when any circle exists

Each circle is printed with the units in it; with --check the script is the
test that the window's code runs one way.
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
    folder_edges = collections.Counter()   # (room, room) -> include lines
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
                folder_edges[(room(f), room(target))] += 1
    return edges, folder_edges, spellings, unresolved


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
    parser.add_argument("--check", action="store_true", help="exit 1 when a circle exists")
    args = parser.parse_args()
    edges, folder_edges, spellings, unresolved = scan()
    groups = circles(edges)

    print("Includes between folders (lines):")
    for (a, b), n in sorted(folder_edges.items()):
        print(f"  {a:16} -> {b:16} {n}")
    print(f"  total {sum(folder_edges.values())}")
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
    if args.check and groups:
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
