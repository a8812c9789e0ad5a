#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Times quillet-tag against TagLib and the machine's floor, side by side.

Every measurement is one whole process over all files of a set (e.g.
`quillet-tag dump --temp DIR corpus/read/*.mp3 > /dev/null`). The contenders
of a benchmark run interleaved, round by round (A B C, A B C, ...), so that the
noise of a shared machine falls on all of them alike. Writes work on copies
that are restored from the pristine corpus, and flushed to disk, before every
timed run; that restore is not timed. Reported: the median wall time and CPU
time (user + system) per contender, and the ratios of the medians.

  bench/gen_corpus.py          # once: builds bench/corpus/
  bench/run.py                 # all benchmarks that quillet-tag supports
  bench/run.py read header     # only these (read, header, set, grow, regrow, cover)
"""
import argparse
import datetime
import json
import os
import platform
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = "corpus"
OUT = "out"
TITLE = "Intro"

try:
    from mutagen.id3 import ID3
except ImportError:  # only the checks of the write results need it
    ID3 = None


def say(msg=""):
    print(msg, flush=True)


# ---------------------------------------------------------------- building

def build_quillet(args):
    if args.quillet:
        return os.path.abspath(args.quillet)
    build = os.path.join(ROOT, "build")
    binary = os.path.join(build, "bin", "quillet-tag")
    if not args.no_build:
        if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
            subprocess.run(["cmake", "-S", ROOT, "-B", build,
                            "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], check=True)
        subprocess.run(["cmake", "--build", build, "-j2", "--target", "quillet-tag"],
                       check=True, stdout=subprocess.DEVNULL)
    if not os.access(binary, os.X_OK):
        sys.exit(f"{binary} is missing: build it first (see bench/README.md)")
    return binary


def build_peer(source, binary, compiler, flags):
    if os.path.exists(binary) and os.path.getmtime(binary) >= os.path.getmtime(source):
        return binary
    os.makedirs(os.path.dirname(binary), exist_ok=True)
    subprocess.run([compiler, "-O2", "-Wall", "-Wextra", "-o", binary, source] + flags,
                   check=True)
    return binary


def build_peers():
    taglib = subprocess.run(["pkg-config", "--cflags", "--libs", "taglib"],
                            capture_output=True, text=True)
    if taglib.returncode != 0:
        sys.exit("TagLib is missing (apt-get install libtag1-dev)")
    peer = build_peer("peers/taglib_peer.cpp", f"{OUT}/bin/taglib_peer", "g++",
                      ["-std=c++17"] + taglib.stdout.split())
    floor = build_peer("peers/floor.c", f"{OUT}/bin/floor", "gcc", [])
    return os.path.abspath(peer), os.path.abspath(floor)


# ---------------------------------------------------------------- timing

def spawn(argv, stdin=None):
    """Runs one process with stdout to /dev/null; returns (wall s, cpu s)."""
    actions = [(os.POSIX_SPAWN_OPEN, 0, stdin or os.devnull, os.O_RDONLY, 0),
               (os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0)]
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        raise RuntimeError(f"{os.path.basename(argv[0])} {argv[1]} exited with {code}: "
                           f"{' '.join(argv[:6])} ...")
    return wall, usage.ru_utime + usage.ru_stime


def run_output(argv, stdin=None):
    with open(stdin or os.devnull, "rb") as f:
        return subprocess.run(argv, stdin=f, capture_output=True)


class Contender:
    def __init__(self, name, argv, prepare=None, stdin=None, check=None):
        self.name, self.argv, self.prepare, self.stdin, self.check = (
            name, argv, prepare, stdin, check)
        self.wall, self.cpu = [], []

    def run(self, timed=True):
        if self.prepare:
            self.prepare()
        wall, cpu = spawn(self.argv, self.stdin)
        if timed:
            self.wall.append(wall)
            self.cpu.append(cpu)
        elif self.check:
            self.check()


def measure(title, contenders, rounds):
    say(f"\n== {title}: {rounds} rounds of " + " ".join(c.name for c in contenders))
    # One untimed run each warms the page cache and checks what was done.
    for c in contenders:
        c.run(timed=False)
    for r in range(rounds):
        for c in contenders:
            c.run()
        say(f"  round {r + 1:2d}: " + "  ".join(f"{c.name} {c.wall[-1] * 1000:7.1f} ms"
                                                for c in contenders))


def median_ms(values):
    return statistics.median(values) * 1000


# ---------------------------------------------------------------- corpus copies

def tag_region(path):
    with open(path, "rb") as f:
        head = f.read(10)
    if len(head) < 10 or head[:3] != b"ID3":
        return 0
    return 10 + sum((b & 0x7F) << (7 * (3 - i)) for i, b in enumerate(head[6:10]))


def copy_set(sources, folder):
    os.makedirs(folder, exist_ok=True)
    targets = []
    for src in sources:
        dst = os.path.join(folder, os.path.basename(src))
        shutil.copyfile(src, dst)
        targets.append(dst)
    return targets


def restore_prefix(sources, targets):
    """Undoes an in-place write cheaply: the tag region is copied back when
    the file kept its size (a moving write gets the whole file back)."""
    for src, dst in zip(sources, targets):
        if not os.path.exists(dst) or os.path.getsize(dst) != os.path.getsize(src):
            shutil.copyfile(src, dst)
            continue
        n = max(tag_region(src), tag_region(dst))
        with open(src, "rb") as f:
            data = f.read(n)
        fd = os.open(dst, os.O_WRONLY)
        try:
            os.pwrite(fd, data, 0)
        finally:
            os.close(fd)
    os.sync()


def restore_folder(sources, folder):
    """A fresh copy of the files, nothing else in the folder."""
    shutil.rmtree(folder, ignore_errors=True)
    copy_set(sources, folder)
    os.sync()


def empty_folder(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    os.sync()


def warm(paths):
    for p in paths:
        with open(p, "rb") as f:
            while f.read(1 << 20):
                pass


# ---------------------------------------------------------------- checks

def same_bytes(a, b):
    with open(a, "rb") as f, open(b, "rb") as g:
        return f.read() == g.read()


def audio_unchanged(original, written):
    """The audio after the old tag is the new file's tail, byte for byte."""
    with open(original, "rb") as f:
        f.seek(tag_region(original))
        audio = f.read()
    with open(written, "rb") as f:
        f.seek(-len(audio), os.SEEK_END)
        return f.read() == audio


