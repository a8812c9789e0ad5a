// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The tag component: header recognition, the two read modes, the list
// operations, RemoveTag and the I/O errors the user sees.
#include "readfixture.h"
#include "tagengine/syncsafe.h"

using namespace testing_support;
using tag::Prop;

namespace {

Bytes richTag() {
    return tag24(frame24("TIT2", latin1("old")) +
                 frame24("COMM", latin1("eng") + Bytes{0} + bytes("c")) +
                 frame24("TXXX", latin1(withZero("k")) + bytes("v")));
}

class TagComponent : public ReadFixture {};

TEST(Syncsafe, DecodeAndEncode) {
    const uint8_t s128[] = {0, 0, 1, 0};
    EXPECT_EQ(syncsafe::decode(s128), 128u);
    const uint8_t s1000[] = {0, 0, 7, 0x68};
    EXPECT_EQ(syncsafe::decode(s1000), 1000u);
    // Bytes with the top bit set add their full value.
    const uint8_t plain[] = {0, 0, 0x8C, 0xEA};
    EXPECT_EQ(syncsafe::decode(plain), 0x8Cu * 128 + 0xEA);
    EXPECT_EQ(syncsafe::encode(1000), (std::array<uint8_t, 4>{0, 0, 7, 0x68}));
    EXPECT_EQ(syncsafe::encode(syncsafe::Limit - 1), (std::array<uint8_t, 4>{127, 127, 127, 127}));
    for (uint32_t v : {0u, 1u, 127u, 128u, 16383u, 16384u, 2097151u, 2097152u, 123456789u}) {
        auto b = syncsafe::encode(v);
        EXPECT_EQ(syncsafe::decode(b.data()), v);
    }
}

// Whatever the next file holds, nothing of the tag read before stays: not
// its texts, its lists or its kept frames. A tag of a version or with flags
// the readers do not know is recognised but not read, and Version stays.
TEST_F(TagComponent, EveryFullReadStartsAfresh) {
    const struct {
        const char* name;
        Bytes file;
        bool present;
        uint32_t tagSize;
        std::string version, title, comment;
    } cases[] = {
        {"ID3v2.3", tag23(frame23("COMM", latin1("fra") + Bytes{0} + bytes("own"))) + audio(), true,
         64 + 18, "2.3", "", "own"},
        {"ID3v2.2", tag22(frame22("TT2", latin1("v22"))) + audio(), true, 64 + 10, "2.2", "v22",
         ""},
        {"no tag", audio(), false, 0, "2.4", "", ""},
        {"version 2.5", header(5, 100) + repeat(0, 100), true, 0, "2.4", "", ""},
        {"ID3v2.2 compressed", header(2, 100, 0x40) + repeat(0, 100), true, 0, "2.4", "", ""},
        {"unknown ID3v2.3 flag", header(3, 100, 0x01) + repeat(0, 100), true, 0, "2.4", "", ""},
        {"unknown ID3v2.4 flag", header(4, 100, 0x08) + repeat(0, 100), true, 0, "2.4", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        read(tag24(frame24("COMM", latin1("eng") + Bytes{0} + bytes("c")) +
                   frame24("APIC", latin1(withZero("image/png")) + Bytes{0, 0, 1}) +
                   frame24("TXXX", latin1(withZero("k")) + bytes("v")) +
                   frame24("PRIV", bytes("kept")) + frame24("TIT2", latin1("old"))));
        ASSERT_EQ(tag.Version, "2.4");
        ASSERT_EQ(tag.KeptFrames().size(), 1u);
        read(c.file, false);
        EXPECT_EQ(tag.Id3v2present, c.present);
        EXPECT_EQ(tag.TagSize(), c.tagSize);
        EXPECT_EQ(tag.Version, c.version);
        EXPECT_EQ(title(), c.title);
        EXPECT_EQ(tag.Comments().count(), c.comment.empty() ? 0 : 1);
        if (!c.comment.empty()) {
            EXPECT_EQ(tag.Comments()[1].text, c.comment);
        }
        EXPECT_EQ(tag.UserTexts().count(), 0);
        EXPECT_EQ(tag.Pictures().count(), 0);
        EXPECT_TRUE(tag.KeptFrames().empty());
    }
}

TEST_F(TagComponent, HeaderOnlyReadKeepsTheModel) {
    read(richTag());
    const std::string plain = put(Bytes(), true, "plain.mp3");
    load(plain, true);
    EXPECT_FALSE(tag.Id3v2present);
    EXPECT_EQ(tag.TagSize(), 0u);
    EXPECT_EQ(title(), "old");
    EXPECT_EQ(tag.Comments().count(), 1);
    EXPECT_EQ(tag.UserTexts().count(), 1);
    const std::string v3 = put(tag23(Bytes(), 500), true, "v3.mp3");
    load(v3, true);
    EXPECT_TRUE(tag.Id3v2present);
    EXPECT_EQ(tag.TagSize(), 500u);
    EXPECT_EQ(tag.Version, "2.3");
    EXPECT_EQ(title(), "old");
}

TEST_F(TagComponent, IoErrorsCarryTheUsersWords) {
    EXPECT_EQ(readError(dir.file("missing.mp3")), "File not found");
    EXPECT_EQ(readError(put(bytes("ID3\x04"), false, "short.mp3")), "Read beyond end of file");
    const std::string locked = put(richTag(), true, "locked.mp3");
    {
        ReadOnlyGuard guard(locked, 0);
        EXPECT_EQ(readError(locked), "File access denied");
        EXPECT_EQ(readError(locked, true), "File access denied");
    }
    EXPECT_EQ(io::IoError::messageFor(ENOSPC), "Disk full");
    EXPECT_EQ(io::IoError::messageFor(EDQUOT), "Disk full");
    EXPECT_EQ(io::IoError::messageFor(EROFS), "File access denied");
    EXPECT_EQ(io::IoError::messageFor(EIO), "I/O error 5");
    EXPECT_EQ(readError(dir.path()), "Is a folder");
}

TEST_F(TagComponent, ReadOnlyFileShowsItsTagAndFailsOnlyWhenWritten) {
    const std::string path = put(richTag(), true, "shared.mp3");
    const Bytes before = readFile(path);
    ReadOnlyGuard guard(path);
    EXPECT_EQ(readError(path), "");
    EXPECT_EQ(title(), "old");
    // In place and moving: neither may get round the file's read-only bit.
    for (size_t length : {5u, 5000u}) {
        tag.setText(Prop::Title, std::string(length, 'n'));
        EXPECT_THROW(tag.WriteTag(), io::IoError);
        EXPECT_EQ(readFile(path), before);
    }
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"shared.mp3"});
}

