// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The ID3v1.1 trailer: byte-exact reads and writes, the genre table, the I/O
// errors, and agreement with mutagen's reading and writing of the same bytes.
#include "id3v1/id3.h"
#include "io/ioerror.h"
#include "support/testfiles.h"

#include <csignal>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>

using namespace testing_support;
using std::string;

// Designated initializers leave the members they do not name at their defaults
// on purpose; g++ 12 warns about that under -Wextra.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// The 128 bytes of a trailer: marker, texts zero-filled to their widths, track and genre bytes.
struct Fields {
    std::string_view marker = "TAG", title, artist, album, year, comment;
    uint8_t track = 0, genre = 255;
};
Bytes trailer(const Fields& f) {
    Bytes b = repeat(0, 128);
    auto put = [&](size_t offset, std::string_view text) {
        std::copy(text.begin(), text.end(), b.begin() + static_cast<long>(offset));
    };
    put(0, f.marker), put(3, f.title), put(33, f.artist), put(63, f.album), put(93, f.year);
    put(97, f.comment);
    b[126] = f.track, b[127] = f.genre;
    return b;
}

class Id3v1Test : public ::testing::Test {
protected:
    TempDir dir;
    Id3v1 tag;
    string path = dir.file("song.mp3");

    void readContent(const Bytes& content) {
        writeFile(path, content);
        tag.FileName = path;
        tag.ReadTag();
    }
    void read(const Fields& f) { readContent(audio() + trailer(f)); }
    template <class Op> string errorOf(Op op) {
        try {
            op();
        } catch (const io::IoError& e) {
            return e.what();
        }
        return {};
    }
    // The trailer WriteTag appends to an untagged file.
    Bytes written() {
        writeFile(path, audio());
        tag.FileName = path;
        tag.WriteTag();
        Bytes all = readFile(path);
        EXPECT_EQ(all.size(), audio().size() + 128);
        return Bytes(all.end() - 128, all.end());
    }
    std::vector<string> texts() const {
        return {tag.Title, tag.Artist, tag.Album, tag.Year, tag.Comment, tag.Genre, tag.TrackNum};
    }
};

TEST(GenreTable, NamesAndNumbers) {
    static_assert(id3::GenreTable.size() == 126);
    EXPECT_EQ(std::set(id3::GenreTable.begin(), id3::GenreTable.end()).size(), 126u);
    const std::pair<int, const char*> spots[] = {
        {0, "Blues"},  {14, "R&B"},     {40, "AlternRock"}, {62, "Pop/Funk"},   {67, "Psychadelic"},
        {85, "Bebob"}, {100, "Humour"}, {123, "A capella"}, {125, "Dance Hall"}};
    for (auto [number, name] : spots)
        EXPECT_EQ(Id3v1::GenreName(number), name);
    for (int n = 0; n < 126; ++n)
        EXPECT_EQ(Id3v1::GenreNumber(Id3v1::GenreName(n)), n);
    for (int n : {126, 255, 256, -1})
        EXPECT_EQ(Id3v1::GenreName(n), "") << n;
    // Names compare exactly; empty and unknown names mean no genre.
    for (const char* name : {"", "rock", "Rock ", "Psychedelic", "Unknown"})
        EXPECT_EQ(Id3v1::GenreNumber(name), 255) << name;
}

TEST(Id3v1Trim, SpacesOrZerosAtTheEndOnly) {
    EXPECT_EQ(Id3v1::TrimTrailingSpaces(" a b   "), " a b");
    EXPECT_EQ(Id3v1::TrimTrailingSpaces("   "), "");
    EXPECT_EQ(Id3v1::TrimTrailingSpaces(string("ab \0", 4)), string("ab \0", 4));
    EXPECT_EQ(Id3v1::TrimTrailingZeros(string("a\0b\0\0", 5)), string("a\0b", 3));
    EXPECT_EQ(Id3v1::TrimTrailingZeros(string(3, '\0')), "");
    EXPECT_EQ(Id3v1::TrimTrailingZeros("ab  "), "ab  ");
}

TEST_F(Id3v1Test, ReadsEveryFieldAtItsOffset) {
    read({.title = "Title",
          .artist = "Artist",
          .album = "Album",
          .year = "1999",
          .comment = "Comment",
          .track = 7,
          .genre = 17});
    EXPECT_TRUE(tag.ID3v1Present);
    // ID3v1.1: the zero at 125 ends the comment, 126 is the track.
    EXPECT_EQ(texts(),
              (std::vector<string>{"Title", "Artist", "Album", "1999", "Comment", "Rock", "7"}));
    // Full-width fields take all their bytes and no more.
    read({.title = string(30, 'T'), .artist = string(30, 'A'), .year = "2024"});
    EXPECT_EQ(tag.Title, string(30, 'T'));
    EXPECT_EQ(tag.Artist, string(30, 'A'));
    EXPECT_EQ(tag.Year, "2024");
}

