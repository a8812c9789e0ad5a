// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The writer on files spelled out byte for byte: where the new tag goes, what
// each frame looks like, and what a failed write leaves behind.
#include "support/testfiles.h"
#include "tagengine/tagheader.h"
#include "writefixture.h"

#include <filesystem>
#include <functional>
#include <unistd.h>

using namespace testing_support;
using tag::Prop;

namespace {

// A file whose ID3v2.4 tag has the given size (one old frame, then padding).
Bytes oldTag(uint32_t size) {
    const Bytes frame = text24("TIT2", "old title");
    return tag24(frame, size - frame.size());
}

Bytes slice(const Bytes& b, size_t from, size_t to) {
    return Bytes(b.begin() + std::ptrdiff_t(from), b.begin() + std::ptrdiff_t(to));
}

// The frames of a written tag: the bytes the header declares, up to the padding.
Bytes declared(const Bytes& file) {
    const uint32_t size = ::syncsafe::decode(file.data() + 6);
    size_t end = 10;
    while (end + 10 <= 10 + size && file[end] != 0)
        end += 10 + ::syncsafe::decode(&file[end + 4]);
    return slice(file, 10, end);
}

// A text value with zero bytes inside and at its end: written as it is.
const std::string ZeroText("a\0b\0", 4);

class Writer : public WriteFixture {};

// Where the new tag goes: the file before, the title of the model (none when
// empty), the old tag's size and presence as the reader gave them, and the file after.
TEST_F(Writer, WhereTheNewTagGoes) {
    const Bytes unreadable = repeat(0x55, 50);
    const struct {
        const char* name;
        Bytes before;
        std::string title;
        uint32_t oldSize;
        bool present;
        Bytes after;
    } cases[] = {
        // Frames that fit (a frame of 300 bytes) reuse the old tag.
        {"FitsInTheOldTag", oldTag(4096) + audio(), std::string(289, 'a'), 4096, true,
         header(4, 4096) + text24("TIT2", std::string(289, 'a')) + repeat(0, 4096 - 300) + audio()},
        // 5,000 bytes of frames do not: the audio moves by G = 1,024 to start at
        // 1,024 + 4,106, and the header declares every byte before it: zeros
        // from 5,010 to 5,129 are the tag's padding.
        {"MovesTheAudioByWholeKibibytes", oldTag(4096) + audio(), std::string(4989, 'a'), 4096,
         true, header(4, 5120) + text24("TIT2", std::string(4989, 'a')) + repeat(0, 120) + audio()},
        // 1,017 bytes of frames end 3 bytes into the moved old header: it is zeroed.
        {"ZeroesTheMovedOldHeader", tag24(Bytes(), 100) + audio(), std::string(1006, 'b'), 100,
         true, header(4, 1124) + text24("TIT2", std::string(1006, 'b')) + repeat(0, 107) + audio()},
        // No tag: a gap (G = 2,048) and nothing overwritten.
        {"FileWithoutTag", audio(), std::string(1989, 'c'), 0, false,
         header(4, 2038) + text24("TIT2", std::string(1989, 'c')) + repeat(0, 38) + audio()},
        {"EmptyModel", oldTag(500) + audio(), "", 500, true,
         header(4, 500) + repeat(0, 500) + audio()},
        {"EmptyModelWithoutTag", audio(), "", 0, false,
         header(4, 1014) + repeat(0, 1014) + audio()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        in = tag::WriterInput();
        writeFile(song, c.before);
        if (!c.title.empty()) setText(Prop::Title, c.title);
        write(c.oldSize, c.present);
        EXPECT_EQ(file(), c.after);
    }
    // Moved, the file is one G longer.
    EXPECT_EQ(cases[1].after.size(), oldTag(4096).size() + audio().size() + 1024);

    // A tag of a version the readers do not know is never written over.
    const Bytes unknown = header(5, 50) + unreadable + audio();
    writeFile(song, unknown);
    EXPECT_EQ(writeError(0, true), tag::unreadableMessage(tag::parseTagHeader(unknown.data())));
    EXPECT_EQ(file(), unknown);
}

TEST_F(Writer, SingleFramesByteForByte) {
    writeFile(song, oldTag(200) + audio());
    setText(Prop::Title, "Song");
    write(200, true);
    EXPECT_EQ(::syncsafe::decode(file().data() + 6), 200u);
    EXPECT_EQ(slice(file(), 10, 25), bytes("TIT2") + Bytes({0, 0, 0, 5, 0, 0, 0}) + bytes("Song"));

    setText(Prop::Title, "");
    in.comments.set(1, {"t", "eng", zeroEnded("d")});
    writeFile(song, oldTag(200) + audio());
    write(200, true);
    EXPECT_EQ(slice(file(), 10, 27),
              bytes("COMM") + Bytes({0, 0, 0, 7, 0, 0, 0}) + bytes("eng") + Bytes({'d', 0, 't'}));
}

TEST_F(Writer, EveryFrameKindAndItsFields) {
    writeFile(song, audio());
    setText(Prop::ArtistUrl, "http://a");
    setText(Prop::Mood, ZeroText);
    in.lyrics.set(1, {"words", "de", zeroEnded("x")}); // language padded with spaces
    in.termsOfUse.set(1, {"t", "english"});            // cut to three
    in.pictures.set(1, {zeroEnded("image/png"), "Publisher/Studio logotype", zeroEnded(""),
                        picture({1, 2, 3})});
    in.pictures.set(2, {zeroEnded("image/gif"), "", zeroEnded("d"), picture({9}, "b.gif")});
    in.pictures.set(3, {zeroEnded("image/gif"), "Not a type", zeroEnded(""), picture({}, "e")});
    in.userUrls.set(1, {zeroEnded("d"), "http://x"});
    in.userTexts.set(1, {zeroEnded("k"), "v"});
    in.comments.set(1, {"", "", ""}); // written although every column is empty
    write(0, false);
    const Bytes expected =
        frame24("WOAR", bytes("http://a")) + frame24("TMOO", Bytes{0} + bytes(ZeroText)) +
        frame24("USLT", Bytes{0} + bytes("de ") + bytes(zeroEnded("x")) + bytes("words")) +
        frame24("APIC", Bytes{0} + bytes(zeroEnded("image/png")) + Bytes{20, 0, 1, 2, 3}) +
        frame24("APIC", Bytes{0} + bytes(zeroEnded("image/gif")) + Bytes{0, 'd', 0, 9}) +
        frame24("APIC", Bytes{0} + bytes(zeroEnded("image/gif")) + Bytes{0, 0}) +
        frame24("USER", Bytes{0} + bytes("engt")) +
        frame24("WXXX", Bytes{0, 'd', 0} + bytes("http://x")) +
        frame24("TXXX", Bytes{0, 'k', 0, 'v'}) + frame24("COMM", Bytes{0} + bytes("   "));
    EXPECT_EQ(declared(file()), expected);
}

// A frame whose texts all lie within ISO-8859-1 is written in it, byte for
// byte as before; any other frame in UTF-8 (encoding byte 3), with one zero
// after a description. URLs, MIME types and languages stay ISO-8859-1.
TEST_F(Writer, EachFrameInISO88591WhenItFitsOtherwiseUTF8) {
    writeFile(song, audio());
    setText(Prop::Title, "Café ÿ");
    setText(Prop::Album, "Кино");
    setText(Prop::ArtistUrl, "http://é.org/");
    in.comments.set(1, {"Grüße", "deu", zeroEnded("é")});
    in.comments.set(2, {"plain", "fra", zeroEnded("“q”")}); // the description decides too
    in.lyrics.set(1, {"日本", "jpn", zeroEnded("")});
    in.userTexts.set(1, {zeroEnded("Ł"), "x"});
    in.userTexts.set(2, {zeroEnded("v"), "Ω"}); // the value alone decides
    in.userUrls.set(1, {zeroEnded("№"), "http://é/"});
    in.termsOfUse.set(1, {"© ok", "eng"});
    in.pictures.set(1, {zeroEnded("image/png"), "Other", zeroEnded("🎵"), picture({5})});
    write(0, false);
    const Bytes expected =
        frame24("TALB", Bytes{3} + bytes("Кино")) + frame24("WOAR", bytes("http://\xE9.org/")) +
        text24("TIT2", "Caf\xE9 \xFF") +
        frame24("USLT", Bytes{3} + bytes("jpn") + Bytes{0} + bytes("日本")) +
        frame24("APIC", Bytes{3} + bytes(zeroEnded("image/png")) + Bytes{0} +
                            bytes(zeroEnded("🎵")) + Bytes{5}) +
        frame24("USER", Bytes{0} + bytes("eng\xA9 ok")) +
        frame24("WXXX", Bytes{3} + bytes(zeroEnded("№")) + bytes("http://\xE9/")) +
        frame24("TXXX", Bytes{3} + bytes(zeroEnded("Ł")) + bytes("x")) +
        frame24("TXXX", Bytes{3} + bytes(zeroEnded("v")) + bytes("Ω")) +
        frame24("COMM", Bytes{0} + bytes("deu\xE9") + Bytes{0} +
                            bytes("Gr\xFC\xDF"
                                  "e")) +
        frame24("COMM", Bytes{3} + bytes("fra") + bytes(zeroEnded("“q”")) + bytes("plain"));
    EXPECT_EQ(declared(file()), expected);
}

TEST_F(Writer, TextsTheFormatCannotHoldAreRefusedBeforeAnythingIsWritten) {
    const Bytes before = oldTag(300) + audio();
    const std::vector<std::function<void()>> faults{
        [&] { setText(Prop::PaymentUrl, "http://Ł/"); },
        [&] {
            in.userUrls.set(1, {zeroEnded(""), "http://ā"});
        },
        [&] {
            in.comments.set(1, {"", "ēng", zeroEnded("")});
        },
        [&] {
            in.termsOfUse.set(1, {"", "日本"});
        },
        [&] {
            in.pictures.set(1, {zeroEnded("image/pńg"), "", zeroEnded(""), picture({1})});
        },
        [&] { setText(Prop::Title, "\xE9"); }, // not UTF-8
        [&] { setText(Prop::RecordTime, "2023-02-31"); },
        [&] { setText(Prop::TagTime, "2023-99-99"); },
    };
    for (size_t i = 0; i < faults.size(); ++i) {
        in = tag::WriterInput();
        writeFile(song, before);
        faults[i]();
        setText(Prop::Album, std::string(1000, 'a')); // would move the audio
        EXPECT_THROW(write(300, true), io::TagError) << i;
        EXPECT_EQ(file(), before) << i;
    }
}

TEST_F(Writer, DatesOfTheCalendarAreWrittenAndOthersRefusedInTheUsersWords) {
    writeFile(song, audio());
    setText(Prop::RelaseTime, "2023-02-31");
    EXPECT_EQ(writeError(0, false), "The release time 2023-02-31 is not a date of the calendar");
    // A leap day, a time of day, a year alone and the free text of an older tag all go through.
    for (const char* stamp : {"2024-02-29", "2023-12-31T23:59", "2023", "Summer 1999"}) {
        setText(Prop::RelaseTime, stamp);
        EXPECT_EQ(writeError(0, false), "") << stamp;
    }
}

TEST_F(Writer, FrameOrder) {
    writeFile(song, audio());
    for (const auto& p : tag::PropTable)
        setText(p.prop, std::string(p.name));
    in.comments.set(1, {"c", "eng", zeroEnded("")});
    in.userTexts.set(1, {zeroEnded(""), "v"});
    in.userUrls.set(1, {zeroEnded(""), "u"});
    in.pictures.set(1, {zeroEnded("image/png"), "Other", zeroEnded(""), picture({1})});
    in.termsOfUse.set(1, {"t", "eng"});
    in.lyrics.set(1, {"l", "eng", zeroEnded("")});
    in.lyrics.set(2, {"m", "eng", zeroEnded("")});
    write(0, false);
    std::vector<std::string> ids;
    const Bytes frames = declared(file());
    for (size_t at = 0; at < frames.size(); at += 10 + ::syncsafe::decode(&frames[at + 4]))
        ids.emplace_back(frames.begin() + at, frames.begin() + at + 4);
    const std::vector<std::string> expected{
        "TALB", "TSOA", "WOAR", "WOAS", "WOAF", "TPE2", "TBPM", "TCOM", "TPE3", "TIT1", "TCON",
        "TCOP", "TENC", "TDEN", "TKEY", "TRSN", "TRSO", "TLAN", "TPE1", "TMOO", "TOAL", "TOPE",
        "TOLY", "TDOR", "TPOS", "WPAY", "TSOP", "TPUB", "WPUB", "WORS", "TDRC", "TDRL", "TPE4",
        "TIT3", "TSST", "TDTG", "TEXT", "TIT2", "TSOT", "TRCK", "WCOP", "WCOM", "TOWN", "TPRO",
        "USLT", "USLT", "APIC", "USER", "WXXX", "TXXX", "COMM"};
    EXPECT_EQ(ids, expected);
}

TEST_F(Writer, SizesTheFormatCannotHoldAreRefusedBeforeAnythingIsWritten) {
    const Bytes before = oldTag(300) + audio();
    writeFile(song, before);
    auto sparse = [&](const std::string& name, uint64_t size) {
        const std::string path = dir.file(name);
        writeFile(path, {});
        std::filesystem::resize_file(path, size);
        return path;
    };
    // Data of the frame: encoding, MIME type with its zero, type byte, description zero.
    const uint64_t fixed = 1 + 10 + 1 + 1;
    in.pictures.set(1, {zeroEnded("image/png"), "", zeroEnded(""),
                        sparse("huge.png", ::syncsafe::Limit - fixed)});
    EXPECT_EQ(writeError(300, true),
              "The APIC frame would hold 268435456 bytes; an ID3v2.4 size field holds at most "
              "268435455");
    EXPECT_EQ(file(), before);

    const std::string half = sparse("half.png", ::syncsafe::Limit / 2);
    in.pictures.set(1, {zeroEnded("image/png"), "", zeroEnded(""), half});
    in.pictures.set(2, {zeroEnded("image/png"), "", zeroEnded(""), half});
    EXPECT_EQ(writeError(300, true).substr(0, 35), "The tag would hold 268435502 bytes;");
    EXPECT_EQ(file(), before);

    in.pictures.reset();
    EXPECT_EQ(writeError(::syncsafe::Limit, true), "The tag is too large to be rewritten");
    EXPECT_EQ(file(), before);
    EXPECT_EQ(listFolder(dir.path()),
              (std::vector<std::string>{"half.png", "huge.png", "song.mp3"}));
}

TEST_F(Writer, OldTagReachingPastTheEndOfTheFileIsNotBlanked) {
    const Bytes before = header(4, 5000) + repeat(0, 100);
    writeFile(song, before);
    setText(Prop::Title, "fits");
    EXPECT_EQ(writeError(5000, true), "Read beyond end of file");
    EXPECT_EQ(file(), before);
    setText(Prop::Title, std::string(6000, 'x'));
    EXPECT_EQ(writeError(5000, true), "Read beyond end of file");
    EXPECT_EQ(file(), before);
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"song.mp3"});

