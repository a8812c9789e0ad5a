#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Makes the soak corpus: COUNT MP3 files of real audio with tags by mutagen.

    /usr/bin/python3 soak/make_corpus.py FOLDER [COUNT]

A handful of clips are encoded once by ffmpeg (tones of different lengths
and bit rates); every file is one of them with an ID3v2.4 or ID3v2.3 tag
written by mutagen (texts, comments, user texts, some with a cover), an
ID3v2.2 tag built by hand, or no tag at all, and some with an ID3v1 trailer.
The same COUNT always gives the same files."""
import os
import random
import subprocess
import sys
import tempfile

from mutagen.id3 import APIC, COMM, ID3, POPM, PRIV, TALB, TIT2, TPE1, TRCK, TSRC, TXXX, WOAR

CLIPS = [(440, 1.0, "64k"), (523, 2.5, "128k"), (659, 0.6, "96k"), (784, 3.5, "160k"),
         (880, 1.7, "128k"), (988, 0.3, "32k")]


def clips(folder):
    paths = []
    for i, (freq, seconds, rate) in enumerate(CLIPS):
        path = os.path.join(folder, f"clip{i}.mp3")
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                        f"sine=frequency={freq}:duration={seconds}", "-c:a", "libmp3lame",
                        "-b:a", rate, "-write_xing", "0", "-id3v2_version", "0", path],
                       check=True)
        paths.append(path)
    return paths


def v22_tag(title):
    data = b"\x00" + title.encode("latin-1")
    frame = b"TT2" + len(data).to_bytes(3, "big") + data
    body = frame + bytes(64)
    size = len(body)
    syncsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    return b"ID3\x02\x00\x00" + syncsafe + body


def id3v1(title):
    return b"TAG" + title.encode("latin-1")[:30].ljust(30, b"\x00") + bytes(94) + b"\x11"


def main():
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(count)
    with tempfile.TemporaryDirectory() as tmp:
        audio = [open(p, "rb").read() for p in clips(tmp)]
    cover = bytes([0xFF, 0xD8, 0xFF, 0xE0]) + bytes(rng.randrange(256) for _ in range(3000))
    for n in range(count):
        path = os.path.join(folder, f"{n:04d} song.mp3")
        kind = rng.choice(["v24", "v24", "v23", "v23", "v22", "none"])
        body = audio[rng.randrange(len(audio))]
        with open(path, "wb") as f:
            f.write((v22_tag(f"Song {n}") if kind == "v22" else b"") + body +
                    (id3v1(f"Trailer {n}") if rng.random() < 0.3 else b""))
        if kind in ("v24", "v23"):
            tag = ID3()
            tag.add(TIT2(encoding=rng.choice([0, 1, 3]), text=f"Song {n}"))
            tag.add(TPE1(encoding=0, text="Artist"))
            tag.add(TALB(encoding=1, text="Album ü"))
            tag.add(TRCK(encoding=0, text=str(n % 20 + 1)))
            tag.add(COMM(encoding=0, lang="eng", desc="", text="a comment"))
            tag.add(TXXX(encoding=3, desc="soak", text=str(n)))
            tag.add(WOAR(url="http://example.org/"))
            if rng.random() < 0.4:
                tag.add(APIC(encoding=0, mime="image/jpeg", type=3, desc="", data=cover))
            if rng.random() < 0.5:  # frames the model does not hold: kept by every write
                tag.add(PRIV(owner="soak", data=bytes(rng.randrange(256) for _ in range(40))))
                tag.add(POPM(email="soak@example.org", rating=rng.randrange(256), count=n))
                tag.add(TSRC(encoding=1, text=f"SOAK{n:08d}"))
            tag.save(path, v2_version=4 if kind == "v24" else 3, padding=lambda info: rng.choice([0, 256, 2048]))
    print(f"{count} files in {folder}")


if __name__ == "__main__":
    main()
