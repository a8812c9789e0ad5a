// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The undo journal: every kind of action recorded through the use cases and
// undone again gives back every file byte for byte, with its name and its
// modification time; what cannot be trusted is never undone.
#include "id3v1/id3.h"
#include "journal/digest.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/undo.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/tagfile.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

using namespace testing_support;
using journal::Outcome;

namespace {

Bytes text24(std::string_view id, std::string_view value) {
    return frame24(id, latin1(value));
}

Bytes cover(size_t size) {
    Bytes data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = uint8_t(i * 13 + 1);
    return frame24("APIC", Bytes{0} + bytes("image/png") + Bytes{0, 3, 0} + data);
}

Bytes trailer(std::string_view title) {
    Bytes t = bytes("TAG") + repeat(0, 125);
    std::copy(title.begin(), title.end(), t.begin() + 3);
    t[127] = 255;
    return t;
}

// Every file of a folder (the journal aside): its bytes and modification time.
using Files = std::map<std::string, std::pair<Bytes, int64_t>>;

Files filesIn(const std::string& folder) {
    Files files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        if (e.is_directory()) continue;
        struct stat st {};
        ::stat(e.path().c_str(), &st);
        files[e.path().filename()] = {readFile(e.path()),
                                      st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
    }
    return files;
}

struct Fixture {
    TempDir dir;
    std::string songs = dir.file("songs/");
    journal::Journal journal{dir.file("journal")};
    std::unique_ptr<ID3v24> tag = std::make_unique<ID3v24>();
    Id3v1 v1;

