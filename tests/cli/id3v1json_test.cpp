// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The "id3v1" member of quillet-tag: its shape in dump, and applying it to a component.
#include "id3v1/id3.h"
#include "id3v1json.h"
#include "jsonlines.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

using namespace testing_support;

namespace {

Bytes trailer() {
    Bytes t = bytes("TAG") + repeat(0, 125);
    auto put = [&](size_t offset, std::string_view text) {
        std::copy(text.begin(), text.end(), t.begin() + static_cast<long>(offset));
    };
    put(3, "Caf\xE9");
    put(33, "Artist");
    put(63, "Album  ");
    put(93, "1999");
    put(97, "Note");
    t[126] = 7;
    t[127] = 17;
    return t;
}

TEST(QuilletTagDumpId3v1, MemberShape) {
    TempDir dir;
    const std::string tagged = dir.file("tagged.mp3");
    const std::string plain = dir.file("plain.mp3");
    writeFile(tagged, tag24(frame24("TIT2", Bytes{0} + bytes("v2"))) + audio() + trailer());
    writeFile(plain, audio());
    {
        auto r = run(std::string(QUILLET_TAG_BIN) + " dump " + shellQuote(tagged) + " " +
                     shellQuote(plain));
        ASSERT_EQ(r.status, 0);
        auto out = lines(r.out);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(keys(out[0]), (std::vector<std::string>{"file", "id3v2", "id3v1"}));
        EXPECT_EQ(out[0]["id3v2"]["present"], true);
        const Json& v1 = out[0]["id3v1"];
        EXPECT_EQ(keys(v1), (std::vector<std::string>{"present", "Title", "Artist", "Album", "Year",
                                                      "Comment", "Genre", "TrackNum"}));
        EXPECT_EQ(v1, (Json{{"present", true},
                            {"Title", "Café"}, // ISO-8859-1 in the trailer
                            {"Artist", "Artist"},
                            {"Album", "Album  "}, // spaces before zero padding stay
                            {"Year", "1999"},
                            {"Comment", "Note"},
                            {"Genre", "Rock"},
                            {"TrackNum", "7"}}));
        EXPECT_EQ(out[1]["id3v1"], (Json{{"present", false},
                                         {"Title", ""},
                                         {"Artist", ""},
                                         {"Album", ""},
                                         {"Year", ""},
                                         {"Comment", ""},
                                         {"Genre", ""},
                                         {"TrackNum", ""}}));
    }
    // A header scan reads the ID3v2 headers only.
    auto r = run(std::string(QUILLET_TAG_BIN) + " dump --header-only " + shellQuote(tagged));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(keys(lines(r.out)[0]), (std::vector<std::string>{"file", "id3v2"}));
}

TEST(QuilletTagDumpId3v1, FailedTrailerReadFailsTheLine) {
    TempDir dir;
    // A readable ID3v2 tag, but too short a file for a trailer.
    const std::string tiny = dir.file("tiny.mp3");
    const Bytes small = tag24(frame24("TIT2", Bytes{0} + bytes("x")), 10);
    ASSERT_LT(small.size(), 128u);
    writeFile(tiny, small);
    const std::string fine = dir.file("fine.mp3");
    writeFile(fine, audio());
    auto r =
        run(std::string(QUILLET_TAG_BIN) + " dump " + shellQuote(tiny) + " " + shellQuote(fine));
    EXPECT_EQ(r.status, 1);
    auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], (Json{{"file", tiny}, {"error", "Read beyond end of file"}}));
    EXPECT_EQ(out[1]["id3v1"]["present"], false);
}

TEST(Id3v1Json, AppliesTheSameShape) {
    Id3v1 tag;
    tag.ID3v1Present = true;
    tag.Title = "Café";
    tag.Artist = std::string("a\0b", 3);
    tag.Album = "Album";
    tag.Year = "1999";
    tag.Comment = "ÿ €";
    tag.Genre = "A capella";
    tag.TrackNum = "12";
    const Json j = tagjson::id3v1(tag);
    Id3v1 back;
    tagjson::applyId3v1(j, back);
    for (auto field : {&Id3v1::Title, &Id3v1::Artist, &Id3v1::Album, &Id3v1::Year, &Id3v1::Comment,
                       &Id3v1::Genre, &Id3v1::TrackNum})
        EXPECT_EQ(back.*field, tag.*field);
    EXPECT_FALSE(back.ID3v1Present); // "present" reports a read; it is not applied

    // Members left out keep their fields.
    tagjson::applyId3v1(Json{{"Title", "New"}, {"TrackNum", "3"}}, back);
    EXPECT_EQ(back.Title, "New");
    EXPECT_EQ(back.TrackNum, "3");
    EXPECT_EQ(back.Album, "Album");
    tagjson::applyId3v1(Json::object(), back);
    EXPECT_EQ(back.Title, "New");
}

TEST(Id3v1Json, RejectsOtherShapesWithoutChangingAField) {
    Id3v1 tag;
    tag.Title = "Kept";
    const Json bad[] = {
        Json::array(),
        Json("Title"),
        Json{{"Title", "x"}, {"Titel", "y"}},
        Json{{"Title", "x"}, {"TrackNum", 7}},
        Json{{"Genre", nullptr}},
    };
    for (const Json& j : bad) {
        EXPECT_THROW(tagjson::applyId3v1(j, tag), std::invalid_argument) << j.dump();
        EXPECT_EQ(tag.Title, "Kept") << j.dump();
        EXPECT_EQ(tag.Artist, "");
    }
}

TEST(Id3v1Json, WrittenThroughTheComponent) {
    // The path the write command takes: apply the member, then WriteTag.
    TempDir dir;
    const std::string song = dir.file("song.mp3");
    writeFile(song, audio());
    Id3v1 tag;
    tag.FileName = song;
    tagjson::applyId3v1(Json{{"present", false},
                             {"Title", "T\xC3\xA9"},
                             {"Artist", "€uro"}, // beyond ISO-8859-1: "?"
                             {"Album", ""},
                             {"Year", "2001"},
                             {"Comment", ""},
                             {"Genre", "Rock"},
                             {"TrackNum", "300"}},
                        tag);
    tag.WriteTag();
    Bytes want = bytes("TAG") + bytes("T\xE9") + repeat(0, 28) + bytes("?uro") + repeat(0, 56) +
                 bytes("2001") + repeat(0, 29) + Bytes{44, 17};
    EXPECT_EQ(readFile(song), audio() + want);
}

TEST(QuilletTagWriteId3v1, DumpLineCopiesBothTags) {
    TempDir dir;
    const std::string source = dir.file("source.mp3");
    const std::string target = dir.file("target.mp3");
    writeFile(source, tag24(frame24("TIT2", Bytes{0} + bytes("v2"))) + audio() + trailer());
    writeFile(target, audio());
    const std::string bin = QUILLET_TAG_BIN;
    auto dumped = run(bin + " dump " + shellQuote(source));
    ASSERT_EQ(dumped.status, 0);
    auto written = run(bin + " write " + shellQuote(target), dumped.out);
    ASSERT_EQ(written.status, 0) << written.out;
    auto after = lines(run(bin + " dump " + shellQuote(target)).out);
    auto before = lines(dumped.out);
    EXPECT_EQ(after[0]["id3v1"], before[0]["id3v1"]);
    EXPECT_EQ(after[0]["id3v2"]["texts"]["Title"], "v2");
    // A bad member is refused before any file is touched.
    const Bytes untouched = readFile(target);
    auto bad = run(bin + " write " + shellQuote(target), R"({"id3v1": {"Title": 5}})");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(readFile(target), untouched);
}

} // namespace
