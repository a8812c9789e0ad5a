// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The undo journal: every kind of action recorded through the use cases and
// undone again gives back every file byte for byte, with its name and its
// modification time; what cannot be trusted is never undone.
#include "id3v1/id3.h"
#include "io/ioerror.h"
#include "journal/digest.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/region.h"
#include "journal/undo.h"
#include "support/tagparts.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/tagfile.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
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
    return apic24("image/png", data);
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

using Outcomes = std::map<std::string, Outcome>;

// The steps an undo takes, by the name of their file.
std::map<std::string, journal::Step> stepsOf(journal::Undo& u) {
    std::map<std::string, journal::Step> steps;
    while (!u.empty() && !u.atEnd()) {
        journal::Step s = u.next();
        steps[std::filesystem::path(s.path).filename()] = s;
    }
    return steps;
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
    void put(std::initializer_list<const char*> names, const Bytes& content) {
        for (const char* name : names)
            writeFile(song(name), content);
    }
    // The model every write of a case puts in: a title, and a comment of size bytes.
    void model(std::string title, size_t commentSize) {
        tag->setText(tag::Prop::Title, title);
        tag->SetComment(withZero("c"), "eng", std::string(commentSize, 'x'), 1);
        v1.Title = title;
    }
    void write(journal::Recording& r, const std::string& name) {
        tagfile::writeTag(*tag, song(name), &v1, tagfile::Header::Read, &r);
    }
    // One action writing the model into the files, in that order.
    void action(std::initializer_list<const char*> names, std::string title, size_t commentSize) {
        model(title, commentSize);
        auto r = record(journal::Kind::Write);
        for (const char* name : names)
            write(*r, name);
    }
    // Undoes the newest action to its end; the outcome of each file, by
    // name (none when there was nothing to undo).
    Outcomes undo() {
        journal::Undo u(journal);
        Outcomes outcomes;
        for (const auto& [name, step] : stepsOf(u))
            outcomes[name] = step.outcome;
        u.finish();
        return outcomes;
    }
};

using Run = std::function<void(Fixture&, journal::Recording&)>;

// A run writing the model into the files, in that order.
Run writes(std::string title, size_t commentSize, std::vector<const char*> names) {
    return [=](Fixture& f, journal::Recording& r) {
        f.model(title, commentSize);
        for (const char* name : names)
            f.write(r, name);
    };
}

// The cases of each table go by their names.
template <class Row> auto operator<<(std::ostream& os, const Row& row) -> decltype(os << row.name) {
    return os << row.name;
}
constexpr auto ByName = [](const auto& info) { return std::string(info.param.name); };

struct Case {
    const char* name;
    journal::Kind kind;
    std::map<std::string, Bytes> songs;
    Run run;
};

const Bytes Audio = audio(30000);
const Bytes Tagged = tag24(text24("TIT2", "Old") + text24("TPE1", "Artist"), 3000);

