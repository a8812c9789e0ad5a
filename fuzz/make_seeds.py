#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
# SPDX-FileCopyrightText: 2026 The Quillet developers
"""Writes the hand-made seed inputs of the fuzz targets into fuzz/seeds/.

id3v2/: tags of versions 2.2, 2.3 and 2.4 with every frame the readers know,
every text encoding, skipping flags, pictures, damaged sizes and headers the
reader must not read; id3v1/: trailers of every shape. Each seed is small so
that libFuzzer mutates quickly. jpeg/, bmp/, ico/, png/, gif/: small pictures of
each kind's variants from ImageMagick; wmf/, emf/, svg/: drawings written here
with shapes, text, regions and bitmaps. Run again after changing it; the files are
committed. The frame IDs come from the engine's own table."""
import base64
import os
import re
import struct
import subprocess
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


def journal_seeds():
    """Actions in the journal target's framed form: 0x01, then records of a
    type byte, a 16-bit little-endian length and the payload (the target adds
    the preamble and the checksums)."""
    import struct
    u32 = lambda v: struct.pack("<I", v)
    u64 = lambda v: struct.pack("<Q", v)
    string = lambda b: u32(len(b)) + b
    stat = lambda size: u64(2049) + u64(131077) + u64(size) + u64(1765000000 * 10**9)
    record = lambda t, payload: bytes([t]) + struct.pack("<H", len(payload)) + payload
    begin = lambda kind: record(1, bytes([kind]) + u64(1765000000 * 10**9))
    trailer = b"TAG" + b"Title" + bytes(120)
    cover = bytes((i * 13 + 1) & 255 for i in range(5000))
    write_action = (begin(1) + record(2, u64(7) + cover) +
                    record(3, string(b"/music/song.mp3") + stat(20000) + bytes([3]) + u64(5100) +
                           u32(3) + bytes([0]) + u64(90) + b"ID3\x04" + bytes(86) +
                           bytes([1]) + u64(5000) + u64(7) + bytes([2]) + u64(10) + trailer +
                           u64(200) + u64(0x1234) + trailer + u32(0)) +
                    record(4, u32(0) + stat(15228) + bytes([3]) + u64(0x1234)) +
                    record(7, u32(1)))
    kill_action = (begin(2) +
                   record(3, string(b"/music/song.mp3") + stat(9000) + bytes([0]) + u64(1000) +
                          u32(2) + bytes([0]) + u64(20) + bytes(20) + bytes([2]) + u64(980) +
                          u64(1000) + u64(0x99) + u32(1) + u32(1) + u32(0x5A5A)) +
                   record(7, u32(1)) +
                   record(8, u64(1765000001 * 10**9) + u32(1) + u32(0) + bytes([1]) + u64(2049) +
                          u64(131077)))
    rename_action = (begin(3) + record(5, string(b"/music/") + string(b"a.mp3") + u64(2049) +
                                       u64(131077)) +
                     record(6, u32(0) + string(b"b.mp3")) + record(7, u32(1)))
    # A change that never touched its file, in an action that was cut short.
    withdrawn = (begin(2) +
                 record(3, string(b"/music/song.mp3") + stat(9000) + bytes([0]) + u64(0) +
                        u32(0) + u64(0) + u64(0x99) + u32(0)) +
                 record(9, u32(0)))
    return {"write": b"\x01" + write_action, "kill": b"\x01" + kill_action,
            "rename": b"\x01" + rename_action, "withdrawn": b"\x03" + withdrawn}


# --- Pictures -----------------------------------------------------------------------
# Raster pictures come from ImageMagick (the real one, not a stand-in earlier on
# PATH); drawings are written here record by record.
CONVERT = "/usr/bin/convert"


def magick(*args):
    """The bytes ImageMagick writes for args (its last argument names the output kind)."""
    # No dates or comments, so that the seeds come out the same on every run.
    out = subprocess.run([CONVERT, "-seed", "7", *args[:-1], "-strip", args[-1]], check=True,
                         capture_output=True)
    return out.stdout


PLASMA = ["-size", "12x10", "plasma:red-blue"]
FRAMES = ["-size", "8x6", "xc:red", "-size", "8x6", "xc:blue", "-delay", "5"]