TEST_F(Id3v1Test, ReadTrimsSpacesThenZeros) {
    read({.title = "Abcd" + string(26, ' '), .artist = "Wxyz"});
    EXPECT_EQ(tag.Title, "Abcd");
    EXPECT_EQ(tag.Artist, "Wxyz");
    // Spaces before the zero padding stay; zeros and spaces inside a field stay;
    // bytes above 127 are their ISO-8859-1 characters.
    read({.title = "abc ",
          .artist = string("a\0b", 3),
          .album = "x  y\xE9",
          .year = "    ",
          .comment = string(29, ' ')});
    EXPECT_EQ(texts(), (std::vector<string>{"abc ", string("a\0b", 3), "x  yé", "", "", "", "0"}));
}

TEST_F(Id3v1Test, TrackByteAndGenreByte) {
    // ID3v1.0: a 30-character comment whose last letter lands on the track byte.
    read({.comment = "abcdefghijklmnopqrstuvwxyzabc", .track = 'e'});
    EXPECT_EQ(tag.Comment, "abcdefghijklmnopqrstuvwxyzabc");
    EXPECT_EQ(tag.TrackNum, "101");
    const std::pair<uint8_t, const char*> tracks[] = {{0, "0"}, {0x20, ""}, {255, "255"}};
    for (auto [byte, text] : tracks) {
        read({.track = byte});
        EXPECT_EQ(tag.TrackNum, text) << int(byte);
    }
    const std::pair<uint8_t, const char*> genres[] = {
        {17, "Rock"}, {0, "Blues"}, {125, "Dance Hall"}, {126, ""}, {255, ""}};
    for (auto [byte, name] : genres) {
        read({.genre = byte});
        EXPECT_EQ(tag.Genre, name) << int(byte);
    }
}

TEST_F(Id3v1Test, MarkerAndFilesWithoutTrailer) {
    read({.marker = "TXY", .title = "Title"}); // only the "T" counts
    EXPECT_TRUE(tag.ID3v1Present);
    EXPECT_EQ(tag.Title, "Title");
    // Anything else is audio: the fields of the former read are emptied.
    read({.marker = "tag", .title = "Title", .track = 3, .genre = 17});
    EXPECT_FALSE(tag.ID3v1Present);
    EXPECT_EQ(texts(), std::vector<string>(7));
    readContent(trailer({.title = "Only"})); // exactly 128 bytes
    EXPECT_TRUE(tag.ID3v1Present);
    EXPECT_EQ(tag.Title, "Only");
}

TEST_F(Id3v1Test, ReadErrors) {
    read({.title = "Old"});
    // Too short for a trailer: the fields are emptied, ID3v1Present stays.
    for (const Bytes& content : {repeat('T', 127), Bytes()}) {
        writeFile(path, content);
        EXPECT_EQ(errorOf([&] { tag.ReadTag(); }), "Read beyond end of file");
        EXPECT_EQ(tag.Title, "");
        EXPECT_TRUE(tag.ID3v1Present);
    }
    tag.FileName = dir.file("missing.mp3");
    EXPECT_EQ(errorOf([&] { tag.ReadTag(); }), "File not found");
    // Reading needs no write access; a file that may not be read fails.
    writeFile(path, audio() + trailer({.title = "Title"}));
    tag.FileName = path;
    {
        ReadOnlyGuard readOnly(path);
        EXPECT_EQ(errorOf([&] { tag.ReadTag(); }), "");
        EXPECT_EQ(tag.Title, "Title");
    }
    ReadOnlyGuard unreadable(path, 0);
    EXPECT_EQ(errorOf([&] { tag.ReadTag(); }), "File access denied");
}

TEST_F(Id3v1Test, WritesEveryFieldAtItsOffset) {
    tag = Id3v1{.Artist = "Artist",
                .Album = "Album",
                .Title = "Title",
                .Year = "1999",
                .Comment = "Comment é",
                .Genre = "Rock",
                .TrackNum = "7"};
    EXPECT_EQ(written(), trailer({.title = "Title",
                                  .artist = "Artist",
                                  .album = "Album",
                                  .year = "1999",
                                  .comment = "Comment \xE9",
                                  .track = 7,
                                  .genre = 17}));
    // Writing changes no property.
    EXPECT_EQ(texts(),
              (std::vector<string>{"Title", "Artist", "Album", "1999", "Comment é", "Rock", "7"}));
    EXPECT_FALSE(tag.ID3v1Present);
    tag = Id3v1();
    EXPECT_EQ(written(), trailer({}));
}

