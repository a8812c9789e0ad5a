// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag set edits the six lists of each file's own tag as the window's
// list pages do: what each edit leaves, read back through dump.
#include "jsonlines.h"
#include "support/tagparts.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const Bytes Jpeg = Bytes{0xFF, 0xD8, 0xFF, 0xE0} + repeat(0x11, 300 * 1024 - 4);

Bytes song(int n) {
    const std::string own = "Song " + std::to_string(n);
    return tag24(frame24("TIT2", latin1(own)) + frame24("TRCK", latin1(std::to_string(n))) +
                 frame24("COMM", latin1("eng") + Bytes{'d', 0} + bytes(own)) +
                 frame24("TXXX", latin1("k") + Bytes{0} + bytes(own)) +
                 apic24("image/png", repeat(uint8_t(n), 100), "front")) +
           audio();
}

Json dump(const TempDir& dir, const std::string& file) {
    const auto r = run(std::string(QUILLET_TAG_BIN) + " dump --temp " +
                       shellQuote(dir.file("pics")) + " " + shellQuote(dir.file(file)));
    EXPECT_EQ(r.status, 0) << r.out;
    return lines(r.out).at(0)["id3v2"];
}

TEST(QuilletTagSetLists, ACoverIntoThirtyFilesKeepsEachFilesOwnTag) {
    TempDir dir;
    writeFile(dir.file("cover.jpg"), Jpeg);
    std::string files;
    for (int n = 1; n <= 30; ++n) {
        writeFile(dir.file(std::to_string(n) + ".mp3"), song(n));
        files += " " + std::to_string(n) + ".mp3";
    }
    const auto r = run("cd " + shellQuote(dir.path()) + " && " + QUILLET_TAG_BIN + " set" + files +
                       " 'Pictures+=cover.jpg:Cover (back):The back'");
    ASSERT_EQ(r.status, 0) << r.out;
    for (int n = 1; n <= 30; ++n) {
        SCOPED_TRACE(n);
        const std::string own = "Song " + std::to_string(n);
        const Json v2 = dump(dir, std::to_string(n) + ".mp3");
        EXPECT_EQ(v2["texts"]["Title"], own);
        EXPECT_EQ(v2["texts"]["TrackNum"], std::to_string(n));
        EXPECT_EQ(v2["Comments"][0]["text"], own);
        EXPECT_EQ(v2["UserTexts"][0]["value"], own);
        ASSERT_EQ(v2["Pictures"].size(), 2u);
        EXPECT_EQ(v2["Pictures"][0]["description"], withZero("front"));
        EXPECT_EQ(readFile(dir.file("pics/1image.png")), repeat(uint8_t(n), 100));
        EXPECT_EQ(v2["Pictures"][1], (Json{{"mimeType", withZero("image/jpeg")},
                                           {"pictureType", "Cover (back)"},
                                           {"description", withZero("The back")},
                                           {"pictureFile", "2image.jpg"},
                                           {"size", Jpeg.size()}}));
        EXPECT_EQ(readFile(dir.file("pics/2image.jpg")), Jpeg);
    }
}

// List entries as dump prints them (without pictures' sizes).
Json comment(const std::string& text, const std::string& language, const std::string& description) {
    return {{"text", text}, {"language", language}, {"description", withZero(description)}};
}

Json gif(const std::string& type, const std::string& description) {
    return {{"mimeType", withZero("image/gif")},
            {"pictureType", type},
            {"description", withZero(description)},
            {"pictureFile", "1image.gif"}};
}