def check_written(original, written, title, pictures):
    """What a write must leave, seen by mutagen (a peer reader)."""
    problems = []
    if not audio_unchanged(original, written):
        problems.append("audio bytes changed")
    if ID3 is None:
        return problems
    try:
        tags = ID3(written)
    except Exception as e:  # noqa: BLE001 - any failure to read is the finding
        return problems + [f"mutagen cannot read it: {e}"]
    if str(tags.get("TIT2", "")) != title:
        problems.append(f"title {tags.get('TIT2')!r}, expected {title!r}")
    if str(tags.get("TPE1", "")) != "The Benchmark Ensemble":
        problems.append("artist lost")
    sizes = sorted(len(p.data) for p in tags.getall("APIC"))
    if sizes != sorted(pictures):
        problems.append(f"pictures of {sizes} bytes, expected {sorted(pictures)}")
    return problems


def expect(ok, what):
    if not ok:
        raise RuntimeError(what)


def checker(sources, targets, titles, pictures, label):
    def check():
        for i in (0, len(targets) - 1):  # one ID3v2.4 and one ID3v2.3 file
            problems = check_written(sources[i], targets[i], titles(i), pictures)
            expect(not problems, f"{label} wrote {targets[i]} wrongly: {'; '.join(problems)}")
    return check


def picture_checker(folder, cover):
    def check():
        expect(same_bytes(os.path.join(folder, "1image.jpg"), cover),
               f"the picture in {folder} differs from {cover}")
    return check


# ---------------------------------------------------------------- quillet-tag's commands

def probe_dump(q, sample):
    r = run_output([q, "dump", "--header-only", sample])
    return r.returncode == 0 and b'"tagSize"' in r.stdout


def unjournaled(q):
    """The option that keeps a write out of the undo journal, where this
    quillet-tag journals every write unless told: the peers keep none."""
    r = run_output([q, "--help"])
    return ["--no-journal"] if b"--no-journal" in r.stdout else []