TEST_F(Id3v1Test, WriteCutsFieldsToTheirWidth) {
    tag = Id3v1{.Artist = "Artist",
                .Title = string(30, 't') + "0123456789",
                .Year = "19999",
                .Comment = string(29, 'c') + "X",
                .TrackNum = "9"};
    EXPECT_EQ(written(), trailer({.title = string(30, 't'),
                                  .artist = "Artist",
                                  .year = "1999",
                                  .comment = string(29, 'c'),
                                  .track = 9}));
    tag.Comment = string(28, 'c'); // leaves the zero that marks ID3v1.1
    EXPECT_EQ(written()[125], 0);
    // The trailer is ISO-8859-1: widths count its characters, and a character
    // beyond it (and any byte that is not UTF-8) is written as "?".
    tag = Id3v1{.Artist = "Кино № 1", .Title = "\xFF" + string(15, 'x') + "éééééééééééééééé"};
    EXPECT_EQ(written(),
              trailer({.title = "?" + string(15, 'x') + string(14, '\xE9'), .artist = "???? ? 1"}));
}

TEST_F(Id3v1Test, WriteTrackNumberAndGenre) {
    const std::pair<const char*, uint8_t> tracks[] = {{"5/12", 5},
                                                      {"300", 44},
                                                      {"", 0},
                                                      {"abc", 0},
                                                      {"  7", 7},
                                                      {"007", 7},
                                                      {"256", 0},
                                                      {"-3", 0},
                                                      {"+3", 0},
                                                      {"\t4", 0},
                                                      {" 1 2", 1},
                                                      {"255", 255},
                                                      {"99999999999999999999", 255}};
    for (auto [text, byte] : tracks) {
        tag.TrackNum = text;
        EXPECT_EQ(written()[126], byte) << '"' << text << '"';
    }
    const std::pair<const char*, uint8_t> genres[] = {
        {"Rock", 17}, {"", 255}, {"A capella", 123}, {"rock", 255}, {"Nonsense", 255}};
    for (auto [name, byte] : genres) {
        tag.Genre = name;
        EXPECT_EQ(written()[127], byte) << name;
    }
}

TEST_F(Id3v1Test, WriteReplacesTheTrailerInPlace) {
    tag = Id3v1{.Title = "New", .Genre = "A capella", .TrackNum = "12", .FileName = path};
    const Bytes want = audio() + trailer({.title = "New", .track = 12, .genre = 123});
    writeFile(path, audio() + trailer({.title = "Old title", .artist = "Old artist", .genre = 3}));
    tag.WriteTag();
    EXPECT_EQ(readFile(path), want);
    Id3v1 back{.FileName = path};
    back.ReadTag();
    EXPECT_EQ(back.Genre, "A capella");
    EXPECT_EQ(back.TrackNum, "12");
}

TEST_F(Id3v1Test, WriteAppendsToFilesWithoutTrailer) {
    tag = Id3v1{.Title = "Appended", .FileName = path};
    // Audio whose last 128 bytes start with "t", or with a "T" that is not
    // "TAG" (which a read takes for a trailer, but which may be audio), and
    // files too short to hold a trailer: the tag goes after everything.
    const Bytes txx = audio() + trailer({.marker = "Txx", .title = "Old title"});
    for (const Bytes& content :
         {audio() + bytes("tag") + repeat('T', 125), txx, audio(77), Bytes(), bytes("T")}) {
        writeFile(path, content);
        tag.WriteTag();
        EXPECT_EQ(readFile(path), content + trailer({.title = "Appended"})) << content.size();
    }
    // Once appended, the trailer is replaced from then on.
    writeFile(path, audio());
    tag.WriteTag();
    tag.Title = "Again";
    tag.WriteTag();
    EXPECT_EQ(readFile(path), audio() + trailer({.title = "Again"}));
}

TEST_F(Id3v1Test, WriteErrorsLeaveTheFile) {
    const Bytes content = audio() + trailer({.title = "Old"});
    writeFile(path, content);
    tag = Id3v1{.Title = "New", .FileName = path};
    {
        ReadOnlyGuard readOnly(path);
        EXPECT_EQ(errorOf([&] { tag.WriteTag(); }), "File access denied");
    }
    EXPECT_EQ(readFile(path), content);
    tag.FileName = dir.file("missing.mp3");
    EXPECT_EQ(errorOf([&] { tag.WriteTag(); }), "File not found");
    EXPECT_FALSE(exists(tag.FileName));
    tag.FileName = "/dev/full";
    EXPECT_EQ(errorOf([&] { tag.WriteTag(); }), "Disk full");
}