    // A tag that ends exactly with the file is fine.
    writeFile(song, header(4, 100) + repeat(0, 100));
    setText(Prop::Title, "fits");
    write(100, true);
    EXPECT_EQ(file(), header(4, 100) + text24("TIT2", "fits") + repeat(0, 85));
}

TEST_F(Writer, UnreadablePictureLeavesTheFileUnchanged) {
    for (bool moving : {false, true}) {
        const Bytes before = oldTag(1000) + audio();
        writeFile(song, before);
        setText(Prop::Title, std::string(moving ? 2000 : 10, 't'));
        const std::string locked = picture({1, 2, 3}, "locked.png");
        in.pictures.set(1, {zeroEnded("image/png"), "", zeroEnded(""), picture({4}, "ok.png")});
        in.pictures.set(2, {zeroEnded("image/png"), "", zeroEnded(""), locked});
        {
            ReadOnlyGuard guard(locked, 0);
            EXPECT_EQ(writeError(1000, true), "File access denied");
        }
        EXPECT_EQ(file(), before);
        in.pictures.set(2, {zeroEnded("image/png"), "", zeroEnded(""), dir.file("gone.png")});
        EXPECT_EQ(writeError(1000, true), "File not found");
        EXPECT_EQ(file(), before);
        EXPECT_EQ(listFolder(dir.path()),
                  (std::vector<std::string>{"locked.png", "ok.png", "song.mp3"}));
    }
    // A picture the user may read but not write (a read-only folder's) is copied.
    in.pictures.set(2, {zeroEnded("image/png"), "", zeroEnded(""), dir.file("locked.png")});
    ReadOnlyGuard guard(dir.file("locked.png"));
    EXPECT_EQ(writeError(1000, true), "");
}