def raster_seeds():
    return {
        "jpeg": {
            "rgb": magick(*PLASMA, "-quality", "70", "jpg:-"),
            "gray": magick(*PLASMA, "-colorspace", "Gray", "jpg:-"),
            "cmyk-adobe": magick(*PLASMA, "-colorspace", "CMYK", "jpg:-"),
            "progressive": magick(*PLASMA, "-interlace", "JPEG", "jpg:-"),
            "subsampled-420": magick(*PLASMA, "-sampling-factor", "2x2", "jpg:-"),
            "restart-markers": magick(*PLASMA, "-define", "jpeg:restart-interval=1", "jpg:-"),
            "optimised-huffman": magick(*PLASMA, "-define", "jpeg:optimize-coding=true", "jpg:-"),
        },
        "bmp": {
            "rgb24": magick(*PLASMA, "bmp3:-"),
            "palette4": magick(*PLASMA, "-colors", "16", "-type", "Palette", "bmp3:-"),
            "rle8": magick(*PLASMA, "-colors", "16", "-type", "Palette", "-compress", "RLE", "bmp3:-"),
            "mono": magick(*PLASMA, "-monochrome", "bmp3:-"),
            "argb-v5": magick(*PLASMA, "-alpha", "set", "-channel", "A", "-evaluate", "set", "50%",
                              "+channel", "bmp:-"),
            "rgb565": magick(*PLASMA, "-define", "bmp:subtype=RGB565", "bmp:-"),
        },
        "ico": {
            "two-sizes": magick(*PLASMA, "-define", "icon:auto-resize=16,24", "ico:-"),
            "palette": magick(*PLASMA, "-colors", "8", "-type", "Palette", "ico:-"),
            "alpha": magick(*PLASMA, "-alpha", "set", "-channel", "A", "-evaluate", "set", "50%",
                            "+channel", "ico:-"),
        },
        "png": {
            "rgb": magick(*PLASMA, "png24:-"),
            "palette": magick(*PLASMA, "png8:-"),
            "gray": magick(*PLASMA, "-colorspace", "Gray", "png:-"),
            "alpha": magick(*PLASMA, "-alpha", "set", "-channel", "A", "-evaluate", "set", "50%",
                            "+channel", "png32:-"),
            "interlaced": magick(*PLASMA, "-interlace", "PNG", "png:-"),
            "deep-16bit": magick(*PLASMA, "png48:-"),
        },
        "gif": {
            "still": magick(*PLASMA, "gif:-"),
            "animated": magick(*FRAMES, "gif:-"),
            "interlaced": magick(*PLASMA, "-interlace", "GIF", "gif:-"),
            "transparent": magick(*PLASMA, "-transparent", "red", "gif:-"),
        },
    }


def dib(width, height, bits):
    """A bottom-up BITMAPINFOHEADER DIB: 24-bit, or 1-bit with a black-white table."""
    stride = ((width * bits + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, stride * height,
                         2835, 2835, 2 if bits == 1 else 0, 0)
    table = bytes([0, 0, 0, 0, 255, 255, 255, 0]) if bits == 1 else b""
    pixels = bytes((x * 37 + y * 11) & 0xFF for y in range(height) for x in range(stride))
    return header + table + pixels


def wmf_record(function, params):
    """One record: its size in 16-bit words, the function number, the parameters."""
    if len(params) % 2:
        params += b"\0"
    return struct.pack("<IH", 3 + len(params) // 2, function) + params


def words(*values):
    return struct.pack(f"<{len(values)}h", *values)


def wmf(records, placeable=True, objects=8):
    body = b"".join(records) + wmf_record(0x0000, b"")
    size = (18 + len(body)) // 2
    maxrec = max(struct.unpack_from("<I", r)[0] for r in records) if records else 3
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, size, objects, maxrec, 0)
    if not placeable:
        return header + body
    head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 400, 300, 1440, 0)
    check = 0
    for (w,) in struct.iter_unpack("<H", head):
        check ^= w
    return head + struct.pack("<H", check) + header + body


def wmf_text(text):
    data = text.encode("latin-1")
    return data + (b"\0" if len(data) % 2 else b"")


def wmf_region(rects):
    """A region object: one scan per rectangle (top, bottom, left, right)."""
    scans = b"".join(struct.pack("<HHHHHH", 2, t, b, l, r, 2) for t, b, l, r in rects)
    box = (min(r[2] for r in rects), min(r[0] for r in rects),
           max(r[3] for r in rects), max(r[1] for r in rects))
    head = struct.pack("<HhIhhh", 0, 6, 0, 22 + len(scans), len(rects), 2) + words(*box)
    return head + scans


