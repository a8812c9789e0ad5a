// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// A run's writes in batches give every file exactly the bytes a write of that
// file alone gives (ID3v2 tag, then trailer), however its trailer and audio
// lie, and undo puts every file back.
#include "id3v1/id3.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/undo.h"
#include "support/tagparts.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/batch.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace testing_support;
using tag::Prop;

namespace {

const Bytes Cover = repeat(0xC5, 9000);
const Bytes OldTitle = frame24("TIT2", latin1("Old"));
const Bytes Private = frame24("PRIV", bytes("me") + Bytes{0} + bytes("x"));

// Files whose trailer and audio lie every way the two writes meet.
const std::pair<const char*, Bytes> Files[] = {
    {"trailer.mp3", tag24(OldTitle, 3000) + audio(5000) + trailer("Old", 0)},
    {"no-trailer.mp3", tag24(Private, 3000) + audio(5000)},
    {"short-audio.mp3", tag24(OldTitle, 3000) + audio(60)},
    {"no-tag.mp3", audio(6000) + trailer("Plain", 0)},
    {"grows.mp3", tag24(OldTitle, 10) + audio(5000)},
};

// The model every file receives: a title, a picture from a file.
void model(ID3v24& tag, Id3v1& v1, const std::string& picture) {
    tag.setText(Prop::Title, "New title");
    tag.SetPicture(withZero(""), "Cover (front)", withZero("image/jpeg"), picture, 1);
    v1.Title = "New title";
}

// What a write of that model into the file alone leaves.
Bytes alone(const TempDir& dir, const std::string& name, const Bytes& content) {
    const std::string path = dir.file("alone-" + name);
    writeFile(path, content);
    ID3v24 tag;
    Id3v1 v1;
    model(tag, v1, dir.file("cover.jpg"));
    tag.FileName = v1.FileName = path;
    tag.ReadTag(std::string(), true);
    tag.WriteTag();
    v1.WriteTag();
    return readFile(path);
}

TEST(Batch, EveryFileAsWrittenAloneAndUndoPutsThemBack) {
    TempDir dir;
    writeFile(dir.file("cover.jpg"), Cover);
    std::filesystem::create_directory(dir.file("songs"));
    journal::Journal journal(dir.file("journal"));
    ID3v24 tag;
    Id3v1 v1;
    model(tag, v1, dir.file("cover.jpg"));
    {
        journal::Recording recording(journal, journal::Kind::Write);
        std::vector<size_t> written;
        tagfile::Batch batch(&recording, [&](size_t i, std::exception_ptr error) {
            EXPECT_FALSE(error) << i;
            written.push_back(i);
        });
        size_t i = 0;
        for (const auto& [name, content] : Files) {
            writeFile(dir.file("songs/") + name, content);
            batch.planWrite(tag, dir.file("songs/") + name, &v1, {}, i++);
        }
        // The first file again: the batch writes what it holds first.
        batch.planWrite(tag, dir.file("songs/") + Files[0].first, &v1, {}, i++);
        batch.flush();
        EXPECT_EQ(written, (std::vector<size_t>{0, 1, 2, 3, 4, 5}));
        recording.finish();
    }
    for (const auto& [name, content] : Files)
        EXPECT_TRUE(readFile(dir.file("songs/") + name) == alone(dir, name, content)) << name;
    journal::Undo undo(journal);
    while (!undo.atEnd())
        EXPECT_EQ(undo.next().outcome, journal::Outcome::Restored);
    undo.finish();
    for (const auto& [name, content] : Files)
        EXPECT_TRUE(readFile(dir.file("songs/") + name) == content) << name;
}

// An edit of each file's own tag keeps its picture from the bytes it read,
// extracting none, and writes what an edit through extracted files writes.
TEST(Batch, AnEditKeepsThePicturesFromTheBytesRead) {
    TempDir dir;
    for (const char* name : {"a.mp3", "b.mp3"})
        writeFile(dir.file(name),
                  tag24(OldTitle + apic24("image/png", Cover) + Private, 500) + audio(3000));
    {
        ID3v24 tag;
        tagfile::Batch batch(nullptr,
                             [](size_t, std::exception_ptr error) { EXPECT_FALSE(error); });
        batch.planWrite(tag, dir.file("a.mp3"), nullptr, {}, 0, [](ID3v24& t, Id3v1&) {
            ASSERT_EQ(t.Pictures().count(), 1);
            EXPECT_EQ(t.Pictures()[1].pictureFile, "");
            EXPECT_EQ(t.Pictures()[1].held.size, Cover.size());
            t.setText(Prop::Title, "New");
        });
        batch.flush();
    }
    ID3v24 old;
    old.FileName = dir.file("b.mp3");
    old.ReadTag(dir.file("Temp/"), false);
    old.setText(Prop::Title, "New");
    old.WriteTag();
    EXPECT_TRUE(readFile(dir.file("a.mp3")) == readFile(dir.file("b.mp3")));
    EXPECT_EQ(listFolder(dir.path()).size(), 3u); // a.mp3, b.mp3 and b's Temp/
}

} // namespace