TEST(QuilletTagSetLists, EachEditLeavesTheListsAsTheWindowWould) {
    TempDir dir;
    writeFile(dir.file("c.gif"), bytes("GIF89a") + repeat(1, 20));
    const struct {
        std::string edits;
        std::string list;
        Json entries; // the list after the edits
    } cases[] = {
        {"'Comments+=deu:Desc:a:b\\\\c'",
         "Comments",
         {comment("Song 1", "eng", "d"), comment("a:b\\c", "deu", "Desc")}},
        {"'Comments[ENG:d]=new'", "Comments", {comment("new", "eng", "d")}},
        {"'Comments[eng:x\\:y]=added'",
         "Comments",
         {comment("Song 1", "eng", "d"), comment("added", "eng", "x:y")}},
        {"'Comments[eng:d]='", "Comments", Json::array()},
        {"Comments-=1 Lyrics+=eng::la", "Lyrics", {comment("la", "eng", "")}},
        {"UserTexts=", "UserTexts", Json::array()},
        {"UserTexts=a:1 'UserTexts[REPLAYGAIN_TRACK_GAIN]=-6.2 dB' 'UserTexts[a]=2'",
         "UserTexts",
         {{{"description", withZero("a")}, {"value", "2"}},
          {{"description", withZero("REPLAYGAIN_TRACK_GAIN")}, {"value", "-6.2 dB"}}}},
        {"UserUrls+=home:http://x.org:8080/",
         "UserUrls",
         {{{"description", withZero("home")}, {"url", "http://x.org:8080/"}}}},
        {"TermsOfUse+=fra:t 'TermsOfUse[FRA]=u'",
         "TermsOfUse",
         {{{"text", "u"}, {"language", "fra"}}}},
        {"Pictures+=c.gif 'Pictures[front]=c.gif' Pictures-=2",
         "Pictures",
         {gif("Cover (front)", "front")}},
        {"'Pictures=c.gif:18:i' 'Pictures[i]=c.gif:Leaflet page'",
         "Pictures",
         {gif("Leaflet page", "i")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edits);
        writeFile(dir.file("a.mp3"), song(1));
        const auto r = run("cd " + shellQuote(dir.path()) + " && " + QUILLET_TAG_BIN +
                           " set a.mp3 " + c.edits);
        ASSERT_EQ(r.status, 0) << r.out;
        Json list = dump(dir, "a.mp3")[c.list];
        for (Json& entry : list)
            entry.erase("size");
        EXPECT_EQ(list, c.entries);
    }
}

} // namespace

TEST(QuilletTagNames, FieldsFromNamesAndTrackNumbersKeepAllElse) {
    TempDir dir;
    std::string files;
    for (int n = 1; n <= 4; ++n) {
        const std::string name = "0" + std::to_string(n) + " - Band " + std::to_string(n) +
                                 " - Part " + std::to_string(n) + ".mp3";
        writeFile(dir.file(name), song(n));
        files += " " + shellQuote(name);
    }
    writeFile(dir.file("odd.mp3"), song(9));
    const std::string in = "cd " + shellQuote(dir.path()) + " && " + QUILLET_TAG_BIN;
    auto r =
        run(in + " names --template '{Track Num.} - {Artist} - {Title(ID3v1)}' odd.mp3" + files);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, R"({"file":"odd.mp3","error":"the name does not match the template"})"
                     "\n");
    EXPECT_EQ(readFile(dir.file("odd.mp3")), song(9));
    ASSERT_EQ(run(in + " number --total odd.mp3" + files).status, 0);
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const auto d = run(in + " dump 0" + std::to_string(n) + "*.mp3");
        const Json line = lines(d.out).at(0);
        EXPECT_EQ(line["id3v2"]["texts"]["TrackNum"], std::to_string(n + 1) + "/5");
        EXPECT_EQ(line["id3v2"]["texts"]["LeadPerformer"], "Band " + std::to_string(n));
        EXPECT_EQ(line["id3v2"]["texts"]["Title"], "Song " + std::to_string(n));
        EXPECT_EQ(line["id3v1"]["Title"], "Part " + std::to_string(n));
        EXPECT_EQ(line["id3v2"]["Comments"][0]["text"], "Song " + std::to_string(n));
    }
}