const Case Cases[] = {
    {"InPlaceWriteOverATrailer",
     journal::Kind::Write,
     {{"a.mp3", Tagged + Audio + trailer("old")}},
     writes("New", 100, {"a.mp3"})},
    {"MovingWriteAppendingATrailer",
     journal::Kind::Write,
     {{"a.mp3", tag24(text24("TIT2", "Old"), 10) + Audio}},
     writes("New", 9000, {"a.mp3"})},
    {"WriteIntoAFileWithoutTags",
     journal::Kind::Write,
     {{"a.mp3", Audio}},
     writes("New", 10, {"a.mp3"})},
    {"KillOfATagWithACover",
     journal::Kind::Kill,
     {{"a.mp3", tag24(text24("TIT2", "Old") + cover(9000), 500) + Audio + trailer("kept")}},
     [](Fixture& f, journal::Recording& r) { tagfile::removeTag(*f.tag, f.song("a.mp3"), &r); }},
    {"WriteForAllOverAnAlbumWithOneCover",
     journal::Kind::Write,
     {{"1.mp3", tag24(text24("TIT2", "One") + cover(20000), 100) + Audio + trailer("1")},
      {"2.mp3", tag24(text24("TIT2", "Two") + cover(20000), 100) + Audio + trailer("2")},
      {"3.mp3", tag24(text24("TIT2", "Three") + cover(20000), 900) + Audio}},
     // The edited file first, then every row: it is written twice.
     writes("Album", 200, {"2.mp3", "1.mp3", "2.mp3", "3.mp3"})},
    {"WriteForAllStoppedHalfWay",
     journal::Kind::Write,
     {{"1.mp3", Tagged + Audio}, {"2.mp3", Tagged + Audio}, {"3.mp3", Tagged + Audio}},
     writes("Album", 20000, {"1.mp3", "1.mp3", "2.mp3"})},
    // The trailer's first byte only looks like one: the new trailer is appended.
    {"TrailerAppendedAfterALoneT",
     journal::Kind::Write,
     {{"a.mp3", Tagged + Audio + bytes("TAX") + repeat(7, 125)}},
     writes("New", 10, {"a.mp3"})},
    {"RenameRunWhoseNamesFollowEachOther",
     journal::Kind::Rename,
     {{"a.mp3", Audio}, {"c.mp3", Tagged + Audio}, {"taken.mp3", Tagged}},
     [](Fixture& f, journal::Recording& r) {
         EXPECT_EQ(tagfile::renameFile(f.songs, "a.mp3", "b.mp3", "1", &r), "b.mp3");
         EXPECT_EQ(tagfile::renameFile(f.songs, "c.mp3", "a.mp3", "2", &r), "a.mp3");
         EXPECT_EQ(tagfile::renameFile(f.songs, "b.mp3", "taken.mp3", "3", &r), "3taken.mp3");
     }},
};

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

INSTANTIATE_TEST_SUITE_P(Actions, UndoesEveryAction, ::testing::ValuesIn(Cases), ByName);

TEST(Undo, TwoWritesOfOneFileUndoneOneAfterTheOther) {
    Fixture f;
    writeFile(f.song("a.mp3"), Tagged + Audio + trailer("old"));
    const Files original = filesIn(f.songs);
    f.action({"a.mp3"}, "First", 10);
    const Files first = filesIn(f.songs);
    f.action({"a.mp3"}, "Second", 8000);
    f.undo();
    EXPECT_EQ(filesIn(f.songs), first);
    f.undo();
    EXPECT_EQ(filesIn(f.songs), original);
}

TEST(Undo, TakesTrashedFilesBackOutOfTheTrash) {
    Fixture f;
    const std::string trash = f.dir.file("Trash/");
    std::filesystem::create_directories(trash + "files");
    std::filesystem::create_directories(trash + "info");
    f.put({"a.mp3", "b.mp3"}, Tagged + Audio);
    const Files before = filesIn(f.songs);
    {
        auto r = f.record(journal::Kind::Trash);
        for (const char* name : {"a.mp3", "b.mp3"}) {
            std::filesystem::rename(f.song(name), trash + "files/" + name);
            writeFile(trash + "info/" + name + ".trashinfo", bytes("[Trash Info]\n"));
            r->trashed(f.song(name), trash + "files/" + name);
        }
        r->finish();
    }
    // b was taken back out by the desktop meanwhile.
    std::filesystem::rename(trash + "files/b.mp3", f.song("b.mp3"));
    EXPECT_EQ(f.undo(), (Outcomes{{"a.mp3", Outcome::Restored}, {"b.mp3", Outcome::AsBefore}}));
    EXPECT_EQ(filesIn(f.songs), before);
    EXPECT_FALSE(std::filesystem::exists(trash + "info/a.mp3.trashinfo"));
    EXPECT_TRUE(journal::Undo(f.journal).empty());
}