TEST_F(Writer, ReadOnlyFileIsNotWritten) {
    const Bytes before = oldTag(100) + audio();
    writeFile(song, before);
    setText(Prop::Title, std::string(500, 'r'));
    ReadOnlyGuard guard(song);
    EXPECT_EQ(writeError(100, true), "File access denied");
    EXPECT_EQ(file(), before);
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"song.mp3"});
}

TEST_F(Writer, MovingWriteLeavesTheUsersOwnTmpFileAlone) {
    const Bytes mine = bytes("the user's own file");
    writeFile(dir.file("song.tmp"), mine);
    writeFile(song, oldTag(100) + audio());
    setText(Prop::Title, std::string(500, 'm'));
    write(100, true);
    EXPECT_EQ(readFile(dir.file("song.tmp")), mine);
    EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"song.mp3", "song.tmp"}));
    EXPECT_EQ(declared(file()).size(), 511u);
    EXPECT_EQ(::syncsafe::decode(file().data() + 6), 1124u);
}

TEST_F(Writer, FullDiskWhileMovingTheAudioLeavesTheOriginalIdentical) {
    SmallDisk disk(dir.file("small"), 1 << 20);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const std::string path = disk.path() + "song.mp3";
    const Bytes before = oldTag(100) + audio(700 * 1024);
    writeFile(path, before);
    setText(Prop::Title, std::string(500, 'f'));
    in.Id3v2present = true;
    try {
        writetag::WriteTag(in, 110, path);
        FAIL() << "the write did not fail";
    } catch (const io::IoError& e) {
        EXPECT_STREQ(e.what(), "Disk full");
    }
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(listFolder(disk.path()), std::vector<std::string>{"song.mp3"});
}

