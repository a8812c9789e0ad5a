// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag dump and kill, run as processes: the output shape scripts rely on.
#include "jsonlines.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <unistd.h>

using namespace testing_support;

namespace {

std::string tagBin() {
    return QUILLET_TAG_BIN;
}

TEST(QuilletTagDump, FullReadShape) {
    TempDir dir;
    const std::string song = dir.file("song.mp3");
    writeFile(
        song,
        tag24(frame24("TIT2", Bytes{0} + bytes("T\xE9") + Bytes{0}) +
              frame24("TPE1", Bytes{1, 0xFF, 0xFE, 0x1A, 0x04, 0x38, 0x04}) + // UTF-16 "Ки"
              frame24("PRIV", bytes("owner") + Bytes{0, 1, 2}) +
              frame24("TSSE", Bytes{0} + bytes("enc")) +
              frame24("POPM", bytes("me") + Bytes{0, 9}, 0x40) + // to go once the tag changes
              frame24("COMM", Bytes{0} + bytes("eng") + bytes("d") + Bytes{0} + bytes("c")) +
              frame24("APIC", Bytes{0} + bytes("image/png") + Bytes{0, 3, 0} + repeat(7, 123))) +
            audio());
    const std::string temp = dir.file("pics");
    auto r = run(tagBin() + " dump --temp " + shellQuote(temp) + " " + shellQuote(song));
    ASSERT_EQ(r.status, 0);
    auto out = lines(r.out);
    ASSERT_EQ(out.size(), 1u);
    const Json& j = out[0];
    EXPECT_EQ(j.begin().key(), "file");
    EXPECT_EQ(j["file"], song);
    const Json& v2 = j["id3v2"];
    std::vector<std::string> keys;
    for (auto it = v2.begin(); it != v2.end(); ++it)
        keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"present", "version", "tagSize", "texts", "Comments",
                                              "Lyrics", "UserUrls", "TermsOfUse", "Pictures",
                                              "UserTexts", "kept", "dropped"}));
    EXPECT_EQ(v2["present"], true);
    EXPECT_EQ(v2["version"], "2.4");
    ASSERT_EQ(v2["texts"].size(), 44u);
    EXPECT_EQ(v2["texts"].begin().key(), "Album");
    EXPECT_EQ((--v2["texts"].end()).key(), "CommercialUrl");
    EXPECT_EQ(v2["texts"]["Title"], "Té"); // ISO-8859-1 in the tag, its zero ending it
    EXPECT_EQ(v2["texts"]["LeadPerformer"], "Ки");
    // The frames a write would keep, with the size of their data.
    EXPECT_EQ(v2["kept"], (Json{{{"id", "PRIV"}, {"size", 8}}, {{"id", "TSSE"}, {"size", 4}}}));
    // And those it could not keep.
    EXPECT_EQ(v2["dropped"], Json{"POPM"});
    EXPECT_EQ(v2["Comments"][0],
              (Json{{"text", "c"}, {"language", "eng"}, {"description", std::string("d") + '\0'}}));
    const Json& pic = v2["Pictures"][0];
    EXPECT_EQ(pic["pictureFile"], "1image.png");
    EXPECT_EQ(pic["size"], 123);
    EXPECT_EQ(pic["pictureType"], "Cover (front)");
    EXPECT_EQ(readFile(temp + "/1image.png"), repeat(7, 123));
    // The raw line escapes the zero characters.
    EXPECT_NE(r.out.find("\"d\\u0000\""), std::string::npos);
}

TEST(QuilletTagDump, HeaderOnlyErrorsAndExitStatus) {
    TempDir dir;
    const std::string song = dir.file("song.mp3");
    writeFile(song, tag23(Bytes(), 300) + audio());
    const std::string missing = dir.file("missing.mp3");
    auto r = run(tagBin() + " dump --header-only " + shellQuote(song) + " " + shellQuote(missing));
    EXPECT_EQ(r.status, 1);
    auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0]["id3v2"], (Json{{"present", true}, {"version", "2.3"}, {"tagSize", 300}}));
    EXPECT_EQ(out[1], (Json{{"file", missing}, {"error", "File not found"}}));

    EXPECT_EQ(run(tagBin() + " dump").status, 2);
    EXPECT_EQ(run(tagBin() + " frobnicate " + shellQuote(song)).status, 2);
    EXPECT_EQ(run(tagBin() + " dump " + shellQuote(song)).status, 0);
    // Lines that cannot be written fail the run.
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(run(tagBin() + " dump " + shellQuote(song) + " > /dev/full 2>/dev/null").status,
                  1);
    }
}

TEST(QuilletTagKill, BlanksTheTag) {
    TempDir dir;
    const std::string song = dir.file("song.mp3");
    writeFile(song, tag24(frame24("TIT2", Bytes{0} + bytes("x")), 50) + audio());
    auto r = run(tagBin() + " kill " + shellQuote(song));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readFile(song), header(4, 62) + repeat(0, 62) + audio());
}

} // namespace