WMF_SETUP = [
    wmf_record(0x0103, words(8)),                  # SETMAPMODE anisotropic
    wmf_record(0x020B, words(0, 0)),               # SETWINDOWORG y, x
    wmf_record(0x020C, words(300, 400)),           # SETWINDOWEXT y, x
    wmf_record(0x02FA, words(0, 3, 0) + struct.pack("<I", 0x00204080)),  # CREATEPENINDIRECT
    wmf_record(0x012D, words(0)),                  # SELECTOBJECT pen
    wmf_record(0x02FC, words(0) + struct.pack("<I", 0x00A03010) + words(0)),  # CREATEBRUSHINDIRECT
    wmf_record(0x012D, words(1)),                  # SELECTOBJECT brush
]
WMF_FONT = wmf_record(0x02FB, words(-24, 0, 0, 0, 700) + bytes([1, 0, 0, 0, 0, 0, 0, 0]) +
                      b"Arial\0")


def wmf_seeds():
    shapes = [
        wmf_record(0x041B, words(200, 300, 20, 30)),                         # RECTANGLE b r t l
        wmf_record(0x0418, words(280, 390, 150, 200)),                       # ELLIPSE
        wmf_record(0x0324, words(4, 10, 10, 100, 40, 60, 120, 5, 90)),       # POLYGON
        wmf_record(0x0325, words(3, 0, 0, 200, 150, 400, 0)),                # POLYLINE
        wmf_record(0x0538, words(2, 3, 4, 10, 10, 50, 10, 30, 60,            # POLYPOLYGON
                                 100, 100, 200, 100, 200, 200, 100, 200)),
        wmf_record(0x0817, words(50, 50, 0, 100, 250, 380, 150, 250)),       # ARC
    ]
    text = [
        WMF_FONT, wmf_record(0x012D, words(2)),
        wmf_record(0x0209, struct.pack("<I", 0x000000FF)),                   # SETTEXTCOLOR
        wmf_record(0x0102, words(1)),                                        # SETBKMODE transparent
        wmf_record(0x0521, words(7) + wmf_text("<A & B>") + words(100, 40)),  # TEXTOUT
        wmf_record(0x0A32, words(200, 40, 5, 0) + wmf_text("Caf\xe9!") +     # EXTTEXTOUT with dx
                   words(12, 12, 12, 12, 12)),
    ]
    region = [
        wmf_record(0x06FF, wmf_region([(10, 60, 10, 120), (80, 140, 50, 300)])),  # CREATEREGION
        wmf_record(0x012B, words(2)),                                        # PAINTREGION
        wmf_record(0x0228, words(2, 1)),                                     # FILLREGION region brush
        wmf_record(0x0429, words(2, 1, 3, 3)),                               # FRAMEREGION
        wmf_record(0x012A, words(2)),                                        # INVERTREGION
        wmf_record(0x012C, words(2)),                                        # SELECTCLIPREGION
        wmf_record(0x01F0, words(2)),                                        # DELETEOBJECT
    ]
    bitmap = [
        wmf_record(0x0F43, struct.pack("<IH", 0x00CC0020, 0) +               # STRETCHDIB
                   words(6, 8, 0, 0, 120, 160, 20, 20) + dib(8, 6, 24)),
        wmf_record(0x0B41, struct.pack("<I", 0x00CC0020) +                   # DIBSTRETCHBLT
                   words(6, 8, 0, 0, 60, 80, 200, 200) + dib(8, 6, 1)),
        wmf_record(0x0940, struct.pack("<I", 0x00CC0020) +                   # DIBBITBLT
                   words(0, 0, 6, 8, 250, 300) + dib(8, 6, 24)),
    ]
    return {
        "shapes": wmf(WMF_SETUP + shapes),
        "text": wmf(WMF_SETUP + text),
        "region": wmf(WMF_SETUP + region),
        "bitmap": wmf(WMF_SETUP + bitmap),
        "everything-no-placeable-header": wmf(WMF_SETUP + shapes + text + region + bitmap,
                                              placeable=False),
    }


def emf_record(kind, params):
    params += bytes(-len(params) % 4)
    return struct.pack("<II", kind, 8 + len(params)) + params


def rectl(*values):
    return struct.pack("<4i", *values)