def probe_set(q, sample, folder, pictures):
    """Returns the extra arguments set takes (--temp DIR or none), or None
    when this quillet-tag has no set command."""
    for extra in (unjournaled(q) + ["--temp", f"{pictures}/quillet-set"], unjournaled(q)):
        [copy] = copy_set([sample], folder)
        r = run_output([q, "set"] + extra + [copy, f"Title={TITLE}"])
        if r.returncode == 2:  # a usage error: no such command, or no --temp
            continue
        expect(r.returncode == 0, f"quillet-tag set failed: {r.stdout!r} {r.stderr!r}")
        problems = check_written(sample, copy, TITLE, [61440])
        expect(not problems, f"quillet-tag set wrote wrongly: {'; '.join(problems)}")
        if os.path.getsize(copy) != os.path.getsize(sample):
            say("   quillet-tag set changed the file's size: the title was not written in place")
        return extra
    return None


def write_input(q, sample, cover_big, folder):
    """The JSON for `quillet-tag write`: the sample's own tag as dump prints
    it, with its cover taken from a file and a 300 KiB picture added."""
    pictures = os.path.abspath(os.path.join(folder, "pictures"))
    os.makedirs(pictures, exist_ok=True)
    r = run_output([q, "dump", "--temp", pictures, sample])
    expect(r.returncode == 0, f"quillet-tag dump {sample} failed: {r.stdout!r}")
    line = json.loads(r.stdout.decode().splitlines()[0])
    # The ID3v2 tag only, as the peers write it: an "id3v1" member would also
    # append a trailer to these untagged files.
    line.pop("id3v1", None)
    tag = line["id3v2"]
    for p in tag["Pictures"]:
        p["pictureFile"] = os.path.join(pictures, p["pictureFile"])
    tag["Pictures"].append({"mimeType": "image/jpeg\0", "pictureType": "Cover (back)",
                            "description": "Back\0",
                            "pictureFile": os.path.abspath(cover_big), "size": 0})
    path = os.path.join(folder, "write.json")
    with open(path, "w") as f:
        json.dump(line, f)
    return path, tag["texts"]["Title"].rstrip("\0")


def probe_write(q, sample, stdin, title, folder):
    [copy] = copy_set([sample], folder)
    r = run_output([q, "write"] + unjournaled(q) + [copy], stdin)
    if r.returncode == 2 or b"usage" in r.stderr:
        return False
    expect(r.returncode == 0, f"quillet-tag write failed: {r.stdout!r} {r.stderr!r}")
    problems = check_written(sample, copy, title, [61440, 307200])
    expect(not problems, f"quillet-tag write wrote wrongly: {'; '.join(problems)}")
    return True


# ---------------------------------------------------------------- the benchmarks

def ratio(a, b):
    return statistics.median(a.wall) / statistics.median(b.wall)


def paired(a, b):
    return statistics.median(x / y for x, y in zip(a.wall, b.wall))


def summarize(name, contenders, base, targets, results):
    rows = []
    for c in contenders:
        rows.append({"contender": c.name, "median_wall_ms": round(median_ms(c.wall), 2),
                     "median_cpu_ms": round(median_ms(c.cpu), 2),
                     "ratio_to_" + base.name: round(ratio(c, base), 3),
                     "paired_ratio_to_" + base.name: round(paired(c, base), 3),
                     "wall_s": c.wall, "cpu_s": c.cpu})
    verdicts = []
    for who, against, limit in targets:
        if who not in contenders or against not in contenders:
            continue
        r = ratio(who, against)
        # quillet's figures have targets; a peer's figure is compared with
        # what the issue measured, as a check on the set-up.
        v = {"what": f"{who.name}/{against.name}", "ratio": round(r, 3),
             "paired": round(paired(who, against), 3)}
        if limit is not None and who.name == "quillet":
            v.update(target=limit, met=r <= limit)
        elif limit is not None:
            v.update(issue_measured=limit)
        verdicts.append(v)
    results[name] = {"rows": rows, "targets": verdicts}


def with_against(ctx, every, q, targets):
    """With --against: q's command run by the other quillet-tag too, in the
    same rounds, and the ratio of the two reported."""
    if not ctx["against"] or q not in every:
        return every, targets
    a = Contender("against", [ctx["against"]] + q.argv[1:], q.prepare, q.stdin, q.check)
    return every + [a], targets + [(q, a, None)]