TEST_F(Writer, MovingWriteKeepsPermissionsOwnerAndSymbolicLinks) {
    writeFile(song, oldTag(100) + audio());
    ::chmod(song.c_str(), 0604);
    const ino_t before = inodeOf(song);
    setText(Prop::Title, std::string(500, 'p'));
    write(100, true);
    EXPECT_NE(inodeOf(song), before); // a new file took its place
    EXPECT_EQ(modeOf(song), 0604u);

    // In place the file stays the same file.
    const ino_t moved = inodeOf(song);
    setText(Prop::Title, "short");
    write(1124, true);
    EXPECT_EQ(inodeOf(song), moved);

    std::filesystem::create_directory(dir.file("real"));
    const std::string target = dir.file("real/song.mp3");
    writeFile(target, audio());
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, dir.file("link.mp3"));
    in.Id3v2present = false;
    writetag::WriteTag(in, 0, dir.file("link.mp3"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.mp3")));
    EXPECT_EQ(readFile(target),
              header(4, 1014) + text24("TIT2", "short") + repeat(0, 998) + audio());
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(listFolder(dir.file("real")), std::vector<std::string>{"song.mp3"});

    if (::geteuid() != 0) GTEST_SKIP() << "giving a file away needs root";
    ASSERT_EQ(::chown(song.c_str(), 4321, 4322), 0);
    setText(Prop::Title, std::string(2000, 'o'));
    write(::syncsafe::decode(file().data() + 6), true);
    struct stat st {};
    ::stat(song.c_str(), &st);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(modeOf(song), 0604u);
}

} // namespace