def emf(records, width=400, height=300):
    description = "Quillet\0seed\0\0".encode("utf-16-le")
    records = records + [emf_record(14, struct.pack("<III", 0, 16, 20))]  # EOF
    header_size = 108 + len(description)
    total = header_size + sum(len(r) for r in records)
    header = (struct.pack("<II", 1, header_size) + rectl(0, 0, width - 1, height - 1) +
              rectl(0, 0, width * 26, height * 26) +
              struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, total, len(records) + 1, 8, 0,
                          len(description) // 2, 108, 0) +
              struct.pack("<iiii", 1024, 768, 270, 203) + struct.pack("<IIIii", 0, 0, 0, 270000,
                                                                        203000))
    return header + description + b"".join(records)


def rgn_data(rects):
    body = b"".join(rectl(*r) for r in rects)
    box = (min(r[0] for r in rects), min(r[1] for r in rects),
           max(r[2] for r in rects), max(r[3] for r in rects))
    return struct.pack("<IIII", 32, 1, len(rects), len(body)) + rectl(*box) + body


def logfont_w(face):
    name = face.encode("utf-16-le").ljust(64, b"\0")
    return struct.pack("<5i8B", -24, 0, 0, 0, 700, 1, 0, 0, 0, 0, 0, 0, 0) + name


EMF_SETUP = [
    emf_record(17, struct.pack("<I", 8)),                                 # SETMAPMODE anisotropic
    emf_record(9, struct.pack("<ii", 400, 300)),                          # SETWINDOWEXTEX
    emf_record(10, struct.pack("<ii", 0, 0)),                             # SETWINDOWORGEX
    emf_record(38, struct.pack("<IIiiI", 1, 0, 3, 0, 0x00204080)),        # CREATEPEN
    emf_record(37, struct.pack("<I", 1)),                                 # SELECTOBJECT
    emf_record(39, struct.pack("<IIII", 2, 0, 0x00A03010, 0)),            # CREATEBRUSHINDIRECT
    emf_record(37, struct.pack("<I", 2)),
]


def emf_seeds():
    box = rectl(0, 0, 400, 300)
    shapes = [
        emf_record(43, rectl(30, 20, 300, 200)),                          # RECTANGLE
        emf_record(42, rectl(200, 150, 390, 280)),                        # ELLIPSE
        emf_record(86, box + struct.pack("<I", 4) +                      # POLYGON16
                   struct.pack("<8h", 10, 10, 100, 40, 60, 120, 5, 90)),
        emf_record(3, box + struct.pack("<I", 3) +                       # POLYGON (32-bit points)
                   struct.pack("<6i", 0, 0, 200, 150, 400, 0)),
        emf_record(91, box + struct.pack("<IIII", 2, 7, 3, 4) +          # POLYPOLYGON16
                   struct.pack("<14h", 10, 10, 50, 10, 30, 60,
                               100, 100, 200, 100, 200, 200, 100, 200)),
        emf_record(27, struct.pack("<ii", 0, 0)),                         # MOVETOEX
        emf_record(54, struct.pack("<ii", 400, 300)),                     # LINETO
        emf_record(59, b""), emf_record(27, struct.pack("<ii", 50, 250)),  # BEGINPATH, path
        emf_record(54, struct.pack("<ii", 150, 250)), emf_record(54, struct.pack("<ii", 100, 290)),
        emf_record(61, b""), emf_record(60, b""),                         # CLOSEFIGURE, ENDPATH
        emf_record(63, box),                                              # STROKEANDFILLPATH
    ]
    string = "<A & B> Caf\xe9".encode("utf-16-le")
    chars = len(string) // 2
    text_record = (box + struct.pack("<Iff", 1, 1.0, 1.0) +               # EXTTEXTOUTW
                   struct.pack("<iiIII", 40, 100, chars, 76, 0) +
                   rectl(0, 0, 0, 0) + struct.pack("<I", 76 + len(string) + (-len(string) % 4)) +
                   string + bytes(-len(string) % 4) + struct.pack(f"<{chars}I", *[12] * chars))
    text = [
        emf_record(82, struct.pack("<I", 3) + logfont_w("Arial")),        # EXTCREATEFONTINDIRECTW
        emf_record(37, struct.pack("<I", 3)),
        emf_record(24, struct.pack("<I", 0x000000FF)),                    # SETTEXTCOLOR
        emf_record(18, struct.pack("<I", 1)),                             # SETBKMODE transparent
        emf_record(84, text_record),
    ]
    rects = [(10, 10, 120, 60), (50, 80, 300, 140)]
    region = [
        emf_record(71, box + struct.pack("<II", 32 + 32, 2) + rgn_data(rects)),  # FILLRGN
        emf_record(74, box + struct.pack("<I", 64) + rgn_data(rects)),           # PAINTRGN
        emf_record(72, box + struct.pack("<IIii", 64, 2, 3, 3) + rgn_data(rects)),  # FRAMERGN
        emf_record(75, struct.pack("<II", 64, 5) + rgn_data(rects)),             # EXTSELECTCLIPRGN
        emf_record(43, rectl(0, 0, 400, 300)),
    ]
    bits24 = dib(8, 6, 24)
    stretch = (box + struct.pack("<6i", 20, 20, 0, 0, 8, 6) +             # STRETCHDIBITS
               struct.pack("<IIIIII", 80, 40, 120, len(bits24) - 40, 0, 0x00CC0020) +
               struct.pack("<ii", 160, 120))
    bitblt = (box + struct.pack("<4iIii", 200, 150, 8, 6, 0x00CC0020, 0, 0) +  # BITBLT
              struct.pack("<6f", 1, 0, 0, 1, 0, 0) + struct.pack("<IIIIII", 0, 0, 100, 40, 140,
                                                                   len(bits24) - 40))
    bitmap = [
        emf_record(81, stretch + bits24),
        emf_record(76, bitblt + bits24),
        emf_record(35, struct.pack("<6f", 0.5, 0.2, -0.2, 0.5, 30, 30)),   # SETWORLDTRANSFORM
        emf_record(81, stretch + bits24),
    ]
    return {
        "shapes": emf(EMF_SETUP + shapes),
        "text": emf(EMF_SETUP + text),
        "region": emf(EMF_SETUP + region),
        "bitmap": emf(EMF_SETUP + bitmap),
        "everything": emf(EMF_SETUP + shapes + text + region + bitmap),
    }


