// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The ID3v2.4 reader on tags spelled out byte for byte.
#include "readfixture.h"
#include "tagengine/frameids.h"
#include "tagengine/v24.h"

using namespace testing_support;
using tag::Prop;

namespace {

Bytes tit2(std::string_view text) {
    return frame24("TIT2", latin1(text));
}
Bytes talb(std::string_view text) {
    return frame24("TALB", latin1(text));
}
Bytes comm(std::string_view lang, std::string_view desc, std::string_view text,
           uint8_t encoding = 0) {
    return frame24("COMM", Bytes{encoding} + bytes(lang) + bytes(desc) + Bytes{0} + bytes(text));
}

class V24Reader : public ReadFixture {};

TEST_F(V24Reader, TextFrameEndsAtItsZeroAndWalkEndsAtPadding) {
    read(tag24(frame24("TIT2", {0, 'A', 'B', 'C'}) + frame24("TALB", latin1(withZero("Al")))));
    EXPECT_EQ(title(), "ABC");
    EXPECT_EQ(tag.text(Prop::Album), "Al"); // the terminating zero is no part of it
    EXPECT_TRUE(tag.Id3v2present);
    EXPECT_EQ(tag.Version, "2.4");
}

TEST_F(V24Reader, EveryTextAndUrlFrameFillsItsProperty) {
    Bytes frames;
    for (const auto& p : tag::PropTable)
        frames += frame24(p.v24, p.kind == tag::FrameKind::Text ? latin1(p.name) : bytes(p.name));
    read(tag24(frames));
    for (const auto& p : tag::PropTable)
        EXPECT_EQ(tag.text(p.prop), p.name) << p.v24;
}

// Two frames of one text property: both values, as several values of one
// frame; a grouped frame is kept with its group, an empty one adds nothing.
TEST_F(V24Reader, TwoFramesOfOneTextKeepBothValues) {
    read(tag24(tit2("one") + tit2("two")));
    EXPECT_EQ(title(), str("one") + '\0' + "two");
    read(tag24(tit2("one") + frame24("TIT2", Bytes{7} + latin1("two"), 0, 0x40)));
    EXPECT_EQ(title(), "one");
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    EXPECT_EQ(tag.KeptFrames()[0].header[9], 0x40);
    read(tag24(tit2("one") + frame24("TIT2", latin1("two"), 0, 0x80) + tit2("")));
    EXPECT_EQ(title(), str("one") + '\0' + "two");
}

// Flags ID3v2.4 does not define change nothing; a data length indicator
// that the data has no room for leaves the frame as it stands.
TEST_F(V24Reader, FlagsAndEmptyFrames) {
    read(tag24(frame24("TIT2", {}) + frame24("WOAR", bytes("http://a"), 0x80) +
               frame24("TALB", latin1("x"), 0x80, 0x03) + frame24("TPE1", latin1("y"), 0, 0x80)));
    EXPECT_EQ(title(), "");
    EXPECT_EQ(tag.text(Prop::ArtistUrl), "http://a");
    EXPECT_EQ(tag.text(Prop::Album), "");
    EXPECT_EQ(tag.text(Prop::LeadPerformer), "y");
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    EXPECT_EQ(tag.KeptFrames()[0].id(), "TALB");
}

TEST_F(V24Reader, CommentEntryKeepsDescriptionZero) {
    read(tag24(comm("eng", "desc", "hello")));
    ASSERT_EQ(tag.Comments().count(), 1);
    EXPECT_EQ(tag.Comments()[1].language, "eng");
    EXPECT_EQ(tag.Comments()[1].description, withZero("desc"));
    EXPECT_EQ(tag.Comments()[1].text, "hello");
}

TEST_F(V24Reader, EveryListFrameKind) {
    read(tag24(frame24("USLT", latin1("deu") + bytes(withZero("d")) + bytes("la la")) +
               frame24("WXXX", latin1(withZero("home")) + bytes("http://x")) +
               frame24("TXXX", latin1(withZero("k")) + bytes("v")) +
               frame24("USER", latin1("eng") + bytes("terms"))));
    ASSERT_EQ(tag.Lyrics().count(), 1);
    EXPECT_EQ(tag.Lyrics()[1], (tag::LangEntry{"la la", "deu", withZero("d")}));
    ASSERT_EQ(tag.UserUrls().count(), 1);
    EXPECT_EQ(tag.UserUrls()[1], (tag::UserUrlEntry{withZero("home"), "http://x"}));
    ASSERT_EQ(tag.UserTexts().count(), 1);
    EXPECT_EQ(tag.UserTexts()[1], (tag::UserTextEntry{withZero("k"), "v"}));
    ASSERT_EQ(tag.TermsOfUse().count(), 1);
    EXPECT_EQ(tag.TermsOfUse()[1], (tag::TermsEntry{"terms", "eng"}));
}

// A status flag does not keep a list frame from the list; an unknown
// encoding does, and the frame is kept as it is.
TEST_F(V24Reader, ListFramesWithFlagsOrUnknownEncoding) {
    read(tag24(talb("first") + frame24("COMM", latin1("eng") + Bytes{0}, 0x40) +
               comm("eng", "", "x", 7) + tit2("second")));
    EXPECT_EQ(tag.Comments().count(), 1);
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    EXPECT_EQ(tag.KeptFrames()[0].id(), "COMM");
    EXPECT_EQ(title(), "second");
}

TEST_F(V24Reader, UnknownFrameSkippedBySize) {
    read(tag24(frame24("XYZW", repeat('x', 20)) + tit2("after")));
    EXPECT_EQ(title(), "after");
}

TEST_F(V24Reader, SyncsafeFrameSize) {
    // Size bytes 00 00 01 00 mean 128 data bytes.
    Bytes data = latin1(std::string(127, 'q'));
    read(tag24(bytes("TALB") + Bytes{0, 0, 1, 0, 0, 0} + data + tit2("x")));
    EXPECT_EQ(title(), "x");
}

TEST_F(V24Reader, PictureIsExtractedIntoTempFolder) {
    Bytes picture = audio(1000);
    read(tag24(frame24("APIC", latin1(withZero("image/jpeg")) + Bytes{3, 0} + picture) +
               frame24("APIC", latin1(withZero("image/png")) + Bytes{21} + bytes(withZero("back")) +
                                   Bytes{1, 2, 3})));
    ASSERT_EQ(tag.Pictures().count(), 1);
    const auto& first = tag.Pictures()[1];
    EXPECT_EQ(first.mimeType, withZero("image/jpeg"));
    EXPECT_EQ(first.pictureType, "Cover (front)");
    EXPECT_EQ(first.description, withZero(""));
    EXPECT_EQ(first.pictureFile, temp() + "1image.jpg");
    EXPECT_EQ(readFile(first.pictureFile), picture);
    // A picture type beyond the table: kept as it is, not listed as another type.
    ASSERT_EQ(tag.KeptFrames().size(), 1u);
    EXPECT_EQ(tag.KeptFrames()[0].id(), "APIC");
    EXPECT_FALSE(exists(temp() + "2image.png"));
}

TEST_F(V24Reader, LargePictureIsCopiedWhole) {
    Bytes picture = audio(3 * 0x80000 + 17);
    read(tag24(talb("t") + frame24("APIC", latin1(withZero("image/png")) + Bytes{0, 0} + picture) +
               tit2("after")));
    EXPECT_EQ(readFile(tag.Pictures()[1].pictureFile), picture);
    EXPECT_EQ(title(), "after");
}

// The first read's size follows the tag read before: a small tag or a short
// file after a large tag, and a large one after small ones, read whole.
TEST_F(V24Reader, TagsOfEverySizeAfterEachOther) {
    for (size_t size : {100000u, 10u, 3000u, 100000u, 50000u, 5000u}) {
        SCOPED_TRACE(size);
        const Bytes big =
            size >= 50000 ? frame24("TXXX", latin1(withZero("d")) + audio(size)) : Bytes();
        read(tag24(tit2("t" + std::to_string(size)) + big), size != 10);
        EXPECT_EQ(title(), "t" + std::to_string(size));
        EXPECT_EQ(tag.UserTexts().count(), size >= 50000 ? 1 : 0);
    }
}

TEST_F(V24Reader, HostileMimeTypeStaysInTempFolder) {
    read(tag24(frame24("APIC", latin1(withZero("image/../../evil")) + Bytes{0, 0, 9}) +
               frame24("APIC", latin1(withZero(std::string(300, 'm'))) + Bytes{0, 0, 9})));
    ASSERT_EQ(tag.Pictures().count(), 2);
    EXPECT_EQ(tag.Pictures()[1].pictureFile, temp() + "1image..._.._evil");
    EXPECT_EQ(tag.Pictures()[2].pictureFile, temp() + "2" + std::string(100, 'm'));
    EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"Temp", "song.mp3"}));
}

