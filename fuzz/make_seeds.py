#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into fuzz/seeds/.

id3v2/: tags of versions 2.2, 2.3 and 2.4 with every frame the readers know,
every text encoding, skipping flags, pictures, damaged sizes and headers the
reader must not read; id3v1/: trailers of every shape. Each seed is small so
that libFuzzer mutates quickly. Run again after changing it; the files are
committed. The frame IDs come from the engine's own table."""
import os
import re
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(HERE, "..", "src", "core", "tagengine", "frametable.h")


def props():
    rows = re.findall(r'\{Prop::\w+, "(\w+)", "(\w*)", (Text|Url), "(\w*)", "(\w*)"\}',
                      open(TABLE).read())
    return [dict(name=r[0], v24=r[1], kind=r[2], v23=r[3], v22=r[4]) for r in rows]


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def header(version, size, flags=0):
    return b"ID3" + bytes([version, 0, flags]) + syncsafe(size)


def frame(version, fid, data, f1=0, f2=0):
    fid = fid.encode()
    if version == 2:
        return fid + struct.pack(">I", len(data))[1:] + data
    size = syncsafe(len(data)) if version == 4 else struct.pack(">I", len(data))
    return fid + size + bytes([f1, f2]) + data


def tag(version, frames, padding=16):
    body = b"".join(frames) + bytes(padding)
    return header(version, len(body)) + body


AUDIO = bytes([0xFF, 0xFB, 0x90, 0x64]) + bytes(range(60))
PICTURE = bytes([0xFF, 0xD8, 0xFF, 0xE0]) + bytes(range(20)) + bytes([0xFF, 0xD9])


def text(value, encoding=0):
    if encoding == 1:
        return b"\x01\xff\xfe" + value.encode("utf-16-le")
    if encoding == 2:
        return b"\x02" + value.encode("utf-16-be")
    if encoding == 3:
        return b"\x03" + value.encode("utf-8")
    return b"\x00" + value.encode("latin-1")


def zstr(value, encoding=0):
    """A zero-terminated field in the given encoding."""
    if encoding in (1, 2):
        return text(value, encoding)[1:] + b"\x00\x00"
    return value.encode("utf-8" if encoding == 3 else "latin-1") + b"\x00"


def lists(version, encoding=0, pictures=1):
    """One frame of every list kind (none in version 2.2)."""
    e = bytes([encoding])
    frames = [
        frame(version, "COMM", e + b"eng" + zstr("desc", encoding) + text("a comment", encoding)[1:]),
        frame(version, "USLT", e + b"deu" + zstr("", encoding) + text("lyrics\nline", encoding)[1:]),
        frame(version, "WXXX", e + zstr("home", encoding) + b"http://example.org/"),
        frame(version, "USER", e + b"eng" + text("terms", encoding)[1:]),
        frame(version, "TXXX", e + zstr("key", encoding) + text("value", encoding)[1:]),
    ]
    for n in range(pictures):
        mime = [b"image/jpeg", b"image/png", b"1/x", b"../../evil"][n % 4]
        frames.append(frame(version, "APIC", e + mime + b"\x00" + bytes([3 + n]) +
                            zstr("cover", encoding) + PICTURE))
    return frames