TEST(Undo, AFileChangedSinceIsLeftAloneAndListed) {
    Fixture f;
    f.put({"a.mp3", "b.mp3", "c.mp3"}, Tagged + Audio);
    f.action({"a.mp3", "b.mp3", "c.mp3"}, "New", 10);
    // b: rewritten since by another tagger; c: only its time changed.
    Bytes b = readFile(f.song("b.mp3"));
    b[20] ^= 1;
    writeFile(f.song("b.mp3"), b);
    const timespec times[2] = {{0, UTIME_OMIT}, {1000, 0}};
    ::utimensat(AT_FDCWD, f.song("c.mp3").c_str(), times, 0);
    const Files changed = filesIn(f.songs);

    EXPECT_EQ(f.undo(), (Outcomes{{"a.mp3", Outcome::Restored},
                                  {"b.mp3", Outcome::ChangedSince},
                                  {"c.mp3", Outcome::ChangedSince}}));
    EXPECT_EQ(readFile(f.song("a.mp3")), Tagged + Audio);
    EXPECT_EQ(filesIn(f.songs).at("b.mp3"), changed.at("b.mp3"));
    EXPECT_EQ(filesIn(f.songs).at("c.mp3"), changed.at("c.mp3"));
    // Left alone for good: the next undo finds nothing.
    EXPECT_TRUE(journal::Undo(f.journal).empty());
}

// A file is put back only when it is the very file the action changed, and
// the user may still write it; else it is left alone and stays to be undone
// where someone may yet put it right.
struct Tampering {
    const char* name;
    std::function<void(const std::string& song)> tamper;
    Outcome outcome;
    bool denied = false; // the file is made read-only while the undo runs
};

const Tampering Tamperings[] = {
    {"ALinkToAnotherFileInItsPlace",
     [](const std::string& song) {
         std::filesystem::rename(song, song + ".elsewhere");
         std::filesystem::create_symlink(song + ".elsewhere", song);
     },
     Outcome::ChangedSince},
    {"AnotherFileWithTheSameBytes",
     [](const std::string& song) {
         std::filesystem::copy_file(song, song + ".copy");
         std::filesystem::rename(song + ".copy", song);
     },
     Outcome::ChangedSince},
    {"MadeReadOnlyBeforeAnUndoThatMovesTheAudio", [](const std::string&) {}, Outcome::Failed, true},
};

class UndoIsExact : public ::testing::TestWithParam<Tampering> {};

TEST_P(UndoIsExact, AboutTheFileItTouches) {
    const Tampering& t = GetParam();
    Fixture f;
    const std::string a = f.song("a.mp3");
    writeFile(a, Tagged + Audio);
    f.action({"a.mp3"}, "New", 9000); // the audio moves back
    t.tamper(a);
    const Files tampered = filesIn(f.songs);
    {
        std::optional<ReadOnlyGuard> guard;
        if (t.denied) guard.emplace(a);
        journal::Undo u(f.journal);
        ASSERT_EQ(u.steps(), 1u);
        const journal::Step s = u.next();
        EXPECT_EQ(s.outcome, t.outcome);
        EXPECT_EQ(s.message, t.denied ? "File access denied" : "changed since: not undone");
        EXPECT_EQ(u.finish(), !t.denied);
    }
    Files now = filesIn(f.songs);
    if (t.denied) now[std::string("a.mp3")] = tampered.at("a.mp3"); // the guard's mode only
    EXPECT_EQ(now, tampered);
    // Refused as a plain write is, the file stays to be undone.
    EXPECT_EQ(journal::Undo(f.journal).empty(), !t.denied);
    if (t.denied) {
        EXPECT_EQ(f.undo(), (Outcomes{{"a.mp3", Outcome::Restored}}));
    }
}

INSTANTIATE_TEST_SUITE_P(Tamperings, UndoIsExact, ::testing::ValuesIn(Tamperings), ByName);