def bench_read(ctx, rounds, results):
    files = ctx["read"]
    pics = {n: f"{ctx['pictures']}/{n}" for n in ("quillet", "taglib", "floor", "floor-trunc")}
    for d in pics.values():
        os.makedirs(d, exist_ok=True)
    cover = f"{CORPUS}/cover60.jpg"
    q = Contender("quillet", [ctx["q"], "dump", "--temp", pics["quillet"]] + files,
                  check=picture_checker(pics["quillet"], cover))
    t = Contender("taglib", [ctx["taglib"], "read", pics["taglib"]] + files,
                  check=picture_checker(pics["taglib"], cover))
    f = Contender("floor", [ctx["floor"], "read", pics["floor"]] + files,
                  check=picture_checker(pics["floor"], cover))
    # The floor with the picture overwritten through O_TRUNC, as the engine
    # writes it today: on ext4 each truncation waits for the disk.
    ft = Contender("floor-trunc", [ctx["floor"], "read-trunc", pics["floor-trunc"]] + files,
                   check=picture_checker(pics["floor-trunc"], cover))
    every, targets = with_against(ctx, [q, t, f, ft], q, [(q, f, 1.15), (t, f, 1.35), (q, t, None),
                                                     (q, ft, None), (t, ft, None)])
    measure(f"full read of {len(files)} files", every, rounds)
    summarize("read", every, f, targets, results)


def bench_header(ctx, rounds, results):
    files = ctx["read"]
    q = Contender("quillet", [ctx["q"], "dump", "--header-only"] + files)
    t = Contender("taglib", [ctx["taglib"], "header"] + files)
    f = Contender("floor", [ctx["floor"], "header"] + files)
    every, targets = with_against(ctx, [q, t, f], q, [(q, f, 1.2), (t, f, 1.47), (q, t, None)])
    measure(f"header scan of {len(files)} files", every, rounds)
    summarize("header", every, f, targets, results)


def bench_set(ctx, rounds, results):
    sources = ctx["read"]
    extra = ctx["set"]
    if extra is None:
        say("\n== in-place title change: quillet-tag SKIPPED, it has no `set` command")
        if not ctx["peers_anyway"]:
            results["set"] = {"skipped": "quillet-tag has no set command"}
            return
    targets = copy_set(sources, f"{OUT}/set")
    warm(targets)

    def restore():
        restore_prefix(sources, targets)

    def original_title(i):
        return ID3(sources[i])["TIT2"].text[0] if ID3 else ""

    q = Contender("quillet", [ctx["q"], "set"] + (extra or []) + targets + [f"Title={TITLE}"],
                  prepare=restore,
                  check=checker(sources, targets, lambda i: TITLE, [61440], "quillet-tag set"))
    t = Contender("taglib", [ctx["taglib"], "settitle", TITLE] + targets, prepare=restore,
                  check=checker(sources, targets, lambda i: TITLE, [61440], "taglib_peer"))
    f = Contender("floor", [ctx["floor"], "inplace"] + targets, prepare=restore,
                  check=checker(sources, targets, original_title, [61440], "floor"))
    every, goals = with_against(ctx, [q, t, f] if extra is not None else [t, f], q,
                           [(q, f, 1.6), (t, f, 4.2), (q, t, None)])
    measure(f"in-place title change of {len(targets)} files", every, rounds)
    summarize("set", every, f, goals, results)