    Fixture() { std::filesystem::create_directory(songs); }
    std::unique_ptr<journal::Recording> record(journal::Kind kind) {
        return std::make_unique<journal::Recording>(journal, kind);
    }
    std::string song(const std::string& name) const { return songs + name; }
    // The model every write of a case puts in: a title, and a comment of size bytes.
    void model(std::string title, size_t commentSize) {
        tag->setText(tag::Prop::Title, title);
        tag->SetComment(withZero("c"), "eng", std::string(commentSize, 'x'), 1);
        v1.Title = title;
    }
    void write(journal::Recording& r, const std::string& name) {
        tagfile::writeTag(*tag, song(name), &v1, tagfile::Header::Read, &r);
    }
    // Undoes the newest action to its end; the outcome of each file, by name.
    std::map<std::string, Outcome> undo() {
        journal::Undo u(journal);
        EXPECT_FALSE(u.empty());
        std::map<std::string, Outcome> outcomes;
        while (!u.empty() && !u.atEnd()) {
            const journal::Step s = u.next();
            outcomes[std::filesystem::path(s.path).filename()] = s.outcome;
            if (s.outcome == Outcome::ChangedSince) {
                EXPECT_EQ(s.message, "changed since: not undone");
            }
        }
        EXPECT_TRUE(u.finish());
        return outcomes;
    }
};

struct Case {
    const char* name;
    journal::Kind kind;
    std::map<std::string, Bytes> songs;
    std::function<void(Fixture&, journal::Recording&)> run;
};

const Bytes Audio = audio(30000);
const Bytes Tagged = tag24(text24("TIT2", "Old") + text24("TPE1", "Artist"), 3000);

const Case Cases[] = {
    {"InPlaceWriteOverATrailer",
     journal::Kind::Write,
     {{"a.mp3", Tagged + Audio + trailer("old")}},
     [](Fixture& f, journal::Recording& r) {
         f.model("New", 100);
         f.write(r, "a.mp3");
     }},
    {"MovingWriteAppendingATrailer",
     journal::Kind::Write,
     {{"a.mp3", tag24(text24("TIT2", "Old"), 10) + Audio}},
     [](Fixture& f, journal::Recording& r) {
         f.model("New", 9000);
         f.write(r, "a.mp3");
     }},
    {"WriteIntoAFileWithoutTags",
     journal::Kind::Write,
     {{"a.mp3", Audio}},
     [](Fixture& f, journal::Recording& r) {
         f.model("New", 10);
         f.write(r, "a.mp3");
     }},
    {"KillOfATagWithACover",
     journal::Kind::Kill,
     {{"a.mp3", tag24(text24("TIT2", "Old") + cover(9000), 500) + Audio + trailer("kept")}},
     [](Fixture& f, journal::Recording& r) { tagfile::removeTag(*f.tag, f.song("a.mp3"), &r); }},
    {"WriteForAllOverAnAlbumWithOneCover",
     journal::Kind::Write,
     {{"1.mp3", tag24(text24("TIT2", "One") + cover(20000), 100) + Audio + trailer("1")},
      {"2.mp3", tag24(text24("TIT2", "Two") + cover(20000), 100) + Audio + trailer("2")},
      {"3.mp3", tag24(text24("TIT2", "Three") + cover(20000), 900) + Audio}},
     [](Fixture& f, journal::Recording& r) {
         f.model("Album", 200);
         // The edited file first, then every row: it is written twice.
         for (const char* name : {"2.mp3", "1.mp3", "2.mp3", "3.mp3"})
             f.write(r, name);
     }},
    {"WriteForAllStoppedHalfWay",
     journal::Kind::Write,
     {{"1.mp3", Tagged + Audio}, {"2.mp3", Tagged + Audio}, {"3.mp3", Tagged + Audio}},
     [](Fixture& f, journal::Recording& r) {
         f.model("Album", 20000);
         for (const char* name : {"1.mp3", "1.mp3", "2.mp3"})
             f.write(r, name);
     }},
    {"RenameRunWhoseNamesFollowEachOther",
     journal::Kind::Rename,
     {{"a.mp3", Audio}, {"c.mp3", Tagged + Audio}, {"taken.mp3", Tagged}},
     [](Fixture& f, journal::Recording& r) {
         EXPECT_EQ(tagfile::renameFile(f.songs, "a.mp3", "b.mp3", "1", &r), "b.mp3");
         EXPECT_EQ(tagfile::renameFile(f.songs, "c.mp3", "a.mp3", "2", &r), "a.mp3");
         EXPECT_EQ(tagfile::renameFile(f.songs, "b.mp3", "taken.mp3", "3", &r), "3taken.mp3");
     }},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class UndoesEveryAction : public ::testing::TestWithParam<Case> {};

TEST_P(UndoesEveryAction, EveryFileBackByteForByte) {
    const Case& c = GetParam();
    Fixture f;
    for (const auto& [name, bytes] : c.songs)
        writeFile(f.song(name), bytes);
    const Files before = filesIn(f.songs);
    {
        auto recording = f.record(c.kind);
        c.run(f, *recording);
        recording->finish();
    }
    ASSERT_NE(filesIn(f.songs), before);
    for (const auto& [name, outcome] : f.undo())
        EXPECT_EQ(outcome, Outcome::Restored) << name;
    EXPECT_EQ(filesIn(f.songs), before);
    EXPECT_TRUE(journal::Undo(f.journal).empty()) << "the action is undone";
    EXPECT_EQ(f.journal.warning(), "");
}

INSTANTIATE_TEST_SUITE_P(Actions, UndoesEveryAction, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Undo, TwoWritesOfOneFileUndoneOneAfterTheOther) {
    Fixture f;
    writeFile(f.song("a.mp3"), Tagged + Audio + trailer("old"));
    const Files original = filesIn(f.songs);
    f.model("First", 10);
    f.write(*f.record(journal::Kind::Write), "a.mp3");
    const Files first = filesIn(f.songs);
    f.model("Second", 8000);
    f.write(*f.record(journal::Kind::Write), "a.mp3");
    f.undo();
    EXPECT_EQ(filesIn(f.songs), first);
    f.undo();
    EXPECT_EQ(filesIn(f.songs), original);
}

TEST(Undo, AFileChangedSinceIsLeftAloneAndListed) {
    Fixture f;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        writeFile(f.song(name), Tagged + Audio);
    f.model("New", 10);
    {
        auto r = f.record(journal::Kind::Write);
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            f.write(*r, name);
    }
    // b: rewritten since by another tagger; c: only its time changed.
    Bytes b = readFile(f.song("b.mp3"));
    b[20] ^= 1;
    writeFile(f.song("b.mp3"), b);
    const timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
    ::utimensat(AT_FDCWD, f.song("c.mp3").c_str(), times, 0);
    const Files changed = filesIn(f.songs);

    EXPECT_EQ(f.undo(), (std::map<std::string, Outcome>{{"a.mp3", Outcome::Restored},
                                                        {"b.mp3", Outcome::ChangedSince},
                                                        {"c.mp3", Outcome::ChangedSince}}));
    EXPECT_EQ(readFile(f.song("a.mp3")), Tagged + Audio);
    EXPECT_EQ(filesIn(f.songs).at("b.mp3"), changed.at("b.mp3"));
    EXPECT_EQ(filesIn(f.songs).at("c.mp3"), changed.at("c.mp3"));
}

// Damage anywhere but in a last record cut short: the action is not trusted,
// the one before it is undone instead, and one warning says so.
struct Damage {
    const char* name;
    std::function<void(Bytes&)> apply;
    bool trusted; // a tail cut short by a crash loses that record only
};

const Damage Damages[] = {
    {"ByteFlippedInAnEntry", [](Bytes& j) { j[j.size() / 2] ^= 0x10; }, false},
    {"OtherVersion", [](Bytes& j) { j[12] = 9; }, false},
    {"NotAJournal", [](Bytes& j) { j[0] = 'X'; }, false},
    {"LastRecordCutShort", [](Bytes& j) { j.resize(j.size() - 3); }, true},
    {"ZerosAfterTheLastRecord", [](Bytes& j) { j.resize(j.size() + 4096, 0); }, true},
};

void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.name;
}

class DamagedJournal : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedJournal, IsIgnoredWithOneWarning) {
    Fixture f;
    writeFile(f.song("a.mp3"), Tagged + Audio);
    writeFile(f.song("b.mp3"), Tagged + Audio);
    f.model("New", 10);
    f.write(*f.record(journal::Kind::Write), "a.mp3");
    f.write(*f.record(journal::Kind::Write), "b.mp3");
    const std::string newest = f.journal.files().back().path;
    Bytes bytes = readFile(newest);
    GetParam().apply(bytes);
    writeFile(newest, bytes);