TEST_F(Id3v1Test, FailedAppendIsTakenBack) {
    // A file size limit stops the append part way; the file must keep its length.
    const Bytes content = audio(1000);
    writeFile(path, content);
    tag = Id3v1{.Title = "New", .FileName = path};
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = content.size() + 60;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const string error = errorOf([&] { tag.WriteTag(); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error, "I/O error " + std::to_string(EFBIG));
    EXPECT_EQ(readFile(path), content);
}

// mutagen, another tagger, reads what Id3v1 writes and writes what Id3v1 reads.
class Id3v1Mutagen : public Id3v1Test {
protected:
    void SetUp() override {
        if (run("/usr/bin/python3 -c 'import mutagen.id3' 2>/dev/null").status != 0)
            GTEST_SKIP() << "mutagen is not installed for /usr/bin/python3";
    }
};

TEST_F(Id3v1Mutagen, ReadsWhatId3v1Writes) {
    // mutagen reports the frames it makes of the trailer: texts as Latin-1 in
    // hex, the genre as its number.
    constexpr const char* script = R"py(
import sys
from mutagen.id3._id3v1 import find_id3v1
with open(sys.argv[1], "rb") as f:
    frames, offset = find_id3v1(f)
print(" ".join("%s=%s" % (k, str(frames[k]).encode("latin1").hex()) for k in sorted(frames)))
)py";
    auto hex = [](std::string_view text) {
        string out;
        for (unsigned char c : text)
            out += "0123456789abcdef"[c >> 4], out += "0123456789abcdef"[c & 15];
        return out;
    };
    struct Case {
        Id3v1 tag;
        string frames;
    };
    const Case cases[] = {
        {{.Artist = "Édith Piaf",
          .Album = "Best of",
          .Title = "Café del Mar",
          .Year = "2003",
          .Comment = "Grüße",
          .Genre = "A capella",
          .TrackNum = "12"},
         "COMM=" + hex("Gr\xFC\xDF\x65") + " TALB=" + hex("Best of") + " TCON=" + hex("123") +
             " TDRC=" + hex("2003") + " TIT2=" + hex("Caf\xE9 del Mar") +
             " TPE1=" + hex("\xC9\x64ith Piaf") + " TRCK=" + hex("12")},
        // Cut to the widths, track number 300 stored as 44, no genre.
        {{.Title = "Cut to thirty characters after this",
          .Year = "20245",
          .Comment = "Twenty-eight characters here",
          .TrackNum = "300"},
         "COMM=" + hex("Twenty-eight characters here") + " TDRC=" + hex("2024") +
             " TIT2=" + hex("Cut to thirty characters after") + " TRCK=" + hex("44")},
        {{.Title = "Only a title", .Genre = "Dance Hall"},
         "TCON=" + hex("125") + " TIT2=" + hex("Only a title")},
    };
    for (const Case& c : cases) {
        Id3v1 t = c.tag;
        t.FileName = path;
        writeFile(path, audio());
        t.WriteTag();
        auto r = run("/usr/bin/python3 - " + shellQuote(path), script);
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(r.out, c.frames + "\n");
    }
}

TEST_F(Id3v1Mutagen, ReadsWhatMutagenWrites) {
    constexpr const char* script = R"py(
import sys
from mutagen.id3 import MakeID3v1, TIT2, TPE1, TALB, TDRC, COMM, TRCK, TCON
frames = {"TIT2": TIT2(encoding=0, text="Caf\u00e9"), "TPE1": TPE1(encoding=0, text="Artist"),
          "TALB": TALB(encoding=0, text="Album"), "TDRC": TDRC(encoding=0, text="1987"),
          "COMM": COMM(encoding=0, lang="eng", desc="", text="Comment"),
          "TRCK": TRCK(encoding=0, text="5/12"), "TCON": TCON(encoding=0, text="(85)")}
with open(sys.argv[1], "ab") as f:
    f.write(MakeID3v1(frames))
)py";
    writeFile(path, audio());
    ASSERT_EQ(run("/usr/bin/python3 - " + shellQuote(path), script).status, 0);
    ASSERT_EQ(readFile(path).size(), audio().size() + 128);
    tag.FileName = path;
    tag.ReadTag();
    EXPECT_TRUE(tag.ID3v1Present);
    // mutagen spells genre 85 "Bebop"; the byte is what the two share.
    EXPECT_EQ(texts(),
              (std::vector<string>{"Café", "Artist", "Album", "1987", "Comment", "Bebob", "5"}));
}

} // namespace