def id3v2_seeds():
    table = props()
    seeds = {}
    for version, key in ((4, "v24"), (3, "v23"), (2, "v22")):
        known = [p for p in table if p[key]]
        everything = [frame(version, p[key], text(p["name"]) if p["kind"] == "Text"
                            else p["name"].encode()) for p in known]
        seeds[f"{key}-all-texts"] = tag(version, everything) + AUDIO
        if version != 2:
            seeds[f"{key}-all-lists"] = tag(version, lists(version)) + AUDIO
            seeds[f"{key}-four-pictures"] = tag(version, lists(version, pictures=4)) + AUDIO
        for enc in range(4):
            frames = [frame(version, "TT2" if version == 2 else "TIT2", text("Titlé", enc))]
            if version != 2:
                frames += lists(version, enc)
            seeds[f"{key}-encoding{enc}"] = tag(version, frames) + AUDIO
        title = "TT2" if version == 2 else "TIT2"
        seeds[f"{key}-no-padding"] = tag(version, [frame(version, title, text("x"))], 0) + AUDIO
        seeds[f"{key}-frame-past-end"] = header(version, 30) + frame(version, title, text("y" * 40))[:30] + AUDIO
        seeds[f"{key}-size-past-file"] = header(version, 5000) + frame(version, title, text("z")) + AUDIO
        seeds[f"{key}-unknown-frame"] = tag(version, [frame(version, "XYZ" if version == 2 else "XYZW", b"?" * 20),
                                                     frame(version, title, text("after"))]) + AUDIO
        seeds[f"{key}-empty-frames"] = tag(version, [frame(version, title, b""),
                                                    frame(version, title, b"\x00")]) + AUDIO
        seeds[f"{key}-header-only"] = header(version, 0)
        if version != 2:
            for f1, f2 in ((0x80, 0), (0x40, 0), (0, 0x40), (0, 0x80), (0, 0x03)):
                seeds[f"{key}-flags{f1:02x}{f2:02x}"] = tag(version, [
                    frame(version, "TIT2", text("flagged"), f1, f2),
                    frame(version, "COMM", b"\x00eng\x00c", f1, f2),
                    frame(version, "WOAR", b"http://x/", f1, f2)]) + AUDIO
            seeds[f"{key}-short-list-frames"] = tag(version, [
                frame(version, k, d) for k, d in (("COMM", b"\x00en"), ("APIC", b"\x00image/png"),
                                                  ("TXXX", b"\x00no-zero"), ("USER", b"\x01"),
                                                  ("WXXX", b""), ("USLT", b"\x01eng\xff\xfe\x41"))]) + AUDIO
    # Frames the model does not hold, which a write keeps; with the flags that
    # make a write drop one, and IDs that are no frame IDs.
    for version, key in ((4, "v24"), (3, "v23")):
        seeds[f"{key}-kept-frames"] = tag(version, [
            frame(version, "PRIV", b"owner\x00" + bytes(range(8))),
            frame(version, "TIT2", text("Title")),
            frame(version, "POPM", b"a@b\x00\xff\x00\x00\x00\x07"),
            frame(version, "TSRC", text("ISRC", 1)),
            frame(version, "UFID", b"http://id\x00" + b"42", 0x40 if version == 4 else 0x80),
            frame(version, "GEOB", b"\x00x\x00f\x00d\x00" + b"blob", 0x20, 0x40 if version == 3 else 0),
            frame(version, "TSIZ", text("123")), frame(version, "RVA2", b"x\x00\x01\x00\x00\x00"),
            frame(version, "X-Y!", b"junk"), frame(version, "PCNT", b"\x00\x00\x00\x05")]) + AUDIO
    seeds["v23-dates"] = tag(3, [frame(3, "TYER", text("2004")), frame(3, "TDAT", text("3112")),
                                 frame(3, "TIME", text("2359", 1))]) + AUDIO
    seeds["v22-dates"] = tag(2, [frame(2, "TYE", text("1999x")), frame(2, "TDA", text("0229")),
                                 frame(2, "TIM", text("1200"))]) + AUDIO
    seeds["v24-beyond-latin1"] = tag(4, [frame(4, "TIT2", text("Кино № 1 — 日本", 1)),
                                         frame(4, "TPE1", text("Œuvre \U0001F3B5", 3)),
                                         frame(4, "COMM", b"\x01ell" + zstr("α", 1) + text("β", 1)[1:]),
                                         frame(4, "TXXX", b"\x02" + zstr("Ł", 2) + "ź".encode("utf-16-be"))]) + AUDIO
    seeds["v23-big-endian-size"] = tag(3, [frame(3, "TIT2", text("s" * 200))]) + AUDIO
    seeds["v24-flags-in-header"] = header(4, 20, 0x80) + bytes(20) + AUDIO
    seeds["v24-footer-flag"] = header(4, 20, 0x10) + bytes(20) + AUDIO
    seeds["v25-unknown-version"] = header(5, 20) + frame(4, "TIT2", text("v")) + AUDIO
    seeds["v24-bad-utf"] = tag(4, [frame(4, "TIT2", b"\x03\xc3"), frame(4, "TALB", b"\x01\xff\xfe\x00\xd8"),
                                   frame(4, "TPE1", b"\x02\x01\x00")]) + AUDIO
    seeds["v24-with-id3v1"] = tag(4, [frame(4, "TIT2", text("both"))]) + AUDIO + id3v1_block(b"Title")
    seeds["no-tag"] = AUDIO
    seeds["tiny"] = b"ID3\x04"
    return seeds


def id3v1_block(title=b"", artist=b"", album=b"", year=b"", comment=b"", track=0, genre=255,
                marker=b"TAG", v11=True):
    def field(value, width):
        return value[:width].ljust(width, b"\x00")
    body = marker + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4)
    if v11:
        body += field(comment, 28) + b"\x00" + bytes([track])
    else:
        body += field(comment, 30)
    return body + bytes([genre])


def id3v1_seeds():
    return {
        "v11": AUDIO + id3v1_block(b"Title", b"Artist", b"Album", b"2001", b"comment", 7, 17),
        "v10": AUDIO + id3v1_block(b"T", b"A", b"B", b"1999", b"c" * 30, v11=False, genre=0),
        "spaces": AUDIO + id3v1_block(b"abc" + b" " * 27, b" " * 30, b"x \x00 ", b"  ", track=0x20),
        "zeros-inside": AUDIO + id3v1_block(b"a\x00b", b"\x00\x00c", comment=b"x\x00y", genre=125),
        "genre-high": AUDIO + id3v1_block(b"g", genre=126),
        "t-only": AUDIO + id3v1_block(b"x", marker=b"Txx"),
        "no-trailer": AUDIO * 3,
        "exactly-128": id3v1_block(b"only the trailer"),
        "short": b"TAG" + bytes(100),
        "empty": b"",
    }


