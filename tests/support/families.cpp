// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "support/families.h"

#include <stdexcept>
#include <zlib.h>

namespace testing_support {

Bytes unsynchronised(const Bytes& data) {
    Bytes out;
    for (size_t i = 0; i < data.size(); ++i) {
        out.push_back(data[i]);
        if (data[i] == 0xFF && (i + 1 == data.size() || data[i + 1] >= 0xE0 || data[i + 1] == 0))
            out.push_back(0);
    }
    return out;
}

Bytes compressed(const Bytes& data) {
    uLongf size = compressBound(data.size());
    Bytes out(size);
    if (::compress(out.data(), &size, data.data(), data.size()) != Z_OK)
        throw std::runtime_error("zlib failed");
    out.resize(size);
    return out;
}

namespace {

// Picture data that an unsynchronisation changes.
Bytes picture(size_t n) {
    Bytes p = bytes("\x89PNG") + repeat(0xFF, 3) + Bytes{0xE0, 0xFF, 0x00, 0xFF, 0xFB};
    for (size_t i = p.size(); i < n; ++i)
        p.push_back(uint8_t(i * 13));
    return p;
}

Bytes text(std::string_view s) {
    return latin1(s);
}
Bytes comm(std::string_view desc, std::string_view s) {
    return latin1("eng") + bytes(desc) + Bytes{0} + bytes(s);
}
Bytes apic(const Bytes& data) {
    return latin1("image/png") + Bytes{0, 3} + bytes("cover") + Bytes{0} + data;
}

// A tag mutagen writes: the Python lines add frames to `tags`.
Bytes byMutagen(const std::string& folder, const std::string& name, int version,
                const std::string& lines, const std::string& saveArgs = "") {
    const std::string path = folder + name + ".mp3";
    writeFile(path, audio());
    const std::string script =
        "import sys\nfrom mutagen.id3 import ID3, Frames\nglobals().update(Frames)\ntags = "
        "ID3()\n" +
        lines + "\ntags.save(sys.argv[1], v2_version=" + std::to_string(version) + saveArgs + ")\n";
    writeFile(path + ".py", bytes(script));
    const auto r = run("/usr/bin/python3 " + shellQuote(path + ".py") + " " + shellQuote(path));
    if (r.status != 0) throw std::runtime_error("mutagen could not write " + name);
    const Bytes file = readFile(path);
    return Bytes(file.begin(), file.end() - std::ptrdiff_t(audio().size()));
}

} // namespace

std::vector<Family> families(const std::string& folder) {
    std::vector<Family> all;
    auto add = [&](std::string name, Bytes tag, std::vector<std::string> dropped = {},
                   std::vector<std::string> unshown = {}) {
        all.push_back({std::move(name), tag + audio(), std::move(dropped), std::move(unshown)});
    };
    auto flagged = [](Bytes tag, uint8_t flags) { return tag[5] = flags, tag; };
    const Bytes pic = apic(picture(300)), utf16 = {1, 0xFF, 0xFE, 0xFF, 0, 0xE0, 0};
    auto sized = [](const Bytes& d, const Bytes& stored) {
        return syncsafe(uint32_t(d.size())) + stored;
    };
    // A widespread player's CD ripper: ID3v2.2 with its cover, comments
    // (loudness among them), lyrics, compilation flag and sort orders.
    add("ID3v2.2",
        tag22(frame22("TT2", text("Title 2.2")) + frame22("TP1", {1, 0xFF, 0xFE, 'A', 0, 0, 0}) +
              frame22("COM", comm("iTunNORM", " 0000044E 00000061")) +
              frame22("COM", comm("", "a comment")) + frame22("ULT", comm("", "la la")) +
              frame22("PIC", latin1("PNG") + Bytes(pic.begin() + 11, pic.end())) +
              frame22("TCP", text("1")) + frame22("TS2", text("Artist, The")) +
              frame22("TSA", text("Album, The")) + frame22("TSC", text("Composer, A")) +
              frame22("TSP", text("Performer, A")) + frame22("TST", text("Title, The")) +
              frame22("TYE", text("2011")) + frame22("UFI", bytes("http://id") + Bytes{0, '4'}) +
              frame22("CNT", Bytes{0, 0, 0, 5}) + frame22("WCM", bytes("http://shop"))));
    add("ID3v2.2 with volume adjustment",
        tag22(frame22("TT2", text("t")) + frame22("RVA", Bytes{3, 16, 1, 2, 3, 4})), {"RVA"});
    add("ID3v2.3 unsynchronised",
        flagged(tag23(unsynchronised(frame23("TPE1", utf16) + frame23("APIC", pic) +
                                     frame23("COMM", comm("d", "c")) + frame23("TIT2", text("U")))),
                0x80));
    // A tag without padding ends with its title: TagLib misses a frame that
    // ends right at the tag's end.
    const Bytes ext = syncsafe(6) + Bytes{1, 0} + frame24("TALB", text("Extended")) +
                      frame24("TIT2", text("Footer"));
    add("ID3v2.4 extended header, footer", header(4, uint32_t(ext.size()), 0x50) + ext +
                                               bytes("3DI") + Bytes{4, 0, 0x50} +
                                               syncsafe(uint32_t(ext.size())));
    add("ID3v2.4 unsynchronised frames, data length indicators",
        tag24(frame24("TIT2", text("Frames")) +
              frame24("APIC", sized(pic, unsynchronised(pic)), 0, 0x03) +
              frame24("COMM", sized(comm("d", "c"), comm("d", "c")), 0, 0x01)));
    add("ID3v2.4 unsynchronised by its header",
        flagged(tag24(frame24("TIT2", text("Header")) + frame24("TPE1", unsynchronised(utf16)) +
                      frame24("APIC", unsynchronised(pic))),
                0x80));
    // The same player's bug: plain integers where syncsafe ones belong.
    add("ID3v2.4 with plain sizes",
        tag24(frame24("TIT2", text("Plain")) + bytes("APIC") + be32(uint32_t(pic.size())) +
              Bytes{0, 0} + pic + frame24("TALB", text("after")) + frame24("TPE1", text("A"))));
    auto z23 = [](std::string_view id, const Bytes& data) {
        return frame23(id, be32(uint32_t(data.size())) + compressed(data), 0, 0x80);
    };
    add("ID3v2.3 compressed frames, one that does not inflate",
        tag23(frame23("TIT2", text("Compressed")) + z23("APIC", pic) +
              z23("COMM", comm("d", "comment")) + z23("TXXX", comm("", "v")) +
              z23("USLT", comm("", "lyrics")) +
              frame23("GEOB", be32(500) + bytes("no zlib"), 0, 0x80)),
        {}, {"GEOB"});
    add("ID3v2.4 compressed frames",
        tag24(frame24("TIT2", text("Compressed 2.4")) +
              frame24("APIC", sized(pic, compressed(pic)), 0, 0x09) +
              frame24("TXXX", sized(comm("", "v"), compressed(comm("", "v"))), 0, 0x09)));
    add("ID3v2.3 encrypted and grouped frames",
        tag23(frame23("TIT2", text("Grouped")) + frame23("PRIV", bytes("\x80secret"), 0, 0x40) +
              frame23("TXXX", Bytes{7} + comm("", "v"), 0, 0x20)),
        {}, {"TXXX"});
    add("Two frames of one text, a UTF-16 text of odd length",
        tag23(frame23("TIT2", text("Twice")) + frame23("TPE1", text("First")) +
              frame23("TPE1", text("Second")) + frame23("TCOM", {1, 0xFF, 0xFE, 'A', 0, 'b'})),
        {}, {"TCOM"});
    // What a popular auto-tagger and others write with mutagen's help.
    add("ID3v2.3 people list, values with a BOM each, chapters, dates",
        byMutagen(folder, "v23", 3, R"py(
tags.add(TIT2(encoding=1, text="Mutagen 2.3"))
tags.add(TPE1(encoding=1, text=["Один", "Two"]))
tags.add(TIPL(encoding=1, people=[["producer", "Someone"], ["engineer", "Else"]]))
tags.add(CTOC(element_id="toc", flags=3, child_element_ids=["ch0"],
              sub_frames=[TIT2(encoding=1, text="Contents")]))
tags.add(CHAP(element_id="ch0", start_time=0, end_time=1000, start_offset=0xFFFFFFFF,
              end_offset=0xFFFFFFFF, sub_frames=[TIT2(encoding=1, text="Chapter one")]))
tags.add(TRDA(encoding=0, text="12th June"))
)py",
                  ", v23_sep=None"),
        {"TRDA"});
    add("More entries than the window lists, two links of a kind, a picture type beyond the table",
        byMutagen(folder, "many", 4, R"py(
tags.add(TIT2(encoding=3, text="Many"))
for i in range(120):
    tags.add(COMM(encoding=3, lang="eng", desc="c%d" % i, text="comment %d" % i))
    tags.add(TXXX(encoding=3, desc="t%d" % i, text="value %d" % i))
tags.add(WOAR(url="http://first.example/"))
tags.add(WOAR(url="http://second.example/"))
tags.add(APIC(encoding=3, mime="image/png", type=32, desc="odd", data=b"\x89PNG" * 10))
)py"),
        {}, {"APIC", "WOAR"});
    return all;
}

} // namespace testing_support