TEST(PictureFileName, FollowsMimeType) {
    EXPECT_EQ(v24::pictureFileName(1, withZero("image/jpeg")), "1image.jpg");
    EXPECT_EQ(v24::pictureFileName(2, withZero("image/png")), "2image.png");
    EXPECT_EQ(v24::pictureFileName(3, withZero("PNG")), "3PNG");
    EXPECT_EQ(v24::pictureFileName(4, withZero("")), "4");
    EXPECT_EQ(v24::pictureFileName(5, withZero("a/b/c d\xE9")), "5a.b_c_d_");
    // A MIME type that begins with a digit must not run into the number.
    EXPECT_EQ(v24::pictureFileName(1, withZero("2/x")), "1_2.x");
    EXPECT_EQ(v24::pictureFileName(12, withZero("/x")), "12.x");
}

TEST(PictureTypeNames, BothDirections) {
    EXPECT_EQ(v24::pictureTypeName(3), "Cover (front)");
    EXPECT_EQ(v24::pictureTypeName(20), "Publisher/Studio logotype");
    EXPECT_EQ(v24::pictureTypeName(21), "");
    EXPECT_EQ(v24::pictureTypeByte("Publisher/Studio logotype"), 20);
    EXPECT_EQ(v24::pictureTypeByte(""), 0);
    EXPECT_EQ(v24::pictureTypeByte("cover (front)"), 0);
}