    f.undo();
    const bool trusted = GetParam().trusted;
    // Cut short, the newest action lost its End only; damaged, the older one
    // is undone.
    EXPECT_EQ(readFile(f.song("b.mp3")) == Tagged + Audio, trusted);
    EXPECT_EQ(readFile(f.song("a.mp3")) == Tagged + Audio, !trusted);
    EXPECT_EQ(f.journal.warning().empty(), trusted) << f.journal.warning();
    if (!trusted) {
        EXPECT_EQ(f.journal.actions().size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedJournal, ::testing::ValuesIn(Damages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Journal, KeepsTheNewestActionsWithinItsLimits) {
    Fixture f;
    writeFile(f.song("a.mp3"), Tagged + Audio);
    f.model("New", 10);
    auto runs = [&](journal::Journal& j, int n) {
        for (int i = 0; i < n; ++i)
            f.write(*std::make_unique<journal::Recording>(j, journal::Kind::Write), "a.mp3");
        std::vector<uint64_t> sequences;
        for (const auto& file : j.files())
            sequences.push_back(file.sequence);
        return sequences;
    };
    journal::Journal three(f.dir.file("three"), {3, uint64_t{1} << 30});
    EXPECT_EQ(runs(three, 5), (std::vector<uint64_t>{3, 4, 5}));
    // Room for two and a half such actions keeps two.
    const uint64_t one = std::filesystem::file_size(three.files().back().path);
    journal::Journal small(f.dir.file("small"), {20, one * 5 / 2});
    EXPECT_EQ(runs(small, 4), (std::vector<uint64_t>{3, 4}));
}

TEST(Digest, IsXXH64) {
    EXPECT_EQ(journal::hash64("", 0), 0xEF46DB3751D8E999ull);
    EXPECT_EQ(journal::hash64("abc", 3), 0x44BC2CF5AD770999ull);
    EXPECT_EQ(journal::hash64("Quillet", 7), 0xEDF643215175F966ull);
    // Fed in pieces, and with a run of bytes, the same.
    std::string text(1000, 'q');
    text += std::string(5000, '\0');
    journal::Digest64 d(7);
    d.update(text.data(), 333);
    d.update(text.data() + 333, 667);
    d.fill(0, 5000);
    EXPECT_EQ(d.digest(), journal::hash64(text.data(), text.size(), 7));
}

} // namespace