def settings_seeds():
    """Settings files as the program writes them, and damaged ones, each with a
    section, key and value to write and another key to keep (split by 0x1F)."""
    us = b"\x1f"
    files = {
        "window": b"[Window]\nLeft=10\nTop=0x20\nWidth=-5\n\n[Renamer]\nNumberOfItems=2\n"
                  b"1Prefix=' a '\n1Framename=Title\n1Suffix=\"\"\n",
        "crlf-bom": b"\xef\xbb\xbf[A]\r\nk = v \r\n;comment\r\n[a]\r\nK=second\r\n",
        "no-newline": b"[S]\nkey=value",
        "no-section": b"key=value\n=empty name\nonly a name\n",
        "broken": b"[unclosed\n[]\n[ spaced ]\nx=\"unbalanced\n\x00zero=1\n",
        "empty": b"",
    }
    writes = [(b"Window", b"Left", b"42", b"Window", b"Top"),
              (b"renamer", b"1prefix", b" quoted ", b"Renamer", b"NumberOfItems"),
              (b"New", b"Key", b"line\nbreak", b"A", b"k"),
              (b"S", b"KEY", b"\"q\"", b"S", b"other"),
              (b"A", b"k", b"0xFFFFFFFF", b"a", b"K")]
    seeds = {}
    for name, text in files.items():
        for i, w in enumerate(writes):
            seeds[f"{name}-{i}"] = us.join((text,) + w)
    return seeds


def renamer_seeds():
    """Template prefix, suffix, title, ID3v1 artist and number, split by 0x1F."""
    us = b"\x1f"
    rows = {
        "plain": (b"", b"", b"Song", b"Band", b"01 "),
        "latin1": (b"", b"", b"Caf\xe9 \xbfqu\xe9?", b"Mot\xf6rhead", b"02 "),
        "separators": (b"a/", b"\\b", b"AC/DC*?", b"../../x", b"03 "),
        "dots": (b"", b"", b"..", b"", b""),
        "zero-in-title": (b"", b"", b"Title\x00hidden", b"", b"04 "),
        "long": (b"", b"", b"\xe9" * 200, b"x" * 100, b"05 "),
        "taken": (b"oth", b"", b"er", b"", b"06 "),
        "empty": (b"", b"", b"", b"", b""),
    }
    return {k: us.join(v) for k, v in rows.items()}


def write(folder, seeds):
    path = os.path.join(HERE, "seeds", folder)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    for name, data in sorted(seeds.items()):
        with open(os.path.join(path, name), "wb") as f:
            f.write(data)
    print(f"{len(seeds)} seeds in {path}")


def write_dictionary():
    """Frame IDs and header pieces as libFuzzer dictionary tokens."""
    ids = set()
    for p in props():
        ids.update(i for i in (p["v24"], p["v23"], p["v22"]) if i)
    ids.update(["COMM", "USLT", "WXXX", "USER", "APIC", "TXXX", "TYER", "TDAT", "TIME", "TYE", "TDA",
                "TIM", "PRIV", "POPM", "UFID", "TSIZ", "RVAD", "IPLS"])
    tokens = sorted(ids) + ["ID3\\x02\\x00\\x00", "ID3\\x03\\x00\\x00", "ID3\\x04\\x00\\x00",
                            "image/jpeg\\x00", "image/png\\x00", "eng", "\\xff\\xfe", "\\xfe\\xff", "TAG"]
    with open(os.path.join(HERE, "id3.dict"), "w") as f:
        f.write("# Generated by make_seeds.py: tokens for the ID3 fuzz targets.\n")
        for t in tokens:
            f.write(f'"{t}"\n')


if __name__ == "__main__":
    write_dictionary()
    write("id3v2", id3v2_seeds())
    write("id3v1", id3v1_seeds())
    write("settings", settings_seeds())
    write("renamer", renamer_seeds())
    with open(os.path.join(HERE, "renamer.dict"), "w") as f:
        f.write("# Generated by make_seeds.py: tokens for the renamer target.\n")
        for t in ["/", "\\\\", "..", ".", ".mp3", "other", "?", "*", "\\x1f", "\\x00", "\\xe9"]:
            f.write(f'"{t}"\n')
    with open(os.path.join(HERE, "settings.dict"), "w") as f:
        f.write("# Generated by make_seeds.py: tokens for the settings target.\n")
        for t in ["[", "]", "=", ";", "\\x0a", "\\x0d\\x0a", "\\x1f", "0x", "\\x22", "'",
                  "\\xef\\xbb\\xbf", "[Window]", "NumberOfItems"]:
            f.write(f'"{t}"\n')
    sys.exit(0)
