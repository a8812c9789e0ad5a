#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Times "Write for all" with the undo journal against the same run without
it, side by side, and measures the journal the runs leave.

  bench/journal.py                      # 2,000 files, 11 rounds
  bench/journal.py --files 500 --rounds 5
  bench/journal.py --against OLD        # also OLD's two runs, round by round

The run is `quillet-tag write FILES < TAG.json`, the window's "Write for all"
from the command line: one tag, the first corpus file's own tag and trailer as
dump prints them, written into every file, trailer included. `--journal`
(the default; `--no-journal` for the plain run) records each file before it
is written. The files are made from the corpus'
read/ set (bench/gen_corpus.py): each file's tag region, then 64 KiB of its
audio, taking the 300 files in turn. The contenders alternate round by round;
before every run the files come back from a pristine copy, the journal folder
is emptied and everything is flushed: none of that is timed.

With --against, another quillet-tag (an earlier build, say) runs the same
two runs in the same rounds, and the paired ratios of this one to it are
reported: the journal's cost before and after a change, side by side.

The time `undo --list` takes to read a journal of 20 such actions is
compared with the same journal damaged: the newest cut short, and 3 GiB of
zeros (a sparse file) after an action's preamble.

The journal's size is reported for the runs above and for the 300 corpus
files themselves (write, and set of each file's own title), made on copies
of their tag regions: the journal holds the regions and trailers only, so
the audio's length changes nothing in it.
"""
import argparse
import glob
import os
import shutil
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import run as common  # noqa: E402  the timing and building helpers

AUDIO_KEPT = 64 * 1024


def make_files(sources, count, folder):
    """count files from the sources' tag regions and the start of their audio."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    paths = []
    for i in range(count):
        src = sources[i % len(sources)]
        region = common.tag_region(src)
        with open(src, "rb") as f:
            data = f.read(region + AUDIO_KEPT)
        path = os.path.join(folder, f"song{i:05d}.mp3")
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    return paths


def restore(pristine, work):
    shutil.rmtree(work, ignore_errors=True)
    shutil.copytree(pristine, work)


def journal_bytes(program):
    folder = os.path.join(program, "journal")
    if not os.path.isdir(folder):
        return 0, 0
    sizes = [os.path.getsize(p) for p in glob.glob(os.path.join(folder, "*.action"))]
    return len(sizes), sum(sizes)


def check_undo(quillet, program, pristine, work):
    """The journal's own check: one undo brings every file back."""
    subprocess.run([quillet, "undo", "--program-folder", program], check=True,
                   stdout=subprocess.DEVNULL)
    for name in os.listdir(pristine):
        if not common.same_bytes(os.path.join(pristine, name), os.path.join(work, name)):
            sys.exit(f"undo did not give back {name}")


def read_damaged(quillet, out, tag_json, pics, work, pristine, rounds):
    """undo --list over a journal of 20 actions, healthy and damaged."""
    program = os.path.join(out, "program-damaged")
    shutil.rmtree(program, ignore_errors=True)
    restore(pristine, work)
    files = [os.path.join(work, n) for n in sorted(os.listdir(work))[:20]]
    for _ in range(20):
        common.spawn([quillet, "write", "--temp", pics, "--program-folder", program] + files,
                     tag_json)
    folder = os.path.join(program, "journal")
    actions = sorted(glob.glob(os.path.join(folder, "*.action")))
    listing = [quillet, "undo", "--list", "--program-folder", program]

    def timed():
        return statistics.median(common.spawn(listing)[0] for _ in range(rounds))

    results = [("healthy", timed())]
    with open(actions[-1], "r+b") as f:
        f.truncate(os.path.getsize(actions[-1]) - 3)
    results.append(("the newest cut short", timed()))
    with open(actions[0], "r+b") as f:
        f.truncate(16)
        f.truncate(3 << 30)
    results.append(("+ 3 GiB of zeros in the oldest", timed()))
    return results


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--files", type=int, default=2000)
    ap.add_argument("--rounds", type=int, default=11)
    ap.add_argument("--quillet", help="time this quillet-tag instead of build/bin's")
    ap.add_argument("--no-build", action="store_true")
    ap.add_argument("--against", help="also time this quillet-tag, round by round")
    args = ap.parse_args()
    os.chdir(HERE)
    quillet = common.build_quillet(args)
    sources = sorted(glob.glob(os.path.join(common.CORPUS, "read", "*.mp3")))
    if not sources:
        sys.exit("bench/corpus/read is missing: run bench/gen_corpus.py first")

    out = os.path.abspath(os.path.join(common.OUT, "journal"))
    pristine, work, program = (os.path.join(out, n) for n in ("pristine", "work", "program"))
    make_files(sources, args.files, pristine)
    os.makedirs(program, exist_ok=True)
    tag_json, pics = os.path.join(out, "tag.json"), os.path.join(out, "pics")
    with open(tag_json, "wb") as f:
        f.write(subprocess.run([quillet, "dump", "--temp", pics,
                                os.path.join(pristine, os.listdir(pristine)[0])],
                               check=True, capture_output=True).stdout)
    names = sorted(os.listdir(pristine))
    files = [os.path.join(work, n) for n in names]

    def prepare():
        restore(pristine, work)
        shutil.rmtree(os.path.join(program, "journal"), ignore_errors=True)
        os.sync()

    write = [quillet, "write", "--temp", pics]
    plain = common.Contender("plain", write + common.unjournaled(quillet) + files, prepare, tag_json)
    journaled = common.Contender(
        "journal", write + ["--journal", "--program-folder", program] + files,
        prepare, tag_json, check=lambda: check_undo(quillet, program, pristine, work))
    contenders = [plain, journaled]
    if args.against:
        old_program = os.path.join(out, "program-against")

        def prepare_old():
            prepare()
            shutil.rmtree(os.path.join(old_program, "journal"), ignore_errors=True)

        old_write = [args.against, "write", "--temp", pics]
        contenders += [
            common.Contender("plain-against", old_write + common.unjournaled(args.against) + files,
                             prepare_old, tag_json),
            common.Contender("journal-against",
                             old_write + ["--journal", "--program-folder", old_program] + files,
                             prepare_old, tag_json,
                             check=lambda: check_undo(args.against, old_program, pristine, work))]
    common.measure(f"write over {args.files} files", contenders, args.rounds)
    prepare()
    common.spawn(journaled.argv, tag_json)
    actions, size = journal_bytes(program)

    # The 300 corpus files: write (one tag into every file) and set (each
    # file's own tag with a new title).
    corpus_pristine = os.path.join(out, "corpus")
    make_files(sources, len(sources), corpus_pristine)
    corpus = []
    for label, argv, stdin in (("write", ["write", "--temp", pics], tag_json),
                               ("set", ["set"], None)):
        restore(corpus_pristine, work)
        shutil.rmtree(os.path.join(program, "journal"), ignore_errors=True)
        extra = ["Title=Intro"] if label == "set" else []
        common.spawn([quillet] + argv + ["--journal", "--program-folder", program] +
                     [os.path.join(work, n) for n in sorted(os.listdir(work))] + extra, stdin)
        corpus.append((label, journal_bytes(program)[1]))
    region = sum(common.tag_region(s) for s in sources)
    reads = read_damaged(quillet, out, tag_json, pics, work, corpus_pristine, args.rounds)

    p, j = statistics.median(plain.wall), statistics.median(journaled.wall)
    paired = statistics.median(b / a for a, b in zip(plain.wall, journaled.wall))
    common.say(f"\nwrite over {args.files} files, medians of {args.rounds} rounds:")
    common.say(f"  plain   {p * 1000:8.1f} ms wall, "
               f"{statistics.median(plain.cpu) * 1000:8.1f} ms CPU")
    common.say(f"  journal {j * 1000:8.1f} ms wall, "
               f"{statistics.median(journaled.cpu) * 1000:8.1f} ms CPU")
    common.say(f"  journal / plain: {j / p:.2f} (paired {paired:.2f}); target 1.1")
    common.say(f"  journal of that run: {size} bytes in {actions} action "
               f"({size / args.files:.0f} bytes a file)")
    for c, base in ((c, c.name.replace("-against", "")) for c in contenders[2:]):
        mine = next(x for x in contenders if x.name == base)
        common.say(f"  {base} / {c.name}: {statistics.median(mine.wall) / statistics.median(c.wall):.2f}"
                   f" (paired {statistics.median(a / b for a, b in zip(mine.wall, c.wall)):.2f})")
    if args.against:
        old_plain = next(x for x in contenders if x.name == "plain-against")
        common.say(f"  journal / plain-against: "
                   f"{j / statistics.median(old_plain.wall):.2f} (paired "
                   f"{statistics.median(a / b for a, b in zip(journaled.wall, old_plain.wall)):.2f})"
                   "; target 1.1")
    common.say("\nundo --list over 20 actions of the 300 corpus files, medians:")
    for label, seconds in reads:
        common.say(f"  {label:32s} {seconds * 1000:8.2f} ms")
    common.say(f"\n300 corpus files (tag regions {region} bytes in all):")
    for label, size in corpus:
        common.say(f"  {label:5s} journal {size} bytes ({size / len(sources):.0f} a file, "
                   f"{size / region:.3f} of the regions)")


if __name__ == "__main__":
    main()