TEST_F(TagComponent, FailedReaderTakesNothingOver) {
    read(richTag());
    Bytes broken = tag24(frame24("TIT2", latin1("new")) + frame24("TALB", latin1("cut here")));
    broken.resize(40);
    EXPECT_EQ(readError(put(broken, false, "broken.mp3")), "Read beyond end of file");
    EXPECT_EQ(title(), "");               // emptied before the walk
    EXPECT_EQ(tag.Comments().count(), 1); // nothing of the partial tag taken over
}

TEST_F(TagComponent, ReadAlongsideSharesTheOpenFileAndCanFailTheRead) {
    // The trailer comes through the read's own file, tagged or not.
    for (const Bytes& tagBytes : {richTag(), Bytes()}) {
        const std::string path = put(tagBytes + bytes("TAG") + repeat('x', 125), false);
        tag.FileName = path;
        std::string seen;
        tag.ReadTag(temp(), false, [&](const io::File& f) {
            EXPECT_TRUE(f.isOpen());
            char marker[3];
            f.readExactAt(marker, 3, f.size() - 128);
            seen.assign(marker, 3);
        });
        EXPECT_EQ(seen, "TAG");
    }

    read(richTag());
    tag.FileName = put(tag24(frame24("TIT2", latin1("new"))));
    EXPECT_THROW(tag.ReadTag(temp(), false,
                             [](const io::File&) { throw io::IoError(io::IoError::ShortRead); }),
                 io::IoError);
    EXPECT_EQ(tag.Comments().count(), 1); // the failed read took nothing over
}

TEST(EntryLists, SetAndDelete) {
    auto owner = std::make_unique<ID3v24>();
    ID3v24& t = *owner;
    t.SetComment("a", "eng", "1", 1);
    t.SetComment("b", "eng", "2", 2);
    t.SetComment("e", "deu", "5", 5);
    EXPECT_EQ(t.Comments().count(), 5);
    EXPECT_EQ(t.Comments()[5], (tag::LangEntry{"5", "deu", "e"}));
    EXPECT_EQ(t.Comments()[3], tag::LangEntry{});

    t.DeleteComment(0);
    t.DeleteComment(6);
    EXPECT_EQ(t.Comments().count(), 5);
    t.DeleteComment(1);
    EXPECT_EQ(t.Comments().count(), 4);
    EXPECT_EQ(t.Comments()[1].text, "2");
    EXPECT_EQ(t.Comments()[4].text, "5");
    EXPECT_EQ(t.Comments()[5].text, "5"); // the old last entry stays beyond the count

    t.SetUserText("d", "v", 101);
    t.SetUserText("d", "v", 0);
    EXPECT_EQ(t.UserTexts().count(), 0);
    t.DeleteUserText(1);
    EXPECT_EQ(t.UserTexts().count(), 0);

    t.SetPicture("d1", "Other", "image/png", "/p1", 1);
    t.SetPicture("d2", "Other", "image/png", "/p2", 2);
    t.SetPicture("d3", "Cover (back)", "image/jpg", "/p3", 3);
    t.DeletePicture(2);
    EXPECT_EQ(t.Pictures().count(), 2);
    EXPECT_EQ(t.Pictures()[2], (tag::PictureEntry{"image/jpg", "Cover (back)", "d3", "/p3"}));

    t.SetLyric("l", "fra", "la", 1);
    t.SetUserUrl("u", "http://u", 1);
    t.SetTermsOfUse("eng", "terms", 1);
    EXPECT_EQ(t.Lyrics()[1], (tag::LangEntry{"la", "fra", "l"}));
    EXPECT_EQ(t.UserUrls()[1], (tag::UserUrlEntry{"u", "http://u"}));
    EXPECT_EQ(t.TermsOfUse()[1], (tag::TermsEntry{"terms", "eng"}));
    t.DeleteLyric(1);
    t.DeleteUserUrl(1);
    t.DeleteTermsOfUse(1);
    EXPECT_EQ(t.Lyrics().count() + t.UserUrls().count() + t.TermsOfUse().count(), 0);
}

