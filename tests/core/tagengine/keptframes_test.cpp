// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The frames of a file's own tag that the model does not hold: which ones a
// write keeps, how an ID3v2.3 frame becomes an ID3v2.4 one, where they go and
// how they count when the write decides between in place and a gap.
#include "readfixture.h"
#include "tagengine/keptframes.h"
#include "writefixture.h"

using namespace testing_support;
using tag::Prop;

namespace {

class Kept : public ReadFixture {
protected:
    // Reads the file and writes it back with a new title, as an edit does.
    Bytes retitle(const std::string& path, const std::string& title = "New") {
        load(path);
        tag.setText(Prop::Title, title);
        tag.WriteTag();
        return readFile(path);
    }
    // The frames the header of a written file declares, ID by ID.
    static std::vector<std::string> ids(const Bytes& file) {
        std::vector<std::string> out;
        const uint64_t end = 10 + ::syncsafe::decode(file.data() + 6);
        for (uint64_t at = 10; at + 10 <= end && file[at] != 0;
             at += 10 + ::syncsafe::decode(&file[at + 4]))
            out.emplace_back(file.begin() + std::ptrdiff_t(at),
                             file.begin() + std::ptrdiff_t(at + 4));
        return out;
    }
};

TEST_F(Kept, WhichFramesAWriteKeeps) {
    struct Case {
        uint8_t version;
        const char* id;
        uint8_t flags1, flags2;
        bool kept;
    };
    const Case cases[] = {
        {4, "PRIV", 0, 0, true},       {4, "TSSE", 0, 0, true},     {4, "TYER", 0, 0, true},
        {4, "XYZ9", 0x20, 0x0F, true}, // read-only, compressed...: kept as they stand
        {4, "POPM", 0x40, 0, false},   // tag alter preservation: discard on change
        {4, "TIT2", 0, 0, false},      {4, "TDRC", 0, 0, false},    {4, "APIC", 0, 0, false},
        {4, "Tx!2", 0, 0, false},      {4, "priv", 0, 0, false},    {3, "PRIV", 0x40, 0, true},
        {3, "TSO2", 0x20, 0, true},    {3, "POPM", 0x80, 0, false}, {3, "PCNT", 0, 0x80, false},
        {3, "GEOB", 0, 0x40, false},   {3, "UFID", 0, 0x20, false}, {3, "TSOP", 0, 0, false},
        {3, "TYER", 0, 0, false},      {3, "TDAT", 0, 0, false},    {3, "TIME", 0, 0, false},
        {3, "TORY", 0, 0, false},      {3, "TRDA", 0, 0, false},    {3, "TSIZ", 0, 0, false},
        {3, "RVAD", 0, 0, false},      {3, "EQUA", 0, 0, false},    {3, "IPLS", 0, 0, false},
        {3, "COMM", 0, 0, false},
    };
    for (const Case& c : cases) {
        const uint8_t raw[10] = {
            uint8_t(c.id[0]), uint8_t(c.id[1]), uint8_t(c.id[2]), uint8_t(c.id[3]), 0, 0, 0, 5,
            c.flags1,         c.flags2};
        EXPECT_EQ(kept::keep(static_cast<tag::TagVersion>(c.version), raw, 0, 5).has_value(),
                  c.kept)
            << "v2." << int(c.version) << " " << c.id << " " << int(c.flags1) << "/"
            << int(c.flags2);
    }
}

TEST_F(Kept, FramesFollowTheModelsOwnInTheirOrder) {
    // An ID3v2.4 frame byte for byte, flags and size bytes as they stood; an
    // ID3v2.3 frame with a syncsafe size, status flags moved down one bit and
    // no format flags.
    const Bytes priv = frame24("PRIV", bytes("me") + Bytes{0} + repeat(0xAB, 200), 0x20, 0x01);
    const std::string v24 = put(tag24(priv + frame24("TIT2", latin1("old")) +
                                      frame24("COMM", latin1("eng") + Bytes{0} + bytes("c")) +
                                      frame24("TSSE", latin1("enc"))),
                                true, "v24.mp3");
    Bytes file = retitle(v24);
    EXPECT_EQ(ids(file), (std::vector<std::string>{"TIT2", "COMM", "PRIV", "TSSE"}));
    const size_t privAt = 10 + text24("TIT2", "New").size() +
                          frame24("COMM", latin1("eng") + Bytes{0} + bytes("c")).size();
    EXPECT_EQ(Bytes(file.begin() + std::ptrdiff_t(privAt),
                    file.begin() + std::ptrdiff_t(privAt + priv.size())),
              priv);

    const Bytes data = bytes("owner") + Bytes{0} + repeat(0x11, 300);
    const std::string v23 =
        put(tag23(frame23("PRIV", data, 0x60, 0x00) + frame23("TYER", latin1("1999"))), true,
            "v23.mp3");
    file = retitle(v23);
    EXPECT_EQ(ids(file), (std::vector<std::string>{"TDRC", "TIT2", "PRIV"}));
    load(v23);
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    const kept::KeptFrame& k = tag.KeptFrames()[0];
    const Bytes header = bytes("PRIV") + testing_support::syncsafe(306) + Bytes{0x30, 0};
    EXPECT_EQ(Bytes(k.header.begin(), k.header.end()), header);
    EXPECT_EQ(Bytes(file.begin() + std::ptrdiff_t(k.data),
                    file.begin() + std::ptrdiff_t(k.data + k.size)),
              data);
}

TEST_F(Kept, TagsThatKeepNothing) {
    // An ID3v2.2 tag (no ID3v2.4 form), a tag the readers do not read, and a
    // frame reaching past the declared end of the tag.
    const Bytes past = header(4, 30) + frame24("TIT2", latin1("t")) + bytes("PRIV") +
                       testing_support::syncsafe(50) + Bytes{0, 0} + repeat(1, 60);
    for (const Bytes& t : {tag22(frame22("TT2", latin1("t")) + frame22("XYZ", bytes("data"))),
                           header(4, 40, 0x40) + frame24("PRIV", repeat(1, 30)), past}) {
        const std::string path = put(t, true, "none.mp3");
        load(path);
        EXPECT_TRUE(tag.KeptFrames().empty());
        const Bytes file = retitle(path);
        EXPECT_EQ(ids(file), std::vector<std::string>{"TIT2"});
    }
}

TEST_F(Kept, KeptFramesCountWhenTheWriteDecidesWhereTheTagGoes) {
    // 115 bytes of frames (a 100-byte PRIV among them): the old 120-byte tag
    // holds them in place; one more character and they do not: a gap goes in front.
    const Bytes old =
        tag24(frame24("PRIV", repeat(7, 90)) + frame24("TIT2", latin1("o")), 120 - 100 - 12);
    EXPECT_EQ(retitle(put(old, true, "fits.mp3"), "abcd").size(), 130 + audio().size());
    const Bytes grown = retitle(put(old, true, "grows.mp3"), std::string(10, 'x'));
    EXPECT_EQ(grown.size(), 1024 + 130 + audio().size());
    EXPECT_EQ(ids(grown), (std::vector<std::string>{"TIT2", "PRIV"}));
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
    EXPECT_EQ(ids(readFile(a)), (std::vector<std::string>{"TIT2", "PRIV"}));
    EXPECT_EQ(ids(readFile(b)), (std::vector<std::string>{"TIT2", "POPM"}));

    load(b, true);
    tag.RemoveTag();
    load(b);
    EXPECT_TRUE(tag.KeptFrames().empty());
    EXPECT_EQ(title(), "");
}

} // namespace
