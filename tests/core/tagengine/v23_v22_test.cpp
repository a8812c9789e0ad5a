// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The ID3v2.3 and ID3v2.2 readers: their own sizes, flags and frame IDs.
#include "readfixture.h"
#include "tagengine/recordtime.h"

#include <zlib.h>

using namespace testing_support;
using tag::Prop;

namespace {

class V23Reader : public ReadFixture {};
class V22Reader : public ReadFixture {};

// The ID a version gives a property's frame, empty for none.
using Id = std::string_view (*)(const tag::PropInfo&);

// A frame holding the property's name, as its kind of frame holds a value.
Bytes named(const tag::PropInfo& p) {
    return p.kind == tag::FrameKind::Text ? latin1(p.name) : bytes(p.name);
}

TEST_F(V23Reader, PlainSizesAndKnownFrames) {
    // Size bytes 00 00 01 2C: 300 data bytes, all 8 bits significant.
    Bytes commData = latin1("eng") + bytes(withZero("d")) + Bytes(300 - 4 - 2, 'c');
    read(tag23(frame23("COMM", commData) + frame23("TIT1", latin1("group")) +
               frame23("TYER", latin1("1999")) + frame23("TORY", latin1("1970")) +
               frame23("TOWN", latin1("me")) + frame23("WCOP", bytes("http://c")) +
               frame23("TIT2", latin1("t"))));
    EXPECT_EQ(tag.Version, "2.3");
    ASSERT_EQ(tag.Comments().count(), 1);
    EXPECT_EQ(tag.Comments()[1].text.size(), 294u);
    EXPECT_EQ(tag.text(Prop::ContentGroup), "group");
    EXPECT_EQ(tag.text(Prop::RecordTime), "1999"); // from TYER
    EXPECT_EQ(tag.text(Prop::OrigTime), "1970");
    EXPECT_EQ(tag.text(Prop::FileOwner), "me");
    EXPECT_EQ(tag.text(Prop::CopyRightUrl), "http://c");
    EXPECT_EQ(tag.text(Prop::Title), "t");
}

TEST(RecordTime, FromTheYearDateAndTimeFrames) {
    struct Case {
        std::string year, date, time, stamp;
    };
    const Case cases[] = {
        {"2004", "", "", "2004"},
        {"2004", "3112", "2359", "2004-12-31T23:59"},
        {"1999 (remaster)", "0102", "", ""}, // not a year: the frame is kept as it is
        {"2004", str("2902") + '\0', str("0000") + '\0', "2004-02-29T00:00"}, // zeros ending them
        {"2004", "3102", "1200", "2004"}, // no 31 February: neither date nor time
        {"2004", "0013", "1200", "2004"}, // no month 13
        {"2004", "0101", "2400", "2004-01-01"},
        {"2004", "0101", "1260", "2004-01-01"},
        {"2004", "101", "", "2004"},
        {"2004", "01012", "", "2004"},
        {"2004", "", "1200", "2004"}, // a time without a date
        {"204", "0101", "", ""},
        {"Y2K!", "0101", "", ""},
        {"", "0101", "1200", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recordtime::fromParts(c.year, c.date, c.time), c.stamp)
            << c.year << "/" << c.date << "/" << c.time;
}

// The recording time from TYER, TDAT and TIME; what does not go into it is
// kept where it stood (a second year, a part that is no date), and TRDA only
// when it is a time stamp itself.
TEST_F(V23Reader, DatesFromTyerTdatTimeAndTrdaOnlyWhenAStamp) {
    read(tag23(frame23("TYER", latin1("1987")) +
               frame23("TDAT", {1, 0xFF, 0xFE, '0', 0, '5', 0, '1', 0, '1', 0}) +
               frame23("TIME", latin1("0930")) + frame23("TYER", latin1("1988"))));
    EXPECT_EQ(tag.text(Prop::RecordTime), "1987-11-05T09:30"); // the first TYER met
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    EXPECT_EQ(tag.KeptFrames()[0].id(), "TYER");
    read(tag23(frame23("TYER", latin1("1987")) + frame23("TDAT", latin1("3102")) +
               frame23("TRDA", latin1("May 5th"))));
    EXPECT_EQ(tag.text(Prop::RecordTime), "1987");
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    EXPECT_EQ(tag.KeptFrames()[0].id(), "TDAT"); // no 31 February
    EXPECT_EQ(tag.DroppedFrames(), std::vector<std::string>{"TRDA"});
    read(tag23(frame23("TRDA", latin1("2001-05-06")) + frame23("TYER", latin1("19x"))));
    EXPECT_EQ(tag.text(Prop::RecordTime), "2001-05-06");
    EXPECT_TRUE(tag.DroppedFrames().empty());
    // Parts that say no more than the tag's own time stamp go with it; a
    // part that says otherwise stays, through a write too.
    read(tag23(frame23("TDRC", latin1("2001-05-06")) + frame23("TYER", latin1("2001"))));
    EXPECT_EQ(tag.text(Prop::RecordTime), "2001-05-06");
    EXPECT_TRUE(tag.KeptFrames().empty());
    read(tag23(frame23("TDRC", latin1("2001-05-06")) + frame23("TYER", latin1("1999"))));
    tag.WriteTag();
    load(tag.FileName);
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    EXPECT_EQ(tag.KeptFrames()[0].id(), "TYER");
    read(tag22(frame22("TYE", latin1("2001")) + frame22("TDA", latin1("2412")) +
               frame22("TIM", latin1("2000"))));
    EXPECT_EQ(tag.text(Prop::RecordTime), "2001-12-24T20:00");
    read(tag24(frame24("TYER", latin1("2001"))));
    EXPECT_EQ(tag.text(Prop::RecordTime), ""); // ID3v2.4 has TDRC
}

// Every property by its ID3v2.3 frame, then by its ID3v2.4 one where they
// differ: taggers put ID3v2.4 frames (TSOP, TDRC, ...) into ID3v2.3 tags, and
// a write holds those IDs for the model, so they must reach it.
TEST_F(V23Reader, EveryKnownFrameAndTheTwoFourOnes) {
    const Id ids[] = {[](const tag::PropInfo& p) { return p.v23; },
                      [](const tag::PropInfo& p) { return p.v24 != p.v23 ? p.v24 : ""; }};
    for (const Id id : ids) {
        SCOPED_TRACE(id == ids[0] ? "v2.3 IDs" : "v2.4 IDs");
        Bytes frames;
        for (const auto& p : tag::PropTable)
            if (!id(p).empty()) frames += frame23(id(p), named(p));
        read(tag23(frames));
        for (const auto& p : tag::PropTable)
            EXPECT_EQ(tag.text(p.prop), id(p).empty() ? std::string() : str(p.name)) << p.name;
    }
}

// Status flags do not keep the model's own frames from being read; format
// flags say how the data is stored: compressed frames are inflated, encrypted
// and grouped ones kept as they are.
TEST_F(V23Reader, FlagsOfTheModelsFrames) {
    const Bytes title = latin1("compressed title");
    Bytes zlib(64);
    uLongf zlibSize = zlib.size();
    ASSERT_EQ(::compress(zlib.data(), &zlibSize, title.data(), title.size()), Z_OK);
    zlib.resize(zlibSize);
    read(tag23(frame23("TALB", latin1("a"), 0, 0x40) +
               frame23("TIT2", be32(uint32_t(title.size())) + zlib, 0, 0x80) +
               frame23("TPE1", latin1("p"), 0xC0, 0) + frame23("WOAR", bytes("u"), 0x80) +
               frame23("COMM", latin1("eng") + Bytes{0}, 0x80) +
               frame23("TXXX", latin1(withZero("k")) + bytes("v"), 0x40, 0x20)));
    EXPECT_EQ(tag.text(Prop::Album), "");
    EXPECT_EQ(tag.text(Prop::Title), "compressed title");
    EXPECT_EQ(tag.text(Prop::LeadPerformer), "p");
    EXPECT_EQ(tag.text(Prop::ArtistUrl), "u");
    EXPECT_EQ(tag.Comments().count(), 1);
    EXPECT_EQ(tag.UserTexts().count(), 0);
    std::vector<std::string> kept;
    for (const auto& k : tag.KeptFrames())
        kept.emplace_back(k.id());
    EXPECT_EQ(kept, (std::vector<std::string>{"TALB", "TXXX"}));
}

TEST_F(V23Reader, PictureAndFollowingFrame) {
    Bytes picture = audio(5000);
    read(tag23(frame23("APIC",
                       latin1(withZero("image/jpeg")) + Bytes{4} + bytes(withZero("b")) + picture) +
               frame23("TIT2", latin1("after"))));
    ASSERT_EQ(tag.Pictures().count(), 1);
    EXPECT_EQ(tag.Pictures()[1].pictureType, "Cover (back)");
    EXPECT_EQ(readFile(tag.Pictures()[1].pictureFile), picture);
    EXPECT_EQ(title(), "after");
}

TEST_F(V23Reader, EmptyFrameAndEncodings) {
    read(tag23(frame23("TIT2", {}) + frame23("TALB", {1, 'x', 0}) +
               frame23("COMM", Bytes{1} + bytes("eng") + Bytes{0x00, 0x04, 0, 0}) +
               frame23("COMM", Bytes{1} + bytes("eng") + Bytes{0x00, 0xDC, 0, 0}) +
               frame23("TPE1", latin1(withZero("zero")))));
    EXPECT_EQ(title(), "");
    EXPECT_EQ(tag.text(Prop::Album), "x");
    ASSERT_EQ(tag.Comments().count(), 1); // not the one with a lone surrogate
    EXPECT_EQ(tag.Comments()[1], (tag::LangEntry{"", "eng", withZero("Ѐ")}));
    EXPECT_EQ(tag.text(Prop::LeadPerformer), "zero"); // the terminating zero ends it
}

TEST_F(V23Reader, HugeFrameSizeEndsTheWalk) {
    read(tag23(frame23("TIT2", latin1("t")) + bytes("TALB") + Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(title(), "t");
}

TEST_F(V22Reader, TextUrlAndListFrames) {
    Bytes frames;
    for (const auto& p : tag::PropTable)
        if (!p.v22.empty()) frames += frame22(p.v22, named(p));
    frames += frame22("COM", latin1("eng") + Bytes{0} + bytes("c")) +
              frame22("PIC", latin1("JPG") + Bytes{3, 0, 1, 2}) + frame22("TYE", latin1("2001")) +
              frame22("PIC", latin1("-->") + Bytes{0, 0} + bytes("http://cover")) +
              frame22("WCM", bytes("u"));
    read(tag22(frames));
    EXPECT_EQ(tag.Version, "2.2");
    for (const auto& p : tag::PropTable)
        EXPECT_EQ(tag.text(p.prop), p.prop == Prop::RecordTime ? std::string("2001") // TYE
                                    : p.v22.empty()            ? std::string()
                                                               : str(p.name))
            << p.name;
    ASSERT_EQ(tag.Comments().count(), 1);
    EXPECT_EQ(tag.Comments()[1], (tag::LangEntry{"c", "eng", withZero("")}));
    ASSERT_EQ(tag.Pictures().count(), 2);
    EXPECT_EQ(tag.Pictures()[2].mimeType, withZero("-->")); // a link
    EXPECT_EQ(tag.Pictures()[1].mimeType, withZero("image/jpeg"));
    EXPECT_EQ(tag.Pictures()[1].pictureType, "Cover (front)");
    EXPECT_EQ(readFile(tag.Pictures()[1].pictureFile), (Bytes{1, 2}));
}

TEST_F(V22Reader, SizesEncodingsAndPadding) {
    // Size bytes 00 01 2C: 300 data bytes.
    read(tag22(frame22("TT2", latin1(std::string(299, 't'))) + frame22("TAL", {}) +
               frame22("TP1", {1, 0xFF, 0xFE, 0x3A, 0x04}) + frame22("TCM", latin1("c"))));
    EXPECT_EQ(title().size(), 299u);
    EXPECT_EQ(tag.text(Prop::Album), "");
    EXPECT_EQ(tag.text(Prop::LeadPerformer), "к");
    EXPECT_EQ(tag.text(Prop::Composer), "c");
}

} // namespace
