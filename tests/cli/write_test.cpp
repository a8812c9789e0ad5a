// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag write and set, run as processes: what scripts write into files
// reads back through dump, and bad input is refused before any file changes.
#include "support/testfiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

using namespace testing_support;
using Json = nlohmann::ordered_json;

namespace {

std::string tagBin() {
    return QUILLET_TAG_BIN;
}

class QuilletTagWrite : public ::testing::Test {
protected:
    TempDir dir;

    Json dump(const std::string& file, const std::string& temp) {
        auto r = run(tagBin() + " dump --temp " + shellQuote(temp) + " " + shellQuote(file));
        EXPECT_EQ(r.status, 0) << r.out;
        return Json::parse(r.out)["id3v2"];
    }
    std::string files(std::initializer_list<std::string> names) {
        std::string s;
        for (const auto& n : names)
            s += " " + shellQuote(n);
        return s;
    }
};

TEST_F(QuilletTagWrite, WritesTheSameTagIntoEveryFile) {
    const std::string tagged = dir.file("tagged.mp3");
    const std::string plain = dir.file("plain.mp3");
    const std::string missing = dir.file("missing.mp3");
    writeFile(tagged, tag24(frame24("TALB", latin1("old album")), 4000) + audio());
    writeFile(plain, audio());
    writeFile(dir.file("cover.jpg"), repeat(0xD8, 3000));

    Json input = {
        {"texts", {{"Title", "Intro \u00e9"}, {"TrackNum", "1/9"}}},
        {"Comments", {{{"text", "nice"}, {"language", "eng"}, {"description", "d"}}}},
        {"Pictures",
         {{{"mimeType", std::string("image/jpeg") + '\0'},
           {"pictureType", "Cover (front)"},
           {"description", ""},
           {"pictureFile", dir.file("cover.jpg")},
           {"size", 1}}}},
        {"UserTexts", {{{"description", "k"}, {"value", "v"}}}},
    };
    auto r = run(tagBin() + " write" + files({tagged, missing, plain}), input.dump());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Json::parse(r.out), (Json{{"file", missing}, {"error", "File not found"}}));

    for (const std::string& file : {tagged, plain}) {
        const Json v2 = dump(file, dir.file("pics"));
        EXPECT_EQ(v2["version"], "2.4");
        EXPECT_EQ(v2["texts"]["Title"], "Intro \u00e9");
        EXPECT_EQ(v2["texts"]["TrackNum"], "1/9");
        EXPECT_EQ(v2["texts"]["Album"], ""); // the tag written is the input's, whole
        EXPECT_EQ(v2["Comments"][0]["description"], std::string("d") + '\0');
        EXPECT_EQ(v2["Pictures"][0]["size"], 3000);
        EXPECT_EQ(v2["Pictures"][0]["pictureType"], "Cover (front)");
        EXPECT_EQ(v2["UserTexts"][0]["value"], "v");
    }
    EXPECT_EQ(dump(tagged, dir.file("pics"))["tagSize"], 4020); // in place
}

TEST_F(QuilletTagWrite, DumpLineWithItsPictureFolderCopiesATag) {
    const std::string from = dir.file("from.mp3");
    const std::string to = dir.file("to.mp3");
    writeFile(from, tag24(frame24("TIT2", latin1("copied")) +
                          frame24("APIC", Bytes{0} + bytes("image/png") + Bytes{0, 4, 0} +
                                              repeat(9, 700))) +
                        audio());
    writeFile(to, audio());
    const std::string pics = dir.file("pics");
    auto d = run(tagBin() + " dump --temp " + shellQuote(pics) + " " + shellQuote(from));
    ASSERT_EQ(d.status, 0);
    auto r = run(tagBin() + " write --temp " + shellQuote(pics) + " " + shellQuote(to), d.out);
    EXPECT_EQ(r.status, 0) << r.out;
    const Json a = dump(from, dir.file("a"));
    const Json b = dump(to, dir.file("b"));
    EXPECT_EQ(a["texts"], b["texts"]);
    EXPECT_EQ(a["Pictures"], b["Pictures"]);
}