def bench_grow(ctx, rounds, results):
    sources = ctx["grow"]
    if not ctx["write"]:
        say("\n== growing write: quillet-tag SKIPPED, it has no `write` command")
        if not ctx["peers_anyway"]:
            results["grow"] = {"skipped": "quillet-tag has no write command"}
            return
    big = f"{CORPUS}/cover300.jpg"
    stdin, title = ctx["write_input"]
    folder = f"{OUT}/grow"
    targets = copy_set(sources, folder)
    cp_folder = f"{OUT}/grow-cp"

    def restore():
        restore_folder(sources, folder)

    def same_title(i):
        return ID3(sources[i])["TIT2"].text[0] if ID3 else ""

    two = [61440, 307200]
    q = Contender("quillet", [ctx["q"], "write"] + unjournaled(ctx["q"]) + targets,
                  prepare=restore, stdin=stdin,
                  check=checker(sources, targets, lambda i: title, two, "quillet-tag write"))
    t = Contender("taglib", [ctx["taglib"], "addpicture", big] + targets, prepare=restore,
                  check=checker(sources, targets, same_title, two, "taglib_peer"))
    c = Contender("cp", [shutil.which("cp")] + targets + [cp_folder],
                  prepare=lambda: empty_folder(cp_folder))
    # The floor of a moving write is the copy itself; the grown shapes show
    # what the bigger file, its replacing the old one by rename, and a flush
    # to disk before that rename cost at least.
    f = Contender("floor", [ctx["floor"], "copy"] + targets, prepare=restore)
    fg = Contender("floor-grown", [ctx["floor"], "grow", big] + targets, prepare=restore,
                   check=checker(sources, [p + ".grown" for p in targets], same_title, two,
                                 "floor"))
    fr = Contender("floor-replace", [ctx["floor"], "grow-replace", big] + targets,
                   prepare=restore, check=checker(sources, targets, same_title, two, "floor"))
    fd = Contender("floor-durable", [ctx["floor"], "grow-durable", big] + targets,
                   prepare=restore, check=checker(sources, targets, same_title, two, "floor"))
    every, goals = with_against(ctx, [q, t, c, f, fg, fr, fd] if ctx["write"] else
                           [t, c, f, fg, fr, fd], q,
                           [(q, c, 1.2), (t, f, 1.35), (c, f, 1.03), (q, t, None),
                            (q, fd, None), (t, fg, None), (fr, fg, None), (fd, fg, None)])
    measure(f"growing write of {len(targets)} files", every, rounds)
    summarize("grow", every, f, goals, results)


def bench_cover(ctx, rounds, results):
    """A 300 KiB cover added as a second picture to each file by one set call:
    each file's own texts and lists stay, as TagLib's addpicture keeps them."""
    sources = ctx["grow"]
    big = f"{CORPUS}/cover300.jpg"
    folder = f"{OUT}/cover"
    targets = copy_set(sources, folder)
    probe = f"{OUT}/probe-cover"
    shutil.rmtree(probe, ignore_errors=True)
    sample = copy_set(sources[:1], probe)[0]
    if run_output([ctx["q"], "set", sample, f"Pictures+={big}"]).returncode != 0:
        say("\n== cover: quillet-tag SKIPPED, its set takes no list edits")
        results["cover"] = {"skipped": "quillet-tag set has no list edits"}
        return

    def restore():
        restore_folder(sources, folder)

    def same_title(i):
        return ID3(sources[i])["TIT2"].text[0] if ID3 else ""

    two = [61440, 307200]
    q = Contender("quillet", [ctx["q"], "set"] + (ctx["set"] or []) + targets +
                  [f"Pictures+={big}"], prepare=restore,
                  check=checker(sources, targets, same_title, two, "quillet-tag set"))
    t = Contender("taglib", [ctx["taglib"], "addpicture", big] + targets, prepare=restore,
                  check=checker(sources, targets, same_title, two, "taglib_peer"))
    c = Contender("cp", [shutil.which("cp")] + targets + [f"{OUT}/cover-cp"],
                  prepare=lambda: empty_folder(f"{OUT}/cover-cp"))
    f = Contender("floor", [ctx["floor"], "copy"] + targets, prepare=restore)
    fd = Contender("floor-durable", [ctx["floor"], "grow-durable", big] + targets,
                   prepare=restore, check=checker(sources, targets, same_title, two, "floor"))
    every = [q, t, c, f, fd]
    measure(f"a 300 KiB cover added to {len(targets)} files by set", every, rounds)
    summarize("cover", every, f, [(q, t, None), (q, c, None), (t, f, None), (q, fd, None)],
              results)


def padding_of(path):
    """The zero bytes a tag declares after its last frame (ID3v2.4 files)."""
    end = tag_region(path)
    with open(path, "rb") as f:
        data = f.read(end)
    at = 10
    while at + 10 <= end and data[at] != 0:
        at += 10 + sum((b & 0x7F) << (7 * (3 - i)) for i, b in enumerate(data[at + 4:at + 8]))
    return end - at