def svg_seeds():
    def doc(body, extra=' viewBox="0 0 120 90"'):
        return (f'<svg xmlns="http://www.w3.org/2000/svg" '
                f'xmlns:xlink="http://www.w3.org/1999/xlink" width="120" height="90"{extra}>'
                f'{body}</svg>').encode()
    png = magick("-size", "4x3", "xc:green", "png:-")
    image = base64.b64encode(png).decode()
    return {
        "shapes": doc('<rect x="5" y="5" width="50" height="40" style="fill:#a03010;stroke:#204080;'
                      'stroke-width:3"/><ellipse cx="80" cy="60" rx="30" ry="20" fill="none" '
                      'stroke="blue"/><polygon points="10,80 40,50 70,85" fill-rule="evenodd"/>'
                      '<polyline points="0,0 60,45 120,0" stroke="black" fill="none"/>'),
        "text": doc('<text x="10" y="40" font-family="Arial" font-size="20" fill="#0000ff">'
                    '&lt;A &amp; B&gt; Caf\u00e9</text><text x="10" y="70"><tspan dx="2">x</tspan>'
                    '</text>'),
        "gradient-and-use": doc('<defs><linearGradient id="g"><stop offset="0" stop-color="red"/>'
                                '<stop offset="1" stop-color="blue"/></linearGradient>'
                                '<path id="p" d="M10 10 L60 10 Q90 40 60 70 C40 80 20 60 10 10 z"/>'
                                '</defs><use xlink:href="#p" fill="url(#g)" '
                                'transform="rotate(15 60 45) scale(0.9)"/>'),
        "image": doc(f'<image x="0" y="0" width="120" height="90" preserveAspectRatio="none" '
                     f'xlink:href="data:image/png;base64,{image}"/>'),
        "no-viewbox": doc('<circle cx="60" cy="45" r="40" opacity="0.5"/>', extra=""),
    }


def write(folder, seeds):
    path = os.path.join(HERE, "seeds", folder)
    os.makedirs(path, exist_ok=True)
    # Seeds kept from a fuzzing run carry libFuzzer's names (a SHA-1) and stay;
    # the generated ones are made anew.
    for name in os.listdir(path):
        if not re.fullmatch(r"[0-9a-f]{40}", name):
            os.remove(os.path.join(path, name))
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
    write("journal", journal_seeds())
    with open(os.path.join(HERE, "journal.dict"), "w") as f:
        f.write("# Generated by make_seeds.py: tokens for the journal target.\n")
        for t in ["QuillJournal\\x01\\x00\\x00\\x00", "ID3\\x04", "TAG", "\\x00\\x00\\x00\\x00"]:
            f.write(f'"{t}"\n')
    for kind, seeds in raster_seeds().items():
        write(kind, seeds)
    write("wmf", wmf_seeds())
    write("emf", emf_seeds())
    write("svg", svg_seeds())
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