TEST_F(TagComponent, ClearTagEmptiesTextsOnly) {
    read(richTag());
    tag.ClearTag();
    EXPECT_EQ(title(), "");
    EXPECT_EQ(tag.Comments().count(), 1);
    EXPECT_TRUE(tag.Id3v2present);
    EXPECT_EQ(tag.Version, "2.4");
}

TEST_F(TagComponent, RemoveTagLeavesAnEmptyTagOfTheSameSize) {
    Bytes frames = frame24("TIT2", latin1("gone"));
    Bytes file = header(4, 1000) + frames + repeat(0, 1000 - frames.size()) + audio();
    const std::string path = put(file, false);
    load(path, true);
    tag.RemoveTag();
    Bytes expected = Bytes{'I', 'D', '3', 4, 0, 0, 0, 0, 7, 0x68} + repeat(0, 1000) + audio();
    EXPECT_EQ(readFile(path), expected);
    load(path);
    EXPECT_EQ(title(), "");
}

TEST_F(TagComponent, RemoveTagLeavesUntaggedAndDamagedFilesAlone) {
    const std::string plain = put(Bytes(), true, "plain.mp3");
    load(plain, true);
    tag.RemoveTag();
    EXPECT_EQ(readFile(plain), audio());

    // A header declaring more than the file holds must not grow the file.
    Bytes damaged = header(4, 100000) + frame24("TIT2", latin1("x")) + audio(100);
    const std::string path = put(damaged, false, "damaged.mp3");
    load(path, true);
    try {
        tag.RemoveTag();
        FAIL() << "RemoveTag wrote past the end of the file";
    } catch (const io::IoError& e) {
        EXPECT_STREQ(e.what(), "Read beyond end of file");
    }
    EXPECT_EQ(readFile(path), damaged);
}

// Kill Tag blanks the whole region of a tag with header flags (a footer
// included); a tag Quillet cannot read is left as it is, as a write leaves it.
TEST_F(TagComponent, RemoveTagOfTagsWithFlags) {
    const Bytes frames = frame24("TIT2", latin1("gone"));
    const Bytes footer = bytes("3DI") + Bytes{4, 0, 0x10} + testing_support::syncsafe(20);
    for (const auto& [flags, tail] : {std::pair{uint8_t(0x10), footer}, {uint8_t(0x80), Bytes()}}) {
        const Bytes region = header(4, 20, flags) + frames + repeat(0, 20 - frames.size()) + tail;
        const std::string path = put(region + audio(50), false);
        load(path, true);
        tag.RemoveTag();
        EXPECT_EQ(readFile(path), header(4, uint32_t(region.size() - 10)) +
                                      repeat(0, region.size() - 10) + audio(50));
    }
    for (const Bytes& unknown : {header(5, 20), header(3, 20, 0x01)}) {
        const Bytes file = unknown + repeat('x', 20) + audio(50);
        const std::string path = put(file, false);
        load(path, true);
        EXPECT_THROW(tag.RemoveTag(), io::TagError);
        EXPECT_THROW(tag.WriteTag(), io::TagError);
        EXPECT_EQ(readFile(path), file);
    }
}

TEST_F(TagComponent, RemoveTagOfLargeTagInBlocks) {
    const uint32_t size = 0x80000 * 2 + 100;
    Bytes file = header(4, size) + frame24("TIT2", latin1("x")) + repeat(0xAA, size - 12) + audio();
    const std::string path = put(file, false);
    load(path, true);
    tag.RemoveTag();
    EXPECT_EQ(readFile(path), header(4, size) + repeat(0, size) + audio());
}

} // namespace
