// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Which files a tag is written into: every file of the corpus is an MP3 file
// by its content, anything else is refused untouched (unless forced), and an
// empty .mp3 takes a tag.
#include "io/ioerror.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/mp3check.h"
#include "tagfile/tagfile.h"
#include "tagfile/valuecheck.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace testing_support;
using tagfile::Content;

namespace {

Content classify(const Bytes& b) {
    return tagfile::classify(b, b.size());
}

// A layer III frame of 128 kbit/s at 44.1 kHz (417 bytes), its data a pattern.
Bytes frame() {
    Bytes f = Bytes{0xFF, 0xFB, 0x90, 0x64} + repeat(0x55, 413);
    EXPECT_EQ(tagfile::mpegFrameLength(f.data()), f.size());
    return f;
}

TEST(Mp3Check, EveryCorpusFileIsAnMp3File) {
    int files = 0;
    for (const auto& source : {"taglib", "mutagen"}) {
        for (const auto& entry : std::filesystem::directory_iterator(corpusDir() + "/" + source)) {
            const Bytes b = readFile(entry.path().string());
            ++files;
            // The tag-only .id3 files, junk before the audio (garbage.mp3:
            // its tag at 2047, its audio after it), VBRI and Xing frames.
            EXPECT_EQ(classify(b), b.empty() ? Content::Empty : Content::Mp3) << entry.path();
        }
    }
    EXPECT_EQ(files, 37);
}

TEST(Mp3Check, OtherFilesAreNot) {
    Bytes noise;
    for (uint32_t i = 0, x = 1; i < 12000; ++i, x = x * 1103515245 + 12345)
        noise.push_back(uint8_t(x >> 16));
    const Bytes png = Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + noise;
    const Bytes junk = repeat('j', 1000);
    const struct {
        const char* what;
        Bytes bytes;
        Content content;
    } cases[] = {
        {"PNG", png, Content::Other},
        {"JPEG", Bytes{0xFF, 0xD8, 0xFF, 0xE0} + noise, Content::Other},
        {"text", bytes("Album notes\nTrack 1\n"), Content::Other},
        {"a frame header alone, amid junk", junk + frame() + junk, Content::Other},
        {"two frames after junk", junk + frame() + frame(), Content::Mp3},
        {"the last frame of the file after junk", junk + frame(), Content::Mp3},
        {"two frames past the search", repeat('j', 5000) + frame() + frame(), Content::Other},
        {"a frame header at the start", Bytes{0xFF, 0xFB, 0x90, 0x64, 1, 2}, Content::Mp3},
        {"reserved layer", Bytes{0xFF, 0xF9, 0x90, 0x64} + noise, Content::Other},
        {"six bytes", bytes("abcdef"), Content::TooShort},
        {"empty", Bytes(), Content::Empty},
    };
    for (const auto& c : cases)
        EXPECT_EQ(classify(c.bytes), c.content) << c.what;
}

TEST(Mp3Check, WritesGoOnlyIntoMp3Files) {
    TempDir dir;
    const Bytes picture = Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} + repeat(7, 500);
    ID3v24 tag;
    tag.setText(tag::Prop::Title, "New");
    const struct {
        const char* name;
        Bytes bytes;
        const char* error; // nullptr: written
        bool force = false;
    } cases[] = {
        {"cover.mp3", picture, "Not an MP3 file"},
        {"cover.png", picture, nullptr, true},
        {"notes.txt", Bytes(), "Not an MP3 file"},
        {"new.MP3", Bytes(), nullptr},
        {"six.mp3", bytes("abcdef"), "File too short to hold MP3 audio"},
        {"six-forced.mp3", bytes("abcdef"), nullptr, true},
        {"plain.mp3", audio(), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        writeFile(path, c.bytes);
        for (bool kill : {false, true}) {
            std::string error;
            try {
                if (kill)
                    tagfile::removeTag(tag, path, nullptr, c.force);
                else
                    tagfile::writeTag(tag, path, nullptr, tagfile::Header::Read, nullptr, c.force);
            } catch (const io::IoError& e) {
                error = e.what();
            }
            EXPECT_EQ(error, c.error ? c.error : "");
        }
        const Bytes after = readFile(path);
        if (c.error) {
            EXPECT_EQ(after, c.bytes);
            continue;
        }
        // Written, then blanked: the tag stands in front of every byte of the file.
        ASSERT_GT(after.size(), c.bytes.size());
        EXPECT_EQ(Bytes(after.end() - long(c.bytes.size()), after.end()), c.bytes);
        ID3v24 back;
        back.FileName = path;
        back.ReadTag(dir.file("pics"), false);
        EXPECT_TRUE(back.Id3v2present);
    }
}

TEST(ValueCheck, TimeStampsAreRealDatesAndTimes) {
    for (const char* good : {"2024", "2024-02", "2024-02-29", "2000-02-29T23", "1999-12-31T23:59",
                             "1999-12-31T23:59:59"})
        EXPECT_TRUE(tagfile::validTimeStamp(good)) << good;
    for (const char* bad : {"", "24", "notadate", "2023-02-29", "1900-02-29", "2024-13", "2024-00",
                            "2024-04-31", "2024-1-01", "2024-01-01 12", "2024-01-01T24",
                            "2024-01-01T12:60", "2024-01-01T12:00:00Z", "2024-"})
        EXPECT_FALSE(tagfile::validTimeStamp(bad)) << bad;
    using tag::Prop;
    EXPECT_EQ(tagfile::valueProblem(Prop::OrigTime, ""), "");
    EXPECT_NE(tagfile::valueProblem(Prop::TagTime, "2024-02-30"), "");
    EXPECT_EQ(tagfile::valueProblem(Prop::TrackNum, "03/12"), "");
    for (const char* bad : {"abc", "3/", "/12", "3 of 12", "1/2/3"})
        EXPECT_NE(tagfile::valueProblem(Prop::PartOfSet, bad), "") << bad;
    EXPECT_EQ(tagfile::valueProblem(Prop::Language, "deu"), "");
    EXPECT_NE(tagfile::valueProblem(Prop::Language, "xx"), "");
}

} // namespace