TEST(Undo, TwoAtOnceLoseNoAction) {
    Fixture f;
    f.put({"a.mp3", "b.mp3"}, Tagged + Audio);
    f.action({"a.mp3", "b.mp3"}, "First", 10);
    f.action({"a.mp3"}, "Second", 20);
    // One undo holds the newest action; a second one takes the one before,
    // finds a.mp3 still as the newest left it, and keeps it for later.
    journal::Undo first(f.journal);
    journal::Undo second(f.journal);
    ASSERT_EQ(second.steps(), 2u);
    auto steps = stepsOf(second);
    EXPECT_EQ(steps["b.mp3"].outcome, Outcome::Restored);
    EXPECT_EQ(steps["a.mp3"].outcome, Outcome::ChangedSince);
    EXPECT_TRUE(steps["a.mp3"].undoable);
    EXPECT_FALSE(second.finish());
    while (!first.atEnd())
        EXPECT_EQ(first.next().outcome, Outcome::Restored);
    EXPECT_TRUE(first.finish());
    EXPECT_EQ(f.undo(), (Outcomes{{"a.mp3", Outcome::Restored}}));
    EXPECT_EQ(readFile(f.song("a.mp3")), Tagged + Audio);
    EXPECT_EQ(readFile(f.song("b.mp3")), Tagged + Audio);
    EXPECT_TRUE(journal::Undo(f.journal).empty());
}

TEST(Recording, AChangeThatNeverTouchedItsFileLeavesNoAction) {
    Fixture f;
    writeFile(f.song("a.mp3"), Tagged + Audio);
    {
        ReadOnlyGuard guard(f.song("a.mp3"));
        auto r = f.record(journal::Kind::Kill);
        EXPECT_THROW(tagfile::removeTag(*f.tag, f.song("a.mp3"), r.get()), io::IoError);
    }
    EXPECT_TRUE(f.journal.files().empty());
}

// A closed action is whole: any damage makes it untrusted. The undo that
// meets it first says so once and sets it aside, and undoes nothing in its
// place; the next undo takes the action before it. Entries that are no
// regular files are no actions: passed over with the warning. Another
// version's action is not this program's to judge: passed over too.
enum class Undone { Newest, Older, Nothing };

using Apply = std::function<void(const std::string& newest, const std::string& folder)>;
struct Damage {
    const char* name;
    Apply apply;
    Undone undone;
};

// The newest action's file edited.
Apply edited(std::function<void(Bytes&)> change) {
    return [change](const std::string& newest, const std::string&) {
        Bytes bytes = readFile(newest);
        change(bytes);
        writeFile(newest, bytes);
    };
}

// An entry named as the newest action that is no regular file.
Apply besideIt(bool pipe) {
    return [pipe](const std::string&, const std::string& folder) {
        const std::string name = folder + "0000000099.action";
        pipe ? void(::mkfifo(name.c_str(), 0600)) : void(std::filesystem::create_directory(name));
    };
}

const Damage Damages[] = {
    {"ByteFlippedInAnEntry", edited([](Bytes& b) { b[b.size() / 2] ^= 0x10; }), Undone::Nothing},
    {"LengthOfTheLastRecordFlipped", edited([](Bytes& b) { b[b.size() - 20] ^= 0x40; }),
     Undone::Nothing},
    {"LastRecordCutShort", edited([](Bytes& b) { b.resize(b.size() - 3); }), Undone::Nothing},
    {"ZerosAfterTheLastRecord", edited([](Bytes& b) { b.resize(b.size() + 4096); }),
     Undone::Nothing},
    {"NotAJournal", edited([](Bytes& b) { b[0] = 'X'; }), Undone::Nothing},
    {"OtherVersion", edited([](Bytes& b) { b[12] = 9; }), Undone::Older},
    // Read no further than the preamble: no time goes into the zeros.
    {"GibibytesOfZerosAfterThePreamble",
     [](const std::string& j, const std::string&) {
         std::filesystem::resize_file(j, 16);
         std::filesystem::resize_file(j, uint64_t{3} << 30);
     },
     Undone::Nothing},
    {"AFolderNamedAsTheNewest", besideIt(false), Undone::Newest},
    {"APipeNamedAsTheNewest", besideIt(true), Undone::Newest},
};

class DamagedJournal : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedJournal, SkipsTheActionWithOneWarning) {
    const Damage& d = GetParam();
    Fixture f;
    f.put({"a.mp3", "b.mp3"}, Tagged + Audio);
    f.action({"a.mp3"}, "New", 10);
    f.action({"b.mp3"}, "New", 10);
    d.apply(f.journal.files().back().path, f.journal.folder());