def bench_regrow(ctx, rounds, results):
    """A second edit that grows the tag a little, on files that grew once."""
    if not ctx["write"] or ctx["set"] is None:
        say("\n== second growing edit: quillet-tag SKIPPED, it lacks `write` or `set`")
        results["regrow"] = {"skipped": "quillet-tag has no write or set command"}
        return
    # The files as quillet-tag's own growing write leaves them (untimed).
    grown_folder = f"{OUT}/regrow-grown"
    restore_folder(ctx["grow"], grown_folder)
    grown = sorted(f"{grown_folder}/{n}" for n in os.listdir(grown_folder))
    stdin, title = ctx["write_input"]
    spawn([ctx["q"], "write"] + unjournaled(ctx["q"]) + grown, stdin)
    room = min(padding_of(p) for p in grown)
    longer = title + "+" * REGROW_BYTES
    say(f"\n   the grown files declare {room} bytes of padding or more; the title grows by "
        f"{REGROW_BYTES}")
    targets = copy_set(grown, f"{OUT}/regrow")
    warm(targets)

    def restore():
        restore_prefix(grown, targets)

    def check_quillet():
        checker(grown, targets, lambda i: longer, [61440, 307200], "quillet-tag set")()
        moved = [t for g, t in zip(grown, targets) if os.path.getsize(g) != os.path.getsize(t)]
        say(f"   quillet-tag set: {len(targets) - len(moved)} of {len(targets)} files "
            "written in place")

    def same_title(i):
        return ID3(grown[i])["TIT2"].text[0] if ID3 else ""

    q = Contender("quillet", [ctx["q"], "set"] + ctx["set"] + targets + [f"Title={longer}"],
                  prepare=restore, check=check_quillet)
    t = Contender("taglib", [ctx["taglib"], "settitle", longer] + targets, prepare=restore,
                  check=checker(grown, targets, lambda i: longer, [61440, 307200],
                                "taglib_peer"))
    f = Contender("floor", [ctx["floor"], "inplace"] + targets, prepare=restore,
                  check=checker(grown, targets, same_title, [61440, 307200], "floor"))
    measure(f"second growing edit of {len(targets)} grown files", [q, t, f], rounds)
    summarize("regrow", [q, t, f], f, [(q, f, 2.5), (q, t, None)], results)


# The second growing edit adds this many bytes to the title: within the
# padding a grown tag declares (at least 1 byte; 0 before a grown tag declared
# any).
REGROW_BYTES = 16

# Reads take milliseconds, so many rounds are cheap; writes take longer.
DEFAULT_ROUNDS = {"read": 31, "header": 51, "set": 11, "grow": 11, "regrow": 11, "cover": 11}
BENCHES = {"read": bench_read, "header": bench_header, "set": bench_set, "grow": bench_grow,
           "regrow": bench_regrow, "cover": bench_cover}
TITLES = {"read": "Full read (`dump`)", "header": "Header scan (`dump --header-only`)",
          "set": "In-place title change (`set Title=Intro`)",
          "grow": "Growing write, 300 KiB picture added (`write`)",
          "regrow": "Second growing edit on grown files (`set Title=...+16 bytes`)",
          "cover": "A cover added as a second picture (`set Pictures+=cover300.jpg`)"}


