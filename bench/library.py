#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""The window over a library of files, against quillet-tag on the same files.

  bench/library.py                 # every benchmark, 5 rounds each
  bench/library.py write --rounds 9

- write:  "Write for all" over 2,000 files (the edited file, which is the
          first of them, first) against `quillet-tag write` of the same tag
          (both tags, as the window writes them) into the same 2,000 files.
- changes: "Write changes to all" over 2,000 files (the first file's album and
          recording time edited and a 20 KiB cover added) against
          `quillet-tag set` of the same three fields into the same files; both
          read each file whole and keep the rest of it, both journal.
- rename: the renamer's run over 2,000 files (a full read of each file's two
          tags and a rename) against `quillet-tag write` and `quillet-tag dump`
          (a full read) of the same files.
- add:    "Add to list" of 10,000 selected files of one folder.
- open:   the file view opening a folder of 10,000 files, until all are listed.
- journal: "Write for all" over the 2,000 files with the undo journal (as the
          window always runs) against the same run without it, and the size
          of the journal it leaves.

The window runs offscreen (bench/window/library_bench.cpp) and times the
action itself, from the click to its end; quillet-tag is timed as a whole
process. Contenders run interleaved, round by round, each on a fresh copy of
the files. Reported: medians, per-file costs and their ratio, and the longest
wait between two repaints of the progress bar during a run.

A run has costs of its own besides its files (the window paints itself locked
once and goes back to the Mp3 File tab, quillet-tag starts and reads its
JSON). Each round also times both on the first 20 files: the cost of one more
file is the difference over the 1,980 files between, for both alike.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

from run import spawn as process  # one process timed: (wall, CPU) seconds

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus", "library")
OUT = os.path.join(HERE, "out", "library")


def syncsafe(n):
    return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])


def text_frame(frame_id, text):
    body = b"\0" + text.encode("latin-1")
    return frame_id.encode() + syncsafe(len(body)) + b"\0\0" + body


def song(number, tag_size, audio_size):
    frames = (text_frame("TIT2", f"Song {number}") + text_frame("TPE1", "The Benchmark Ensemble")
              + text_frame("TALB", "Library") + text_frame("TRCK", str(number)))
    tag = b"ID3\4\0\0" + syncsafe(tag_size) + frames + bytes(tag_size - len(frames))
    audio = (b"\xff\xfb\x90\x00" + bytes(413)) * (audio_size // 417)
    trailer = (b"TAG" + f"Song {number}".encode().ljust(30, b"\0") + bytes(30 + 30 + 4 + 28)
               + bytes([0, number % 256, 255]))
    return tag + audio + trailer


SMALL = 20  # the short run beside the 2,000 files


def make_corpus():
    """2,000 tagged files of about 64 KiB, their first 20 apart, and a folder
    of 10,000 small ones."""
    for name, count, tag_size, audio_size in (("2000", 2000, 2048, 60 * 1024),
                                              ("10000", 10000, 256, 417)):
        folder = os.path.join(CORPUS, name)
        if os.path.isdir(folder) and len(os.listdir(folder)) == count:
            continue
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder + ".part")
        for i in range(1, count + 1):
            with open(os.path.join(folder + ".part", f"t{i:05d}.mp3"), "wb") as f:
                f.write(song(i, tag_size, audio_size))
        os.rename(folder + ".part", folder)
    small = os.path.join(CORPUS, str(SMALL))
    if not os.path.isdir(small):
        os.makedirs(small + ".part")
        for path in files_of(os.path.join(CORPUS, "2000"))[:SMALL]:
            shutil.copy(path, small + ".part")
        os.rename(small + ".part", small)


def build():
    build_dir = os.path.join(ROOT, "build")
    if not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"],
                       check=True)
    subprocess.run(["cmake", "--build", build_dir, "-j2", "--target", "quillet-tag",
                    "quillet-library-bench"], check=True, stdout=subprocess.DEVNULL)
    floor = os.path.join(OUT, "bin", "floor")
    os.makedirs(os.path.dirname(floor), exist_ok=True)
    subprocess.run(["gcc", "-O2", "-Wall", "-Wextra", "-o", floor,
                    os.path.join(HERE, "peers", "floor.c")], check=True)
    return (os.path.join(build_dir, "bin", "quillet-tag"),
            os.path.join(build_dir, "bin", "quillet-library-bench"), floor)