    f.undo();
    EXPECT_EQ(readFile(f.song("b.mp3")) == Tagged + Audio, d.undone == Undone::Newest);
    EXPECT_EQ(readFile(f.song("a.mp3")) == Tagged + Audio, d.undone == Undone::Older);
    const std::string warning = f.journal.warning();
    EXPECT_EQ(std::count(warning.begin(), warning.end(), '('), 1) << warning;
    // A listing passes over it as well; once set aside, it is met no more.
    EXPECT_EQ(f.journal.actions().size(), d.undone == Undone::Newest ? 2u : 1u);
    if (d.undone == Undone::Nothing) {
        f.undo();
        EXPECT_EQ(readFile(f.song("a.mp3")), Tagged + Audio);
    }
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedJournal, ::testing::ValuesIn(Damages), ByName);

TEST(Journal, NumbersActionsPastTenDigits) {
    Fixture f;
    writeFile(f.song("a.mp3"), Tagged + Audio);
    std::filesystem::create_directory(f.journal.folder());
    writeFile(f.journal.folder() + "9999999999.action", bytes("stray"));
    f.action({"a.mp3"}, "New", 10);
    EXPECT_EQ(f.journal.files().back().name(), "10000000000.action");
    EXPECT_EQ(f.undo(), (Outcomes{{"a.mp3", Outcome::Restored}}));
    EXPECT_EQ(journal::nextSequence("99"), "100");
}

TEST(Journal, KeepsTheNewestActionsWithinItsLimits) {
    Fixture f;
    writeFile(f.song("a.mp3"), Tagged + Audio);
    f.model("New", 10);
    auto runs = [&](journal::Journal& j, int n) {
        for (int i = 0; i < n; ++i)
            f.write(*std::make_unique<journal::Recording>(j, journal::Kind::Write), "a.mp3");
        std::vector<std::string> sequences;
        for (const auto& file : j.files())
            sequences.push_back(file.sequence);
        return sequences;
    };
    journal::Journal three(f.dir.file("three"), {3, uint64_t{1} << 30});
    EXPECT_EQ(runs(three, 5), (std::vector<std::string>{"3", "4", "5"}));
    // Room for two and a half such actions keeps two.
    const uint64_t one = std::filesystem::file_size(three.files().back().path);
    journal::Journal small(f.dir.file("small"), {20, one * 5 / 2});
    EXPECT_EQ(runs(small, 4), (std::vector<std::string>{"3", "4"}));
    // An action larger than the whole limit, and one set aside as damaged,
    // make way first: the healthy ones beside them stay.
    const std::string huge = small.folder() + "0000000001.action";
    writeFile(huge, bytes("damaged"));
    std::filesystem::resize_file(huge, 3 * one);
    writeFile(small.folder() + "0000000002.damaged", bytes("damaged"));
    EXPECT_EQ(runs(small, 1), (std::vector<std::string>{"4", "5"}));
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

// The hashes of a new region's blocks, worked out for one file, serve the
// next file's write of the same region: each gets the blocks its own old
// region differs in, no more.
TEST(Region, NewBlocksKnownBeforeServeTheNextFile) {
    const size_t size = 3 * journal::BlockSize + 100;
    Bytes fresh(size, 7), first(size, 7), second(size, 7);
    first[10] = 1;                          // differs in block 0
    second[2 * journal::BlockSize + 5] = 1; // and in block 2
    std::vector<uint32_t> known, none;
    const auto a = journal::newBlocks(first, fresh, known);
    const auto b = journal::newBlocks(second, fresh, known);
    EXPECT_EQ(b, journal::newBlocks(second, fresh, none));
    const uint32_t h0 = journal::blockHash(std::span(fresh).first(journal::BlockSize));
    const uint32_t h2 =
        journal::blockHash(std::span(fresh).subspan(2 * journal::BlockSize, journal::BlockSize));
    EXPECT_EQ(a, (std::vector<uint32_t>{h0, 0, 0, 0}));
    EXPECT_EQ(b, (std::vector<uint32_t>{0, 0, h2, 0}));
}
