// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag never harms a file it was not meant for: each wrong command
// line, wrong input and wrong file is told in clear words, with the exit
// status scripts test, and leaves every file byte for byte as it was.
#include "support/tagparts.h"
#include "support/testfiles.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TEST(QuilletTagRefuses, WhatItWasNotMeantForAndSaysWhy) {
    TempDir dir;
    const auto file = [&](const char* name, const Bytes& content) {
        writeFile(dir.file(name), content);
        return std::make_pair(std::string(name), content);
    };
    const Bytes png = Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + repeat(3, 300);
    // A tag whose picture is read before its trailer read fails: too short a file.
    const Bytes pictureOnly = tag24(apic24("image/gif", bytes("GIF89a")), 0);
    const std::vector<std::pair<std::string, Bytes>> files = {
        file("t.mp3", tag24(frame24("TIT2", latin1("Own")) +
                            frame24("COMM", latin1("eng") + Bytes{'d', 0} + bytes("c"))) +
                          audio()),
        file("p.png", png),
        file("p.mp3", png),
        file("notes.txt", bytes("Track 1: Intro\nTrack 2: Outro\n")),
        file("tiny.mp3", bytes("abcdef")),
        file("cut.mp3", pictureOnly),
    };
    std::filesystem::create_directory(dir.file("d"));
    std::filesystem::create_directory(dir.file("pics"));
    const char* errorLine = R"({"file": "nosuch.mp3", "error": "File not found"})";
    const std::string twoLines =
        std::string(R"({"texts": {"Title": "a"}})") + "\n" + R"({"texts": {"Title": "b"}})" + "\n";
    const struct {
        std::string arguments;
        std::string input;
        int status;
        std::string says;
    } cases[] = {
        // What write takes from standard input: a tag, nothing else.
        {"write t.mp3", errorLine, 2, "the error line of a file that failed"},
        {"write t.mp3", R"({"file": "t.mp3"})", 2, "\"file\" is no member of a tag"},
        {"write t.mp3", R"({"id3v2": {"error": "x"}})", 2, "\"error\" is no member of a tag"},
        {"write t.mp3", twoLines, 2, "more than one JSON value"},
        {"write t.mp3", R"({"Comments": [{"txt": "x"}]})", 2, "\"txt\" is no member"},
        // Files that are no MP3 files, whatever their names.
        {"set p.png Title=x", "", 1, R"({"file":"p.png","error":"Not an MP3 file"})"},
        {"set notes.txt Album=X", "", 1, "Not an MP3 file"},
        {"kill p.mp3", "", 1, "Not an MP3 file"},
        {"write p.mp3", "{}", 1, "Not an MP3 file"},
        {"set d Title=x", "", 1, R"({"file":"d","error":"Is a folder"})"},
        {"set tiny.mp3 Title=x", "", 1, "File too short to hold MP3 audio"},
        {"dump tiny.mp3", "", 1, "File too short to hold MP3 audio"},
        // A failed read leaves no picture behind.
        {"dump --temp pics cut.mp3", "", 1, "Read beyond end of file"},
        // The command line.
        {"frob t.mp3", "", 2, "quillet-tag: unknown command 'frob'\nTry 'quillet-tag --help'"},
        {"dump --bogus t.mp3", "", 2, "unknown option '--bogus'"},
        {"dump --journal t.mp3", "", 2, "dump does not take --journal"},
        {"kill --temp", "", 2, "--temp needs a folder"},
        {"dump", "", 2, "dump needs at least one FILE"},
        {"undo t.mp3", "", 2, "undo takes no FILE"},
        {"set Title=x", "", 2, "set: no FILE before the edit Title=x"},
        {"set t.mp3 Title=x p.png", "", 2, "the file p.png comes after the edit Title=x"},
        {"set t.mp3 t.mp3", "", 2, "set needs at least one EDIT"},
        {"set t.mp3 =x", "", 2, "'=x': no property or list name"},
        {"set t.mp3 Titel=x", "", 2, "unknown property or list Titel"},
        {"set t.mp3 Title+=x", "", 2, "Title is a text"},
        // Values as the window takes them.
        {"set t.mp3 RecordTime=notadate", "", 2, "\"notadate\" is not a time stamp"},
        {"set t.mp3 RelaseTime=2023-02-29", "", 2, "is not a time stamp"},
        {"set t.mp3 TrackNum=abc", "", 2, "\"abc\" is not a number n or n/m"},
        {"set t.mp3 Language=xx", "", 2, "not a code of the language table"},
        {"set t.mp3 Comments+=xx:d:t", "", 2, "\"xx\" is not a code of the language table"},
        {"set t.mp3 Comments+=eng:t", "", 2, "Comments takes +=LANGUAGE:DESCRIPTION:TEXT"},
        {"set t.mp3 'UserUrls+=d:http://\xC4\x81'", "", 2, "beyond ISO-8859-1"},
        {"set t.mp3 Pictures+=notes.txt", "", 2, "is not a JPEG, PNG, GIF, BMP or WebP picture"},
        {"set t.mp3 Pictures+=none.jpg", "", 2, "picture file \"none.jpg\": File not found"},
        {"set t.mp3 Pictures+=p.png:99", "", 2, "\"99\" is no picture type"},
        {"set t.mp3 Pictures-=0", "", 2, "-= takes the number of an entry"},
        {"set t.mp3 'Comments+=eng:d:a\\b'", "", 2, "a backslash stands only before"},
        {"set t.mp3 Comments-=2", "", 1, "'Comments-=2': Comments has no entry 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto r = run("cd " + shellQuote(dir.path()) + " && " + QUILLET_TAG_BIN + " " +
                               c.arguments + " 2>&1",
                           c.input);
        EXPECT_EQ(r.status, c.status) << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
        for (const auto& [name, content] : files)
            EXPECT_EQ(readFile(dir.file(name)), content) << name;
        EXPECT_EQ(listFolder(dir.file("pics")), std::vector<std::string>{});
    }
}

} // namespace