// Tags written by other programs often have no padding: the walk stops at the
// declared end instead of reading the audio as frames.
TEST_F(V24Reader, WalkEndsAtDeclaredTagEnd) {
    read(tag24(tit2("no padding"), 0));
    EXPECT_EQ(title(), "no padding");
    // The audio after the tag begins with bytes that would parse as a frame.
    read(tag24(tit2("t"), 0) + frame24("TALB", latin1("from audio")));
    EXPECT_EQ(tag.text(Prop::Album), "");
    // A frame running past the declared end is not read.
    Bytes frames = tit2("a") + tit2("bb");
    Bytes t = header(4, uint32_t(frames.size() - 1)) + frames;
    read(t);
    EXPECT_EQ(title(), "a");
    // Fewer bytes than a frame header before the end.
    read(header(4, uint32_t(tit2("a").size() + 5)) + tit2("a") + bytes("TIT2\x7f"));
    EXPECT_EQ(title(), "a");
}

TEST_F(V24Reader, FieldsNeverReadPastTheirFrame) {
    // The description's zero lies in the next frame: no entry, the walk goes on.
    read(tag24(frame24("COMM", latin1("eng") + bytes("nozero")) + tit2("next")));
    EXPECT_EQ(tag.Comments().count(), 0);
    EXPECT_EQ(title(), "next");
    // Shorter than the fixed fields.
    read(tag24(frame24("COMM", latin1("en")) + frame24("USER", Bytes{0, 'e'}) +
               frame24("APIC", latin1(withZero("image/png"))) + frame24("TXXX", {}) + tit2("x")));
    EXPECT_EQ(tag.Comments().count(), 0);
    EXPECT_EQ(tag.TermsOfUse().count(), 0);
    EXPECT_EQ(tag.Pictures().count(), 0);
    EXPECT_EQ(tag.UserTexts().count(), 0);
    EXPECT_EQ(title(), "x");
}

TEST_F(V24Reader, HundredEntriesPerList) {
    Bytes frames;
    for (int i = 0; i < 101; ++i)
        frames += comm("eng", "", std::to_string(i));
    read(tag24(frames + tit2("end")));
    EXPECT_EQ(tag.Comments().count(), 100);
    EXPECT_EQ(tag.Comments()[100].text, "99");
    ASSERT_EQ(tag.KeptFrames().size(), 1u); // the 101st, kept as it is
    EXPECT_EQ(tag.KeptFrames()[0].id(), "COMM");
    EXPECT_EQ(title(), "end");
}

TEST_F(V24Reader, DeclaredTagPastEndOfFile) {
    // Data the walk needs lies past the end of the file.
    Bytes t = tag24(tit2("abc"), 100);
    Bytes cut(t.begin(), t.begin() + 10 + 12);
    EXPECT_EQ(readError(put(cut, false)), "Read beyond end of file");
    // A frame kept as it stands needs none of its data.
    Bytes frames = tit2("a") + frame24("PRIV", latin1("yyyy"));
    Bytes t2 = header(4, uint32_t(frames.size())) + frames;
    t2.resize(t2.size() - 3);
    EXPECT_EQ(readError(put(t2, false)), "");
    EXPECT_EQ(title(), "a");
    // A picture whose data is cut short leaves no picture file behind.
    Bytes t3 = tag24(frame24("APIC", latin1(withZero("image/png")) + Bytes{0, 0} + audio(500)));
    t3.resize(200);
    EXPECT_EQ(readError(put(t3, false)), "Read beyond end of file");
    EXPECT_FALSE(exists(temp() + "1image.png"));
}