def fresh_copy(name):
    target = os.path.join(OUT, name)
    shutil.rmtree(target, ignore_errors=True)
    shutil.copytree(os.path.join(CORPUS, name), target)
    os.sync()
    return target


def files_of(folder):
    return sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".mp3"))


def window(bench, action, folder, *extra):
    program = os.path.join(OUT, "program")
    shutil.rmtree(program, ignore_errors=True)
    os.makedirs(program)
    r = subprocess.run([bench, action, folder, program, *extra], capture_output=True, text=True,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    if r.returncode != 0:
        sys.exit(f"the window's {action} failed: {r.stderr}")
    return json.loads(r.stdout.strip().splitlines()[-1])


def tag_json(q):
    """The first file's two tags as dump prints them: what the window writes."""
    first = files_of(os.path.join(CORPUS, "2000"))[0]
    line = subprocess.run([q, "dump", first], capture_output=True, check=True).stdout
    path = os.path.join(OUT, "tag.json")
    with open(path, "wb") as f:
        f.write(line.splitlines()[0])
    return path


def med(values):
    return statistics.median(values)


class Series:
    """Per-file wall and CPU times of one contender, round by round."""

    def __init__(self):
        self.wall, self.cpu = [], []

    def add(self, wall, cpu, files):
        self.wall.append(wall / files)
        self.cpu.append(cpu / files)

    def us(self):
        return f"{med(self.wall) * 1e6:6.1f} us/file (CPU {med(self.cpu) * 1e6:6.1f})"


def marginal(whole, small, files, small_files):
    """Seconds per file of the files between the short run and the whole one."""
    return [(w - s) / (files - small_files) for w, s in zip(whole, small)]


def ratios(a, b):
    return {"ratio": med(a.wall) / med(b.wall),
            "paired_ratio": med([x / y for x, y in zip(a.wall, b.wall)]),
            "cpu_ratio": med(a.cpu) / med(b.cpu)}


def bench_run(action):
    """The window's run over 2,000 files against quillet-tag on the same files."""
    def run(q, bench, floor, rounds):
        stdin = tag_json(q)
        pictures = os.path.join(OUT, "pictures")
        os.makedirs(pictures, exist_ok=True)
        win, write, dump, least, gaps = Series(), Series(), Series(), Series(), []
        # The window journals every write: quillet-tag doing the same is the
        # contender that does the same work.
        journaled = Series()
        qt_program = os.path.join(OUT, "quillet-tag-program")
        runs = {"window": ([], []), "write": ([], [])}  # whole and short runs, seconds
        for r in range(rounds):
            w = window(bench, action, fresh_copy("2000"))
            win.add(w["seconds"], w["cpu_seconds"], w["files"])
            gaps.append(w["longest_paint_gap_ms"])
            runs["window"][0].append(w["seconds"])
            runs["window"][1].append(window(bench, action, fresh_copy(str(SMALL)))["seconds"])
            files = files_of(fresh_copy("2000"))
            write.add(*process([q, "write", "--no-journal"] + files, stdin), len(files))
            runs["write"][0].append(write.wall[-1] * len(files))
            small = files_of(fresh_copy(str(SMALL)))
            runs["write"][1].append(process([q, "write", "--no-journal"] + small, stdin)[0])
            if action == "write":
                shutil.rmtree(qt_program, ignore_errors=True)
                files = files_of(fresh_copy("2000"))
                journaled.add(*process([q, "write", "--journal", "--program-folder", qt_program]
                                       + files, stdin), len(files))
            if action == "rename":
                dump.add(*process([q, "dump", "--temp", pictures] + files), len(files))
                files = files_of(fresh_copy("2000"))
                least.add(*process([floor, "rename"] + files), len(files))
            print(f"  round {r + 1}: window {win.wall[-1] * 1e6:6.1f} us/file, quillet-tag write "
                  f"{write.wall[-1] * 1e6:6.1f}" + (f", dump {dump.wall[-1] * 1e6:6.1f}"
                                                    if dump.wall else "")
                  + f"; longest paint gap {gaps[-1]:.1f} ms", flush=True)
        print(f"  window {win.us()}, quillet-tag write {write.us()}"
              + (f", dump {dump.us()}, floor {least.us()}" if dump.wall else ""))
        result = {"window_us_per_file": med(win.wall) * 1e6,
                  "window_cpu_us_per_file": med(win.cpu) * 1e6,
                  "quillet_tag_write_us_per_file": med(write.wall) * 1e6,
                  "quillet_tag_write_cpu_us_per_file": med(write.cpu) * 1e6,
                  **ratios(win, write), "longest_paint_gap_ms": max(gaps), "target_ratio": 1.3}
        # The cost of one more file: both write n files.
        if journaled.wall:
            print(f"  quillet-tag write --journal {journaled.us()}")
            result["quillet_tag_write_journal_us_per_file"] = med(journaled.wall) * 1e6
            result.update({k + "_to_journaled": v for k, v in ratios(win, journaled).items()})
        extra = marginal(*runs["window"], 2000, SMALL)
        more = marginal(*runs["write"], 2000, SMALL)
        result["window_marginal_us_per_file"] = med(extra) * 1e6
        result["quillet_tag_write_marginal_us_per_file"] = med(more) * 1e6
        result["marginal_ratio"] = med(extra) / med(more)
        result["marginal_paired_ratio"] = med([x / y for x, y in zip(extra, more)])
        print(f"  one more file: window {med(extra) * 1e6:6.1f} us, quillet-tag write "
              f"{med(more) * 1e6:6.1f} us")
        if dump.wall:
            result["ratio_to_dump"] = ratios(win, dump)["ratio"]
            result["cpu_ratio_to_dump"] = ratios(win, dump)["cpu_ratio"]
            # The least a rename run can cost: the tag and trailer read, the rename.
            result["floor_us_per_file"] = med(least.wall) * 1e6
            result["ratio_to_floor"] = ratios(win, least)["ratio"]
        return result
    return run


def cover_file():
    """A 20 KiB picture that starts as a JPEG does: every file gets it."""
    path = os.path.join(OUT, "cover.jpg")
    if not os.path.exists(path):
        with open(path, "wb") as f:
            f.write(b"\xff\xd8\xff\xe0" + bytes(range(256)) * 80)
    return path


def bench_changes(q, bench, floor, rounds):
    """ "Write changes to all" against `quillet-tag set` of the same fields."""
    cover = cover_file()
    edits = ["Album=Another album", "RecordTime=2026-05-01", f"Pictures[Cover]={cover}:3"]
    program = os.path.join(OUT, "quillet-tag-program")
    win, qset, gaps = Series(), Series(), []
    runs = {"window": ([], []), "set": ([], [])}  # whole and short runs, seconds

    def window_run(name):
        return window(bench, "changes", fresh_copy(name), cover)

    def set_run(name):
        shutil.rmtree(program, ignore_errors=True)
        files = files_of(fresh_copy(name))
        return process([q, "set", "--program-folder", program] + files + edits), len(files)

    for r in range(rounds):
        # Alternating which goes first, so neither always meets the other's dirty pages.
        for name in ("window", "set") if r % 2 == 0 else ("set", "window"):
            if name == "window":
                w = window_run("2000")
                win.add(w["seconds"], w["cpu_seconds"], w["files"])
                gaps.append(w["longest_paint_gap_ms"])
                runs["window"][0].append(w["seconds"])
                runs["window"][1].append(window_run(str(SMALL))["seconds"])
            else:
                (wall, cpu), n = set_run("2000")
                qset.add(wall, cpu, n)
                runs["set"][0].append(wall)
                runs["set"][1].append(set_run(str(SMALL))[0][0])
        print(f"  round {r + 1}: window {win.wall[-1] * 1e6:6.1f} us/file, quillet-tag set "
              f"{qset.wall[-1] * 1e6:6.1f}; longest paint gap {gaps[-1]:.1f} ms", flush=True)
    print(f"  window {win.us()}, quillet-tag set {qset.us()}")
    extra = marginal(*runs["window"], 2000, SMALL)
    more = marginal(*runs["set"], 2000, SMALL)
    print(f"  one more file: window {med(extra) * 1e6:6.1f} us, quillet-tag set "
          f"{med(more) * 1e6:6.1f} us")
    return {"window_us_per_file": med(win.wall) * 1e6,
            "quillet_tag_set_us_per_file": med(qset.wall) * 1e6, **ratios(win, qset),
            "window_marginal_us_per_file": med(extra) * 1e6,
            "quillet_tag_set_marginal_us_per_file": med(more) * 1e6,
            "marginal_paired_ratio": med([x / y for x, y in zip(extra, more)]),
            "longest_paint_gap_ms": max(gaps), "target_ratio": 1.2}


def bench_folder(action):
    def run(q, bench, floor, rounds):
        folder = os.path.join(CORPUS, "10000")
        times = []
        for r in range(rounds):
            times.append(window(bench, action, folder)["seconds"])
            print(f"  round {r + 1}: {times[-1] * 1000:.1f} ms for 10,000 files", flush=True)
        result = {"median_ms": med(times) * 1000, "worst_ms": max(times) * 1000}
        if action == "add":
            result["target_ms"] = 1000
        return result
    return run


def bench_journal(q, bench, floor, rounds):
    """ "Write for all" with the undo journal against the same run without it."""
    journaled, plain, sizes = Series(), Series(), []
    for r in range(rounds):
        # Alternating which goes first, so neither always meets the other's dirty pages.
        order = [("journal", ()), ("plain", ("no-journal",))]
        for name, extra in order if r % 2 == 0 else reversed(order):
            w = window(bench, "write", fresh_copy("2000"), *extra)
            (journaled if name == "journal" else plain).add(w["seconds"], w["cpu_seconds"],
                                                            w["files"])
            if name == "journal":
                folder = os.path.join(OUT, "program", "journal")
                sizes.append(sum(os.path.getsize(os.path.join(folder, n))
                                 for n in os.listdir(folder)))
        print(f"  round {r + 1}: journal {journaled.wall[-1] * 1e6:6.1f} us/file, "
              f"plain {plain.wall[-1] * 1e6:6.1f}", flush=True)
    print(f"  journal {journaled.us()}, plain {plain.us()}")
    return {"journal_us_per_file": med(journaled.wall) * 1e6,
            "plain_us_per_file": med(plain.wall) * 1e6, **ratios(journaled, plain),
            "journal_bytes": med(sizes), "target_ratio": 1.2}


BENCHES = {"write": bench_run("write"), "changes": bench_changes,
           "rename": bench_run("rename"), "add": bench_folder("add"),
           "open": bench_folder("open"), "journal": bench_journal}


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("benches", nargs="*", metavar="BENCH", help=", ".join(BENCHES))
    ap.add_argument("--rounds", type=int, default=5)
    args = ap.parse_args()
    q, bench, floor = build()
    make_corpus()
    os.makedirs(OUT, exist_ok=True)
    results = {"load_before": os.getloadavg()[0]}
    for name in args.benches or list(BENCHES):
        print(f"== {name}", flush=True)
        results[name] = BENCHES[name](q, bench, floor, args.rounds)
        print("   " + json.dumps({k: round(v, 3) for k, v in results[name].items()}), flush=True)
    results["load_after"] = os.getloadavg()[0]
    stamp = time.strftime("%Y%m%d-%H%M%S")
    with open(os.path.join(OUT, f"results-{stamp}.json"), "w") as f:
        json.dump(results, f, indent=1)
    print(f"saved {OUT}/results-{stamp}.json")


if __name__ == "__main__":
    main()