TEST_F(QuilletTagWrite, BadInputChangesNoFile) {
    const std::string song = dir.file("song.mp3");
    const Bytes before = tag24(frame24("TIT2", latin1("keep")), 100) + audio();
    writeFile(song, before);
    for (const std::string& input :
         {std::string("not json"), std::string("[1, 2]"),
          std::string(R"({"texts": {"Titel": "x"}})"), std::string(R"({"texts": {"Title": 5}})"),
          // The format holds URLs, MIME types and languages in ISO-8859-1 only.
          std::string(R"({"texts": {"ArtistUrl": "http://\u0101"}})"),
          std::string(R"({"UserUrls": [{"url": "http://\u0101"}]})"),
          std::string(R"({"Comments": [{"language": "\u0113ng"}]})"),
          std::string(R"({"Pictures": [{"mimeType": "image/p\u0144g", "pictureFile": ")") + song +
              "\"}]}",
          std::string(R"({"Comments": {"text": "x"}})"),
          std::string(
              R"({"Pictures": [{"mimeType": "image/png", "pictureFile": "/no/such.png"}]})")}) {
        auto r = run(tagBin() + " write " + shellQuote(song) + " 2>/dev/null", input);
        EXPECT_EQ(r.status, 2) << input;
        EXPECT_EQ(r.out, "") << input;
    }
    Json tooMany = {{"Lyrics", Json::array()}};
    for (int i = 0; i < 101; ++i)
        tooMany["Lyrics"].push_back({{"text", "l"}});
    EXPECT_EQ(run(tagBin() + " write " + shellQuote(song) + " 2>/dev/null", tooMany.dump()).status,
              2);
    for (const char* assignment : {"'WCOP=http://\xC4\x81'", "'Title=\xE9'"}) // not UTF-8
        EXPECT_EQ(
            run(tagBin() + " set " + shellQuote(song) + " " + assignment + " 2>/dev/null").status,
            2)
            << assignment;
    EXPECT_EQ(readFile(song), before);
}

TEST_F(QuilletTagWrite, SetChangesOnlyTheGivenTexts) {
    const std::string a = dir.file("a.mp3");
    const std::string b = dir.file("b=side.mp3"); // a file name with "=" after "--"
    const Bytes tag = tag24(
        frame24("TIT2", latin1("old")) + frame24("TPE1", latin1("artist")) +
            frame24("COMM", latin1("eng") + Bytes{'d', 0} + bytes("kept")) +
            frame24("UFID", bytes("http://id") + Bytes{0} + bytes("42")) +
            frame24("APIC", Bytes{0} + bytes("image/jpeg") + Bytes{0, 3, 0} + repeat(7, 5000)),
        10);
    writeFile(a, tag + audio());
    writeFile(b, tag + audio());
    const std::string scratch = dir.file("scratch");
    ASSERT_EQ(::mkdir(scratch.c_str(), 0755), 0);
    auto r = run("TMPDIR=" + shellQuote(scratch) + " " + tagBin() + " set " + shellQuote(a) +
                 " Title=Intro 'Album=Caf\xC3\xA9' -- " + shellQuote(b));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(listFolder(scratch), std::vector<std::string>{}); // pictures removed at exit
    for (const std::string& file : {a, b}) {
        const Json v2 = dump(file, dir.file("pics"));
        EXPECT_EQ(v2["texts"]["Title"], "Intro");
        EXPECT_EQ(v2["texts"]["Album"], "Caf\u00e9");
        EXPECT_EQ(v2["texts"]["LeadPerformer"], "artist");
        EXPECT_EQ(v2["Comments"][0]["text"], "kept");
        EXPECT_EQ(v2["kept"], (Json{{{"id", "UFID"}, {"size", 12}}}));
        EXPECT_EQ(v2["Pictures"][0]["size"], 5000);
        EXPECT_EQ(readFile(dir.file("pics/1image.jpg")), repeat(7, 5000));
    }

    EXPECT_EQ(run(tagBin() + " set " + shellQuote(a) + " Titel=x 2>/dev/null").status, 2);
    EXPECT_EQ(run(tagBin() + " set " + shellQuote(a) + " 2>/dev/null").status, 2);
    EXPECT_EQ(run(tagBin() + " set Title=x 2>/dev/null").status, 2);
    r = run(tagBin() + " set " + shellQuote(dir.file("none.mp3")) + " " + shellQuote(a) +
            " Title=Again");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Json::parse(r.out)["error"], "File not found");
    EXPECT_EQ(dump(a, dir.file("pics"))["texts"]["Title"], "Again");
}

// A file whose tag holds what the write cannot keep is left as it is and its
// line names the frames, unless --allow-loss; a tag Quillet cannot read is
// never written over. The other files are written all the same.
TEST_F(QuilletTagWrite, WhatCannotBeKeptIsNamedFirst) {
    const std::string lossy = dir.file("lossy.mp3");
    const std::string fine = dir.file("fine.mp3");
    const std::string unknown = dir.file("unknown.mp3");
    const Bytes before =
        tag23(frame23("TIT2", latin1("old")) + frame23("RVAD", Bytes(10, 1))) + audio();
    const Bytes future = header(5, 20) + Bytes(20, 'x') + audio();
    writeFile(lossy, before);
    writeFile(fine, tag24(frame24("TIT2", latin1("old"))) + audio());
    writeFile(unknown, future);
    auto r = run(tagBin() + " set" + files({lossy, fine, unknown}) + " Title=New");
    EXPECT_EQ(r.status, 1);
    std::vector<Json> out;
    for (size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1)
        out.push_back(Json::parse(r.out.substr(at, end - at)));
    ASSERT_EQ(out.size(), 2u) << r.out;
    EXPECT_EQ(out[0]["file"], lossy);
    EXPECT_EQ(out[0]["dropped"], Json{"RVAD"});
    EXPECT_EQ(out[1]["file"], unknown);
    EXPECT_NE(out[1]["error"].get<std::string>().find("cannot read"), std::string::npos);
    EXPECT_EQ(readFile(lossy), before);
    EXPECT_EQ(readFile(unknown), future);
    EXPECT_EQ(dump(fine, dir.file("pics"))["texts"]["Title"], "New");

    EXPECT_EQ(run(tagBin() + " write --allow-loss" + files({lossy}), "{}").status, 0);
    const Json v2 = dump(lossy, dir.file("pics"));
    EXPECT_EQ(v2["version"], "2.4");
    EXPECT_EQ(v2["dropped"], Json::array());
    EXPECT_EQ(run(tagBin() + " kill --allow-loss" + files({lossy}) + " 2>/dev/null").status, 2);
}

} // namespace
