#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Counts the system calls and flushes quillet-tag makes per file, with strace.

  bench/syscalls.py [--quillet PATH] [--files N]

Each command runs twice on fresh copies of N corpus files (bench/corpus/read,
their tag regions and 64 KiB of audio): once on the first file alone and once
on all N, so that what a run costs whatever its length (the start, the
journal's folder, the recovery check) drops out: per file is the difference
divided by N - 1. fsync and fdatasync are counted apart, per run.
"""
import argparse
import collections
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import run as common  # noqa: E402

SYNCS = ("fsync", "fdatasync")


def make_files(sources, count, folder):
    os.makedirs(folder, exist_ok=True)
    paths = []
    for i in range(count):
        src = sources[i % len(sources)]
        region = common.tag_region(src)
        with open(src, "rb") as f:
            data = f.read(region + 64 * 1024)
        path = os.path.join(folder, f"song{i:03d}.mp3")
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    return paths


def counted(argv, stdin, scratch):
    """The system calls of one run, by name."""
    log = os.path.join(scratch, "strace.log")
    with open(stdin or os.devnull, "rb") as inp:
        subprocess.run(["strace", "-f", "-qq", "-o", log] + argv, stdin=inp,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    calls = collections.Counter()
    with open(log) as f:
        for line in f:
            m = re.match(r"(?:\d+\s+)?(\w+)\(", line)
            if m:
                calls[m.group(1)] += 1
    return calls


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--quillet", default=os.path.join(HERE, "..", "build", "bin", "quillet-tag"))
    ap.add_argument("--files", type=int, default=20)
    args = ap.parse_args()
    q = os.path.abspath(args.quillet)
    sources = sorted(os.path.join(os.path.join(HERE, common.CORPUS), "read", n)
                     for n in os.listdir(os.path.join(os.path.join(HERE, common.CORPUS), "read")))
    scratch = tempfile.mkdtemp(prefix="quillet-syscalls-")
    try:
        pristine = make_files(sources, args.files, os.path.join(scratch, "pristine"))
        tagjson = os.path.join(scratch, "tag.json")
        pics = os.path.join(scratch, "pics")
        with open(tagjson, "w") as f:
            line = subprocess.run([q, "dump", "--temp", pics, pristine[0]], check=True,
                                  capture_output=True, text=True).stdout
            f.write(json.dumps(json.loads(line)))
        journal = ["--program-folder", os.path.join(scratch, "program")]
        commands = {
            "write --no-journal": (["write", "--no-journal", "--temp", pics], tagjson),
            "write --journal": (["write", "--temp", pics] + journal, tagjson),
            "set Title= --no-journal": (["set", "--no-journal"], None, ["Title=Intro"]),
            "set Title= --journal": (["set"] + journal, None, ["Title=Intro"]),
            "number --journal": (["number"] + journal, None),
            "kill --journal": (["kill"] + journal, None),
            "dump --temp": (["dump", "--temp", pics], None),
            "dump --header-only": (["dump", "--header-only"], None),
        }
        print(f"{'command':28} {'calls/file':>10} {'syncs/run (1, N files)':>24}")
        for name, command in commands.items():
            argv, stdin = command[0], command[1]
            tail = command[2] if len(command) > 2 else []
            runs = []
            for n in (1, args.files):
                work = os.path.join(scratch, "work")
                shutil.rmtree(work, ignore_errors=True)
                shutil.rmtree(os.path.join(scratch, "program"), ignore_errors=True)
                files = make_files(sources, n, work)
                runs.append(counted([q] + argv + files + tail, stdin, scratch))
            total = [sum(r.values()) for r in runs]
            per_file = (total[1] - total[0]) / (args.files - 1)
            syncs = [sum(r[s] for s in SYNCS) for r in runs]
            print(f"{name:28} {per_file:10.1f} {syncs[0]:>12} {syncs[1]:>11}")
            diff = runs[1] - runs[0]
            print("    " + ", ".join(f"{k} {v / (args.files - 1):.1f}"
                                    for k, v in sorted(diff.items()) if v))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
