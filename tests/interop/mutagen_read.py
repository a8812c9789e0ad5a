# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Prints what mutagen reads from an MP3 file, in the line format of
taglib_read.cpp (see there), for the interoperability tests. Texts are the hex
of their UTF-8 bytes. Its audio line
is "audio <length ms> <bitrate bit/s> <sample rate>".

With --v24 it prints the tag as mutagen reads it for a program, every older
frame turned into its ID3v2.4 form (and those without one left out).

Run with /usr/bin/python3, the interpreter that has mutagen."""
import sys

from mutagen.id3 import (APIC, COMM, ID3, TXXX, USER, USLT, WXXX, TextFrame,
                         UrlFrame)
from mutagen.mp3 import MP3


def hx(text):
    return text.encode("utf-8").hex()


def digest(data):
    """Length and 64-bit FNV-1a of picture data, as taglib_read prints them."""
    h = 0xCBF29CE484222325
    for b in data:
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return "%d:%016x" % (len(data), h)


def fields(frame):
    # COMM, USLT, USER and TXXX are text frames to mutagen: test them first.
    if isinstance(frame, (COMM, USLT)):
        text = frame.text[0] if isinstance(frame, COMM) and frame.text else frame.text
        return [hx(frame.lang), hx(frame.desc), hx(text or "")]
    if isinstance(frame, USER):
        return [hx(frame.lang), hx(frame.text)]
    if isinstance(frame, TXXX):
        return [hx(frame.desc), hx("\0".join(str(t) for t in frame.text))]
    if isinstance(frame, TextFrame):
        return [hx("\0".join(str(t) for t in frame.text))]
    if isinstance(frame, WXXX):
        return [hx(frame.desc), hx(frame.url)]
    if isinstance(frame, UrlFrame):
        return [hx(frame.url)]
    if isinstance(frame, APIC):
        return [hx(frame.mime), str(int(frame.type)), hx(frame.desc), digest(frame.data)]
    # Any other frame: its data as mutagen renders it again.
    return [frame._writeData().hex()]


def main(path, v24):
    try:
        tags = ID3(path, translate=v24)
        print("ID3v2.%d %d" % (tags.version[1], tags.size - 10))
        for frame in tags.values():
            print(" ".join([frame.FrameID] + fields(frame)))
    except Exception:  # no tag: only the audio line
        pass
    try:
        info = MP3(path).info
        print("audio %d %d %d" % (round(info.length * 1000), info.bitrate, info.sample_rate))
    except Exception:
        print("audio none")


main(sys.argv[-1], "--v24" in sys.argv[1:-1])
