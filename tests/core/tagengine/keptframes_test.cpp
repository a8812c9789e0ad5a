// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The frames of a file's own tag that the model does not hold: which ones a
// write keeps, how an ID3v2.3 frame becomes an ID3v2.4 one, where they go and
// how they count when the write decides between in place and a gap.
#include "readfixture.h"
#include "support/families.h"
#include "tagengine/keptframes.h"
#include "writefixture.h"

using namespace testing_support;
using tag::Prop;

namespace {

using Ids = std::vector<std::string>;

// A tag of the version (2, 3 or 4) holding the frame.
Bytes tagOf(uint8_t version, const Bytes& frame) {
    return version == 4 ? tag24(frame) : version == 3 ? tag23(frame) : tag22(frame);
}

Bytes slice(const Bytes& b, size_t at, size_t n) {
    return Bytes(b.begin() + std::ptrdiff_t(at), b.begin() + std::ptrdiff_t(at + n));
}

class Kept : public ReadFixture {
protected:
    // Reads the file and writes it back with a new title, as an edit does.
    Bytes retitle(const std::string& path, const std::string& title = "New") {
        load(path);
        tag.setText(Prop::Title, title);
        tag.WriteTag();
        return readFile(path);
    }
    // The frames the header of a written file declares, whole, in order.
    static std::vector<Bytes> frames(const Bytes& file) {
        std::vector<Bytes> out;
        const uint64_t end = 10 + ::syncsafe::decode(file.data() + 6);
        for (uint64_t at = 10, next; at + 10 <= end && file[at] != 0; at = next) {
            next = at + 10 + ::syncsafe::decode(&file[at + 4]);
            out.push_back(slice(file, at, next - at));
        }
        return out;
    }
    static Ids ids(const Bytes& file) {
        Ids out;
        for (const Bytes& f : frames(file))
            out.emplace_back(f.begin(), f.begin() + 4);
        return out;
    }
};

// What becomes of a frame of each version: the model's ("" below), kept
// under its ID3v2.4 ID, or named as one a write cannot keep.
TEST_F(Kept, WhichFramesAWriteKeeps) {
    const Bytes text = latin1("x");
    const Bytes comm = latin1("eng") + Bytes{0} + bytes("c");
    const Bytes zlib = be32(4) + bytes("not zlib");
    const struct {
        uint8_t version;
        const char* id;
        Bytes data;
        uint8_t flags1, flags2;
        std::string becomes;
    } cases[] = {
        {4, "PRIV", text, 0, 0, "kept PRIV"},
        {4, "TYER", text, 0, 0, "kept TYER"},
        {4, "XYZ9", text, 0x20, 0x05, "kept XYZ9"}, // read-only, encrypted: as it stands
        {4, "POPM", text, 0x40, 0, "dropped POPM"}, // to be discarded once the tag changes
        {4, "TIT2", text, 0x40, 0, ""},             // ... which the model's own frames are not
        {4, "APIC", text, 0, 0, "kept APIC"},       // a picture that does not parse
        {4, "Tx!2", text, 0, 0, "dropped \\x54\\x78\\x21\\x32"},
        {4, "priv", text, 0, 0, "dropped \\x70\\x72\\x69\\x76"},
        {3, "PRIV", text, 0x40, 0, "kept PRIV"},
        {3, "TSO2", text, 0x20, 0, "kept TSO2"},
        {3, "POPM", text, 0x80, 0, "dropped POPM"},
        {3, "PCNT", zlib, 0, 0x80, "kept PCNT"},           // compressed, does not inflate
        {3, "GEOB", text, 0, 0x40, "kept GEOB"},           // encrypted
        {3, "UFID", text, 0, 0x20, "kept UFID"},           // grouped
        {3, "TIT2", text, 0, 0x20, "kept TIT2"},           // grouped: kept with its group
        {3, "TIT2", Bytes{0, 0}, 0, 0x80, "dropped TIT2"}, // too short for its size field
        {3, "TSOP", text, 0, 0, ""},
        {3, "TYER", latin1("1999"), 0, 0, ""},
        {3, "TYER", latin1("198x"), 0, 0, "kept TYER"}, // not a year
        {3, "TRDA", latin1("May 5th"), 0, 0, "dropped TRDA"},
        {3, "TRDA", latin1("1999-05-05"), 0, 0, ""},
        {3, "TSIZ", text, 0, 0, "dropped TSIZ"},
        {3, "RVAD", text, 0, 0, "dropped RVAD"},
        {3, "EQUA", text, 0, 0, "dropped EQUA"},
        {3, "IPLS", latin1("producer") + Bytes{0} + bytes("me"), 0, 0, "kept TIPL"},
        {3, "COMM", comm, 0, 0, ""},
        {3, "COMM", latin1("eng"), 0, 0, "kept COMM"}, // no description: does not parse
        {2, "COM", comm, 0, 0, ""},
        {2, "TCP", latin1("1"), 0, 0, "kept TCMP"},
        {2, "UFI", text, 0, 0, "kept UFID"},
        {2, "TSA", text, 0, 0, ""},
        {2, "RVA", text, 0, 0, "dropped RVA"},
        {2, "CRM", text, 0, 0, "dropped CRM"},
        {2, "XYZ", text, 0, 0, "dropped XYZ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.version) + " " + c.id);
        const Bytes frame = c.version == 4   ? frame24(c.id, c.data, c.flags1, c.flags2)
                            : c.version == 3 ? frame23(c.id, c.data, c.flags1, c.flags2)
                                             : frame22(c.id, c.data);
        read(tagOf(c.version, frame));
        std::string becomes;
        for (const kept::KeptFrame& k : tag.KeptFrames())
            becomes += "kept " + str(k.id());
        for (const std::string& id : tag.DroppedFrames())
            becomes += "dropped " + id;
        EXPECT_EQ(becomes, c.becomes);
    }
}

TEST_F(Kept, FramesFollowTheModelsOwnInTheirOrder) {
    // An ID3v2.4 frame byte for byte, flags and size bytes as they stood; an
    // ID3v2.3 frame with a syncsafe size, status flags moved down one bit and
    // no format flags.
    const Bytes priv = frame24("PRIV", bytes("me") + Bytes{0} + repeat(0xAB, 200), 0x20, 0x00);
    const Bytes comm = frame24("COMM", latin1("eng") + Bytes{0} + bytes("c"));
    const std::string v24 =
        put(tag24(priv + frame24("TIT2", latin1("old")) + comm + frame24("TSSE", latin1("enc"))),
            true, "v24.mp3");
    Bytes file = retitle(v24);
    EXPECT_EQ(ids(file), (Ids{"TIT2", "COMM", "PRIV", "TSSE"}));
    EXPECT_EQ(slice(file, 10 + text24("TIT2", "New").size() + comm.size(), priv.size()), priv);

    const Bytes data = bytes("owner") + Bytes{0} + repeat(0x11, 300);
    const std::string v23 =
        put(tag23(frame23("PRIV", data, 0x60, 0x00) + frame23("TYER", latin1("1999"))), true,
            "v23.mp3");
    file = retitle(v23);
    EXPECT_EQ(ids(file), (Ids{"TDRC", "TIT2", "PRIV"}));
    load(v23);
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    const kept::KeptFrame& k = tag.KeptFrames()[0];
    const Bytes header = bytes("PRIV") + testing_support::syncsafe(306) + Bytes{0x30, 0};
    EXPECT_EQ(Bytes(k.header.begin(), k.header.end()), header);
    EXPECT_EQ(slice(file, k.data, k.size), data);
}

// How a kept frame is written: in ID3v2.4 form, its data plain where Quillet
// can make it so (unsynchronisation undone, indicator taken off, inflated),
// as it stands where it cannot (encrypted, not inflating), the group byte,
// method byte and data length in ID3v2.4's order.
TEST_F(Kept, FramesAreWrittenPlainWhereTheyCanBe) {
    const Bytes data = bytes("owner") + Bytes{0, 0xFF, 0xE0, 0xFF, 0x00, 7};
    const Bytes length = testing_support::syncsafe(uint32_t(data.size()));
    const struct {
        uint8_t version;
        Bytes frame, kept;
    } cases[] = {
        {3, frame23("PRIV", be32(5) + Bytes{0x81, 7} + bytes("zzz"), 0x40, 0xE0),
         frame24("PRIV", Bytes{7, 0x81} + testing_support::syncsafe(5) + bytes("zzz"), 0x20, 0x4D)},
        {3, frame23("GEOB", be32(uint32_t(data.size())) + compressed(data), 0, 0x80),
         frame24("GEOB", data)},
        {3, frame23("UFID", Bytes{7} + data, 0, 0x20), frame24("UFID", Bytes{7} + data, 0, 0x40)},
        {3, frame23("CHAP", bytes("c") + Bytes{0} + repeat(1, 16) + frame23("TIT2", latin1("ch"))),
         frame24("CHAP", bytes("c") + Bytes{0} + repeat(1, 16) + frame24("TIT2", latin1("ch")))},
        {4, frame24("PRIV", length + unsynchronised(data), 0x10, 0x03),
         frame24("PRIV", data, 0x10, 0)},
        {4, frame24("PRIV", length + compressed(data), 0, 0x09), frame24("PRIV", data)},
        {4, frame24("PRIV", testing_support::syncsafe(99) + bytes("no zlib"), 0, 0x09),
         frame24("PRIV", testing_support::syncsafe(99) + bytes("no zlib"), 0, 0x09)},
        {4, frame24("PRIV", Bytes{0x81} + unsynchronised(data), 0, 0x06),
         frame24("PRIV", Bytes{0x81} + data, 0, 0x04)},
        {2, frame22("CNT", Bytes{0, 0, 1, 0}), frame24("PCNT", Bytes{0, 0, 1, 0})},
        {2, frame22("PIC", latin1("JPG") + Bytes{0x20, 'd', 0, 9}),
         frame24("APIC", latin1("image/jpeg") + Bytes{0, 0x20, 'd', 0, 9})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kept.begin(), c.kept.begin() + 4));
        const auto written = frames(retitle(put(tagOf(c.version, c.frame), true, "k.mp3")));
        ASSERT_EQ(written.size(), 2u);
        EXPECT_EQ(written[1], c.kept);
    }
}

// A kept frame that ends right at the tag's end (no padding), or right at the
// end of the region a write replaces, is a frame like any other.
TEST_F(Kept, FramesEndingAtTheEndOfTheTagOrRegion) {
    const Bytes priv = frame24("PRIV", bytes("last"));
    EXPECT_EQ(ids(retitle(put(tag24(frame24("TIT2", latin1("t")) + priv, 0), true, "flush.mp3"))),
              (Ids{"TIT2", "PRIV"}));
    // The header declares more than the region a read found: the write's
    // walk stops at the region's end, and a frame ending there is kept.
    const Bytes frames = frame24("TIT2", latin1("t")) + priv;
    writeFile(dir.file("region.mp3"),
              header(4, 200) + frames + repeat(0, 200 - frames.size()) + audio());
    tag::WriterInput in;
    in.Id3v2present = true;
    in.text(Prop::Title) = "New";
    writetag::WriteTag(in, 10 + frames.size(), dir.file("region.mp3"));
    EXPECT_EQ(ids(readFile(dir.file("region.mp3"))), (Ids{"TIT2", "PRIV"}));
}

TEST_F(Kept, WhatAWriteCannotKeepStopsItUnlessAllowed) {
    // An ID3v2.2 frame without an ID3v2.4 twin is named, and a write refused
    // before anything is written; allowed, the write drops it.
    const std::string path =
        put(tag22(frame22("TT2", latin1("t")) + frame22("XYZ", bytes("data"))), true, "v22.mp3");
    load(path);
    EXPECT_EQ(tag.DroppedFrames(), Ids{"XYZ"});
    const Bytes before = readFile(path);
    tag.setText(Prop::Title, "New");
    try {
        tag.WriteTag();
        ADD_FAILURE() << "the write went through";
    } catch (const writetag::LossError& e) {
        EXPECT_EQ(e.frames(), Ids{"XYZ"});
    }
    EXPECT_EQ(readFile(path), before);
    tag.WriteTag({}, writetag::Loss::Allow);
    EXPECT_EQ(ids(readFile(path)), Ids{"TIT2"});

    // A frame reaching past the declared end of the tag is no frame: the walk
    // ends before it, and nothing of it is kept.
    const Bytes past = header(4, 30) + frame24("TIT2", latin1("t")) + bytes("PRIV") +
                       testing_support::syncsafe(50) + Bytes{0, 0} + repeat(1, 60);
    const std::string cut = put(past, true, "past.mp3");
    load(cut);
    EXPECT_TRUE(tag.KeptFrames().empty());
    EXPECT_EQ(ids(retitle(cut)), Ids{"TIT2"});
}

TEST_F(Kept, KeptFramesCountWhenTheWriteDecidesWhereTheTagGoes) {
    // 115 bytes of frames (a 100-byte PRIV among them): the old 120-byte tag
    // holds them in place; one more character and they do not: a gap goes in front.
    const Bytes old =
        tag24(frame24("PRIV", repeat(7, 90)) + frame24("TIT2", latin1("o")), 120 - 100 - 12);
    EXPECT_EQ(retitle(put(old, true, "fits.mp3"), "abcd").size(), 130 + audio().size());
    const Bytes grown = retitle(put(old, true, "grows.mp3"), std::string(10, 'x'));
    EXPECT_EQ(grown.size(), 1024 + 130 + audio().size());
    EXPECT_EQ(ids(grown), (Ids{"TIT2", "PRIV"}));
    EXPECT_EQ(::syncsafe::decode(grown.data() + 6), 1024u + 120);
}

TEST_F(Kept, TheWriteReadsTheFileAsItIsThenAndRemoveTagRemovesAll) {
    // The frames come from the file being written, not from the last read:
    // "Write for all" writes one model into files with frames of their own.
    const std::string a = put(tag24(frame24("PRIV", bytes("a"))), true, "a.mp3");
    const std::string b = put(tag24(frame24("POPM", bytes("b"))), true, "b.mp3");
    load(a);
    tag.setText(Prop::Title, "both");
    for (const std::string& path : {a, b}) {
        load(path, true);
        tag.WriteTag();
    }
    EXPECT_EQ(ids(readFile(a)), (Ids{"TIT2", "PRIV"}));
    EXPECT_EQ(ids(readFile(b)), (Ids{"TIT2", "POPM"}));

    load(b, true);
    tag.RemoveTag();
    load(b);
    EXPECT_TRUE(tag.KeptFrames().empty());
    EXPECT_EQ(title(), "");
}

} // namespace