def report(results, meta):
    lines = [f"Run {meta['when']} on {meta['cpus']} CPUs, load {meta['load_before']} before "
             f"and {meta['load_after']} after; quillet-tag {meta['quillet_rev']}; "
             f"pictures of the full read in {meta['pictures']}.", ""]
    for name, r in results.items():
        lines.append(f"### {TITLES[name]}")
        if "skipped" in r:
            lines += ["", f"Skipped: {r['skipped']}.", ""]
            continue
        base = [k for k in r["rows"][0] if k.startswith("ratio_to_")][0]
        lines += ["", f"| contender | median wall ms | median CPU ms | {base.replace('_', ' ')} |"
                      " paired |", "|---|---:|---:|---:|---:|"]
        for row in r["rows"]:
            lines.append(f"| {row['contender']} | {row['median_wall_ms']:.1f} | "
                         f"{row['median_cpu_ms']:.1f} | {row[base]:.2f} | "
                         f"{row['paired_' + base]:.2f} |")
        lines.append("")
        for v in r["targets"]:
            verdict = (f"target {v['target']}: {'met' if v['met'] else 'MISSED'}" if "target" in v
                       else f"the issue measured {v['issue_measured']}" if "issue_measured" in v
                       else "for comparison")
            lines.append(f"- {v['what']} = {v['ratio']:.2f} (paired {v['paired']:.2f}), "
                         f"{verdict}")
        lines.append("")
    return "\n".join(lines)


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("benches", nargs="*", metavar="BENCH",
                    help=f"any of {', '.join(BENCHES)} (default: all)")
    ap.add_argument("--rounds", type=int, help="rounds per benchmark "
                    "(default: read 31, header 51, set and grow 11)")
    ap.add_argument("--quillet", help="the quillet-tag to time (default: build/bin/quillet-tag, "
                    "built first)")
    ap.add_argument("--no-build", action="store_true", help="do not rebuild quillet-tag")
    ap.add_argument("--against", metavar="OLD", help="also time another quillet-tag (an earlier "
                    "build) in the same rounds, for read, header, set and grow")
    ap.add_argument("--pictures", default=f"{OUT}/pics", metavar="DIR",
                    help="where pictures are extracted (default bench/out/pics, on the "
                    "corpus's disk; a tmpfs such as /dev/shm/x leaves the disk out)")
    ap.add_argument("--peers-anyway", action="store_true",
                    help="time the peers of set and grow even when quillet-tag lacks the command")
    args = ap.parse_args()
    benches = args.benches or list(BENCHES)
    for b in benches:
        if b not in BENCHES:
            ap.error(f"no benchmark {b!r}; there are {', '.join(BENCHES)}")

    os.chdir(HERE)
    if not os.path.isdir(f"{CORPUS}/read"):
        sys.exit("no corpus: run /usr/bin/python3 bench/gen_corpus.py first")
    if ID3 is None:
        say("mutagen is missing: written files are checked for their audio only "
            "(run with /usr/bin/python3)")
    os.makedirs(OUT, exist_ok=True)

    q = build_quillet(args)
    taglib, floor = build_peers()
    read_files = sorted(f"{CORPUS}/read/{n}" for n in os.listdir(f"{CORPUS}/read"))
    grow_files = sorted(f"{CORPUS}/grow/{n}" for n in os.listdir(f"{CORPUS}/grow"))
    ctx = {"q": q, "taglib": taglib, "floor": floor, "read": read_files, "grow": grow_files,
           "peers_anyway": args.peers_anyway, "pictures": os.path.abspath(args.pictures),
           "against": os.path.abspath(args.against) if args.against else None}

    expect(probe_dump(q, read_files[0]), f"{q} cannot dump --header-only")
    probe = f"{OUT}/probe"
    shutil.rmtree(probe, ignore_errors=True)
    ctx["set"] = (probe_set(q, read_files[-1], probe, ctx["pictures"])
                  if {"set", "regrow", "cover"} & set(benches) else None)
    ctx["write"] = False
    if "grow" in benches or "regrow" in benches:
        ctx["write_input"] = write_input(q, grow_files[0], f"{CORPUS}/cover300.jpg", OUT)
        ctx["write"] = probe_write(q, grow_files[-1], ctx["write_input"][0],
                                   ctx["write_input"][1], probe)
    say(f"quillet-tag: {q}; set {'yes' if ctx['set'] is not None else 'no'}, "
        f"write {'yes' if ctx['write'] else 'no'}")

    # Every contender reads the same files, all in the page cache.
    warm(read_files + grow_files)
    rev = subprocess.run(["git", "-C", ROOT, "describe", "--always", "--dirty"],
                         capture_output=True, text=True).stdout.strip()
    meta = {"when": datetime.datetime.now().isoformat(timespec="seconds"),
            "cpus": os.cpu_count(), "kernel": platform.release(), "quillet_rev": rev,
            "load_before": " ".join(f"{x:.2f}" for x in os.getloadavg()),
            "pictures": ctx["pictures"]}
    results = {}
    for name in benches:
        rounds = args.rounds or DEFAULT_ROUNDS[name]
        BENCHES[name](ctx, rounds, results)
    meta["load_after"] = " ".join(f"{x:.2f}" for x in os.getloadavg())

    text = report(results, meta)
    say("\n" + text)
    stamp = datetime.datetime.now().strftime("%Y%m%d-%H%M%S")
    with open(f"{OUT}/results-{stamp}.json", "w") as f:
        json.dump({"meta": meta, "results": results}, f, indent=1)
    with open(f"{OUT}/results-{stamp}.md", "w") as f:
        f.write(text + "\n")
    say(f"\nsaved {OUT}/results-{stamp}.json and .md")


if __name__ == "__main__":
    main()