// Many taggers store every frame as UTF-16 or UTF-8: every character is
// taken over; a frame whose bytes are not valid in their encoding gives no
// value and is kept as it is.
TEST_F(V24Reader, UnicodeTextIsDecodedAndInvalidTextIsKept) {
    struct Case {
        const char* id;
        Bytes data;
        std::string value;
    };
    const std::vector<Case> cases{
        {"TIT2", {1, 0xFF, 0xFE, 'A', 0}, "A"},                  // UTF-16 LE with BOM
        {"TALB", {1, 0xFE, 0xFF, 0, 0xE9, 0, 't', 0, 0}, "ét"},  // BE, the zero ends it
        {"TPE1", {1, 'n', 0, 'o', 0}, "no"},                     // no BOM: LE
        {"TPE2", {2, 0, 'B', 0, 0xFC}, "Bü"},                    // UTF-16BE
        {"TCOM", {3, 'C', 0xC3, 0xA9}, "Cé"},                    // UTF-8
        {"TIT3", {1, 0xFF, 0xFE, 0xA9, 0x03, 0x16, 0x21}, "Ω№"}, // beyond U+00FF
        {"TPE4", {1, 0x3D, 0xD8, 0x00, 0xDE}, "😀"},              // surrogate pair
        {"TPE3", {1, 'a', 0, 0, 0, 0xFE, 0xFF, 0, 'b'}, str("a") + '\0' + "b"}, // a BOM each
        {"TEXT", {3, 0xE6, 0x97, 0xA5}, "日"},
        {"TOAL", {1, 0xFF, 0xFE, 'A'}, ""},    // odd byte count
        {"TOPE", {3, 0xC0, 0x80}, ""},         // overlong UTF-8
        {"TOLY", {3, 0xED, 0xA0, 0x80}, ""},   // UTF-8 surrogate
        {"TPOS", {1, 0x00, 0xDE, 'x', 0}, ""}, // lone second half
        {"TPUB", {2, 0xD8, 0x3D, 0, 'x'}, ""}, // lone first half
        {"TKEY", {4, 'x'}, ""},                // no such encoding
    };
    Bytes frames;
    for (const Case& c : cases)
        frames += frame24(c.id, c.data);
    read(tag24(frames));
    std::vector<std::string> kept;
    for (const Case& c : cases) {
        const auto target = tag::lookupFrame(tag::TagVersion::V24, c.id);
        ASSERT_TRUE(target);
        EXPECT_EQ(tag.text(target->prop), c.value) << c.id;
        if (c.value.empty()) kept.emplace_back(c.id);
    }
    std::vector<std::string> keptIds;
    for (const auto& k : tag.KeptFrames())
        keptIds.emplace_back(k.id());
    EXPECT_EQ(keptIds, kept);
}

TEST_F(V24Reader, UnicodeListFields) {
    read(tag24(
        // Description ends at a two-byte zero at an even offset: "d", then "Ā".
        frame24("COMM", Bytes{1} + bytes("eng") + Bytes{0xFF, 0xFE, 'd', 0, 0, 0} +
                            Bytes{0xFF, 0xFE, 'h', 0, 'i', 0}) +
        frame24("COMM", Bytes{1} + bytes("eng") + Bytes{0xFF, 0xFE, 0, 1, 0, 0, 'x', 0}) +
        frame24("COMM", Bytes{1} + bytes("eng") + Bytes{0xFF, 0xFE, 0, 0xD8, 0, 0, 'x', 0}) +
        frame24("WXXX", Bytes{1, 0xFF, 0xFE, 'u', 0, 0, 0} + bytes("http://\xE9")) +
        frame24("APIC", Bytes{1} + bytes(withZero("image/png")) + Bytes{3} +
                            Bytes{0xFF, 0xFE, 'c', 0, 0, 0} + Bytes{9, 9}) +
        frame24("TXXX", Bytes{3} + bytes("k\xC3\xBC") + Bytes{0} + bytes("v"))));
    ASSERT_EQ(tag.Comments().count(), 2); // the third one's description is a lone surrogate
    EXPECT_EQ(tag.Comments()[1], (tag::LangEntry{"hi", "eng", withZero("d")}));
    EXPECT_EQ(tag.Comments()[2], (tag::LangEntry{"x", "eng", withZero("Ā")}));
    ASSERT_EQ(tag.UserUrls().count(), 1);
    EXPECT_EQ(tag.UserUrls()[1], (tag::UserUrlEntry{withZero("u"), "http://é"}));
    ASSERT_EQ(tag.Pictures().count(), 1);
    EXPECT_EQ(tag.Pictures()[1].description, withZero("c"));
    EXPECT_EQ(readFile(tag.Pictures()[1].pictureFile), (Bytes{9, 9}));
    ASSERT_EQ(tag.UserTexts().count(), 1);
    EXPECT_EQ(tag.UserTexts()[1], (tag::UserTextEntry{withZero("kü"), "v"}));
}

TEST_F(V24Reader, TempFolderIsCreatedWhenMissing) {
    read(tag24(frame24("APIC", latin1(withZero("image/png")) + Bytes{0, 0, 7})));
    EXPECT_TRUE(exists(temp() + "1image.png"));
}

} // namespace
