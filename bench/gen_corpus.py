#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Builds the benchmark corpus under bench/corpus/ (git-ignored).

  read/   300 files of 4 MiB: real MP3 audio (ffmpeg), tags by mutagen, half
          ID3v2.4 and half ID3v2.3, each with six text frames, a comment, a
          user text, a 60 KiB JPEG cover and 1 KiB of padding
  grow/   30 more files of the same kind, for the growing write
  cover60.jpg, cover300.jpg   real JPEGs of exactly 60 KiB and 300 KiB

The audio is encoded once and copied; every file then gets its own tag (its
own title and track number), written by mutagen as other taggers' files are.

Must run with /usr/bin/python3: mutagen is installed for that interpreter only.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile

try:
    from mutagen.id3 import ID3, TIT2, TPE1, TALB, TRCK, TCON, TDRC, COMM, TXXX, APIC
except ImportError:
    sys.exit("mutagen is missing: run this with /usr/bin/python3 "
             "(apt-get install python3-mutagen)")

HERE = os.path.dirname(os.path.abspath(__file__))
FILE_SIZE = 4 * 1024 * 1024
PADDING = 1024
COVER_SIZE = 60 * 1024
GROW_PICTURE_SIZE = 300 * 1024


def run(cmd):
    subprocess.run(cmd, check=True)


def make_audio(path, tag_room):
    """A CBR MP3 whose size plus the tag comes close to FILE_SIZE."""
    bitrate = 128000
    seconds = (FILE_SIZE - tag_room) * 8 / bitrate
    run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
         "-f", "lavfi", "-i", f"sine=frequency=440:sample_rate=44100:duration={seconds:.3f}",
         "-f", "lavfi", "-i", f"anoisesrc=color=pink:amplitude=0.1:seed=1:duration={seconds:.3f}",
         "-filter_complex", "amix=inputs=2:duration=shortest", "-ac", "2",
         "-c:a", "libmp3lame", "-b:a", "128k",
         "-map_metadata", "-1", "-id3v2_version", "0", "-fflags", "+bitexact", path])


def pad_jpeg(data, size):
    """Pads a JPEG to exactly size bytes with comment segments after SOI, so
    it stays a valid JPEG that every decoder reads unchanged."""
    assert data[:2] == b"\xff\xd8"
    extra = size - len(data)
    assert extra >= 0
    segments = b""
    while extra > 0:
        # A COM segment is 4 bytes of marker and length plus at most 65533 bytes.
        body = min(extra - 4, 65533)
        if body < 0:
            raise ValueError("cannot pad by fewer than 4 bytes")
        # Never leave a rest of 1..3 bytes that no segment can take.
        if 0 < extra - (body + 4) < 4:
            body -= 4
        segments += b"\xff\xfe" + struct.pack(">H", body + 2) + b"Q" * body
        extra -= body + 4
    return data[:2] + segments + data[2:]


def make_jpeg(path, size, seed):
    """A real photo-like JPEG (plasma fractal) just under size, padded to it."""
    best = None
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "x.jpg")
        for side in range(200, 2400, 20):
            run(["convert", "-seed", str(seed), "-size", f"{side}x{side}", "plasma:fractal",
                 "-quality", "85", out])
            with open(out, "rb") as f:
                data = f.read()
            if len(data) + 8 > size:
                break
            best = data
    if best is None:
        raise RuntimeError("could not make a small enough JPEG")
    data = pad_jpeg(best, size)
    with open(path, "wb") as f:
        f.write(data)
    return data


def tag_file(path, number, version, cover):
    tags = ID3()
    # Encoding 3 (UTF-8) as mutagen writes by default; for ID3v2.3 mutagen
    # stores the texts as UTF-16, as most taggers do.
    tags.add(TIT2(encoding=3, text=f"Track {number:03d}"))
    tags.add(TPE1(encoding=3, text="The Benchmark Ensemble"))
    tags.add(TALB(encoding=3, text="Music for Measuring"))
    tags.add(TRCK(encoding=3, text=f"{number % 20 + 1}/20"))
    tags.add(TCON(encoding=3, text="Ambient"))
    tags.add(TDRC(encoding=3, text="2021"))
    tags.add(COMM(encoding=3, lang="eng", desc="", text="Made for the Quillet benchmark"))
    tags.add(TXXX(encoding=3, desc="SOURCE", text="bench/gen_corpus.py"))
    tags.add(APIC(encoding=3, mime="image/jpeg", type=3, desc="Cover", data=cover))
    tags.save(path, v2_version=version, padding=lambda info: PADDING)


def build_set(folder, count, prefix, audio, cover):
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        version = 4 if i < count // 2 else 3
        path = os.path.join(folder, f"{prefix}{i:03d}-v2{version}.mp3")
        shutil.copyfile(audio, path)
        tag_file(path, i + 1, version, cover)


def main():
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--out", default=os.path.join(HERE, "corpus"))
    ap.add_argument("--files", type=int, default=300)
    ap.add_argument("--grow-files", type=int, default=30)
    ap.add_argument("--force", action="store_true", help="rebuild an existing corpus")
    args = ap.parse_args()

    for tool in ("ffmpeg", "convert"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing (apt-get install ffmpeg imagemagick)")
    if os.path.exists(args.out):
        if not args.force:
            sys.exit(f"{args.out} exists; pass --force to rebuild it")
        shutil.rmtree(args.out)
    os.makedirs(args.out)

    cover = make_jpeg(os.path.join(args.out, "cover60.jpg"), COVER_SIZE, 7)
    make_jpeg(os.path.join(args.out, "cover300.jpg"), GROW_PICTURE_SIZE, 11)

    audio = os.path.join(args.out, "audio.mp3")
    make_audio(audio, COVER_SIZE + PADDING + 512)
    build_set(os.path.join(args.out, "read"), args.files, "song", audio, cover)
    build_set(os.path.join(args.out, "grow"), args.grow_files, "grow", audio, cover)
    os.remove(audio)

    sample = os.path.join(args.out, "read", sorted(os.listdir(os.path.join(args.out, "read")))[0])
    with open(sample, "rb") as f:
        head = f.read(10)
    tag_size = sum((b & 0x7F) << (7 * (3 - i)) for i, b in enumerate(head[6:10]))
    print(f"corpus in {args.out}: {args.files} + {args.grow_files} files of "
          f"{os.path.getsize(sample)} bytes, tag region {10 + tag_size} bytes")


if __name__ == "__main__":
    main()
