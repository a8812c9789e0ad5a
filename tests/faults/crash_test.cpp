// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The undo journal against crashes: journaled runs and their undos are
// killed at every file system call in turn, right after a write cut short,
// and (quillet-tag itself) at random instants of a large write, in a child
// that dies on the spot, with no clean-up, no destructor and no flush of its
// own. The recovery then leaves every file whole, old or new, and nothing of
// the killed run behind; the next undo gives back every file byte for byte.
#include "commands.h"
#include "faults/faultshim.h"
#include "id3v1/id3.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/recovery.h"
#include "journal/undo.h"
#include "runfiles.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/tagfile.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace testing_support;
using faults::Op;

namespace {

constexpr int Crashed = 77;

using Files = std::map<std::string, Bytes>; // by name in the songs folder

Bytes trailer(char title) {
    Bytes t = bytes("TAG") + repeat(0, 125);
    t[3] = static_cast<uint8_t>(title);
    return t;
}

// A tag with a frame the model does not hold, which every write keeps.
Bytes tagOf(size_t priv, size_t padding) {
    Bytes data = bytes("owner") + Bytes{0};
    for (size_t i = 0; i < priv; ++i)
        data.push_back(static_cast<uint8_t>(i * 7 + i / 251));
    return tag24(frame24("TIT2", latin1("Old")) + frame24("PRIV", data), padding);
}

struct Folder {
    TempDir dir;
    std::string songs = dir.file("songs/");
    std::string program = dir.file("program/");
    explicit Folder(const Files& files) {
        std::filesystem::create_directories(songs);
        for (const auto& [name, bytes] : files)
            writeFile(songs + name, bytes);
    }
    journal::Journal journal() const { return journal::Journal(program + "journal"); }
    Files now() const {
        Files files;
        for (const auto& e : std::filesystem::directory_iterator(songs))
            files[e.path().filename()] = readFile(e.path());
        return files;
    }
};

// A run that is killed, and what it leaves when it is not.
struct Scene {
    const char* name;
    Files start;                                     // the files as the scene begins
    std::function<void(const Folder&)> ready = {};   // run before the step, never killed
    std::function<void(const Folder&)> step;         // the run killed
    std::map<std::string, std::string> renamed = {}; // names the step gives files
};

// Runs the step in a child that dies as plan says; false when the child ran
// to its end without meeting the planned call.
bool crashed(faults::Plan plan, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        faults::arm({std::move(plan)});
        try {
            work();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return WIFEXITED(status) && WEXITSTATUS(status) == Crashed;
}

// Every action of the journal undone, newest first.
void undoAll(const Folder& f) {
    journal::Journal j = f.journal();
    for (;;) {
        journal::Undo undo(j);
        if (undo.empty()) break;
        while (!undo.atEnd())
            EXPECT_NE(undo.next().outcome, journal::Outcome::Failed);
        EXPECT_TRUE(undo.finish());
    }
    EXPECT_EQ(j.warning(), "");
}

// The scene's files after the step ran whole.
Files whole(const Scene& s) {
    Folder f(s.start);
    if (s.ready) s.ready(f);
    const Files before = f.now();
    s.step(f);
    Files after = f.now();
    for (const auto& [from, to] : s.renamed)
        after[from] = after.at(to), after.erase(to);
    EXPECT_NE(after, before) << s.name;
    return after;
}

// quillet-tag's picture folders ("quillet-tag-PID-XXXXXX") go to the
// temporary folder; those of killed runs are removed at the next start.
void expectNoPictureFolder() {
    for (const std::string& name : listFolder(std::getenv("TMPDIR")))
        EXPECT_NE(name.rfind("quillet-tag-", 0), 0u) << "a picture folder is left";
}

// After a crash and the recovery: each file holds what it held before the
// step or after it, whole; nothing of the killed run is left behind.
void expectOldOrNew(const Folder& f, const Files& old, const Files& done, const Scene& s) {
    Files now = f.now();
    for (const auto& [from, to] : s.renamed)
        if (now.count(to)) now[from] = now.at(to), now.erase(to);
    ASSERT_EQ(now.size(), old.size()) << "a file appeared or vanished";
    for (const auto& [name, bytes] : now)
        EXPECT_TRUE(bytes == old.at(name) || bytes == done.at(name)) << name << " is mixed";
    expectNoPictureFolder();
    for (const auto& file : f.journal().files())
        EXPECT_NE(file.state, journal::ActionFile::State::Open) << file.path;
}

// The tests' folders, and the picture folders of the runs, go into a
// temporary folder of the test's own: on a tmpfs when the machine offers one,
// as a kill loses nothing the page cache holds and flushes prove nothing here.
class Crash : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* t = std::getenv("TMPDIR")) m_saved = t;
        if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
        m_own = std::make_unique<TempDir>();
        ::setenv("TMPDIR", m_own->path().c_str(), 1);
    }
    void TearDown() override {
        m_saved.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", m_saved.c_str(), 1);
        m_own.reset();
    }

private:
    std::string m_saved;
    std::unique_ptr<TempDir> m_own;
};

const Op Calls[] = {Op::Open,   Op::Stat,  Op::Read,     Op::Write,          Op::Copy,
                    Op::Sync,   Op::Close, Op::Truncate, Op::Chmod,          Op::Rename,
                    Op::Unlink, Op::Mkdir, Op::Link,     Op::RenameNoReplace};

// Kills the step at every call of every kind, and right after every write
// that moved only half its bytes, each time in a fresh folder; after each,
// the recovery leaves every file old or new, and undoing everything gives
// back the files the scene began with. Returns the number of kills.
int crashEverywhere(const Scene& s) {
    const Files done = whole(s);
    const auto die = [] { ::_exit(Crashed); };
    std::vector<std::pair<std::string, std::function<faults::Plan(int)>>> points;
    for (Op op : Calls)
        points.emplace_back(faults::name(op),
                            [=](int n) { return faults::Plan{op, n, 0, false, false, die}; });
    points.emplace_back("torn write", [=](int n) {
        return faults::Plan{Op::Write, n, 0, false, true, {}, die, true};
    });
    int crashes = 0;
    for (const auto& [what, plan] : points) {
        for (int nth = 1;; ++nth) {
            SCOPED_TRACE(std::string(s.name) + ": killed at call " + std::to_string(nth) + " of " +
                         what);
            Folder f(s.start);
            if (s.ready) s.ready(f);
            const Files old = f.now();
            if (!crashed(plan(nth), [&] { s.step(f); })) break;
            ++crashes;
            cli::Args args;
            args.programFolder = f.program;
            cli::recoverAtStart(args);
            expectOldOrNew(f, old, done, s);
            undoAll(f);
            EXPECT_EQ(f.now(), s.start);
            if (::testing::Test::HasFailure()) return crashes;
        }
    }
    return crashes;
}

// ---- the core's runs, as the window makes them

// Three files a "Write for all" meets: a tag the new one fits into, one it
// outgrows (the audio moves), and a file without tags; and a rename.
const Files Songs = {
    {"fits.mp3", tag24(frame24("TIT2", latin1("Old")), 4000) + audio(20000) + trailer('x')},
    {"grows.mp3", tag24(frame24("TIT2", latin1("Old")), 10) + audio(20000)},
    {"plain.mp3", audio(20000)},
};

// The run: every song written with a tag that needs 3000 bytes, then one renamed.
void writeForAll(const Folder& f) {
    journal::Journal j = f.journal();
    auto tag = std::make_unique<ID3v24>();
    tag->setText(tag::Prop::Title, std::string(3000, 't'));
    Id3v1 v1;
    v1.Title = "New";
    {
        auto r = std::make_unique<journal::Recording>(j, journal::Kind::Write);
        for (const auto& [name, bytes] : Songs)
            tagfile::writeTag(*tag, f.songs + name, &v1, tagfile::Header::Read, r.get());
        r->finish();
    }
    auto r = std::make_unique<journal::Recording>(j, journal::Kind::Rename);
    tagfile::renameFile(f.songs, "plain.mp3", "renamed.mp3", "1", r.get());
    r->finish();
}

TEST_F(Crash, AtAnyCallOfARunTheRecoveryAndTheUndoGiveBackEveryFile) {
    const int kills =
        crashEverywhere({"Write for all", Songs, {}, writeForAll, {{"plain.mp3", "renamed.mp3"}}});
    EXPECT_GT(kills, 60);
    RecordProperty("kills", kills);
}

TEST_F(Crash, AtAnyCallOfAnUndoTheNextUndoFinishesIt) {
    const int kills =
        crashEverywhere({"undo", Songs, writeForAll, undoAll, {{"renamed.mp3", "plain.mp3"}}});
    EXPECT_GT(kills, 100);
    RecordProperty("kills", kills);
}

// ---- quillet-tag's commands, killed as they run

cli::Args argsFor(const Folder& f, std::vector<std::string> assignments = {}) {
    cli::Args args;
    args.files = {f.songs + "a.mp3", f.songs + "b.mp3"};
    args.assignments = std::move(assignments);
    args.programFolder = f.program;
    return args;
}

// A command run on both songs.
std::function<void(const Folder&)> command(int (*run)(const cli::Args&),
                                           std::vector<std::string> assignments = {}) {
    return [=](const Folder& f) { run(argsFor(f, assignments)); };
}

// write reads its tag from standard input.
std::function<void(const Folder&)> writeCommand(const std::string& json) {
    return [json](const Folder& f) {
        writeFile(f.dir.file("tag.json"), bytes(json));
        ASSERT_NE(std::freopen(f.dir.file("tag.json").c_str(), "r", stdin), nullptr);
        std::cin.clear();
        cli::write(argsFor(f));
    };
}

const std::string LongTitle(3000, 'L');
const std::string WriteJson =
    R"({"texts": {"Title": "New"}, "id3v1": {"Title": "New", "Genre": "Rock"}})";
const std::string GrowingWriteJson =
    R"({"texts": {"Title": ")" + LongTitle + R"("}, "id3v1": {"Title": "Grown"}})";

Files pair(const Bytes& song) {
    return {{"a.mp3", song}, {"b.mp3", song}};
}
const Bytes Roomy = tagOf(20000, 30000) + audio(40000) + trailer('o');
const Bytes Tight = tagOf(100, 10) + audio(40000);

const auto setGrowing = command(cli::set, {"Title=" + LongTitle});
const auto undo = command(cli::undo);

TEST_F(Crash, QuilletTagKilledAtAnyCall) {
    const Scene scenes[] = {
        {"set in place", pair(Roomy), nullptr, command(cli::set, {"Title=New title"})},
        {"set moving the audio", pair(Tight), nullptr, setGrowing},
        {"write in place with the trailer", pair(Roomy), nullptr, writeCommand(WriteJson)},
        {"write moving the audio, trailer appended", pair(Tight), nullptr,
         writeCommand(GrowingWriteJson)},
        {"kill", pair(Roomy), nullptr, command(cli::kill)},
        {"undo in place", pair(Roomy), writeCommand(WriteJson), undo},
        {"undo moving the audio back", pair(Tight), setGrowing, undo},
    };
    int crashes = 0;
    for (const Scene& s : scenes)
        crashes += crashEverywhere(s);
    EXPECT_GT(crashes, 200);
    RecordProperty("kills", crashes);
}

// quillet-tag itself, killed at random instants of a run that writes a large
// tag in place (the old region goes to the journal, then the new one over it
// in one call) or undoes it; then started again, which recovers first.
int quilletTag(const Folder& f, std::vector<std::string> args, bool wait = true) {
    args.insert(args.begin(), QUILLET_TAG_BIN);
    args.insert(args.end(), {"--program-folder", f.program});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (!wait) return child;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(Crash, QuilletTagKilledAtRandomInstantsOfALargeWrite) {
    const Bytes song = tagOf(8 << 20, 4096) + audio(4096);
    std::mt19937 random(20261208);
    int kills = 0, cut = 0;
    for (const bool undoing : {false, true}) {
        Bytes done;
        std::chrono::steady_clock::duration span{};
        for (int round = 0; round <= 8; ++round) {
            SCOPED_TRACE((undoing ? "undo, round " : "set, round ") + std::to_string(round));
            Folder f({{"a.mp3", song}});
            const std::string a = f.songs + "a.mp3";
            const std::vector<std::string> set = {"set", a, "Title=New"};
            if (undoing) {
                ASSERT_EQ(quilletTag(f, set), 0);
            }
            const Bytes before = readFile(a);
            const auto started = std::chrono::steady_clock::now();
            const pid_t child =
                quilletTag(f, undoing ? std::vector<std::string>{"undo"} : set, false);
            if (round > 0) {
                // Within the time a whole run took here and now.
                std::this_thread::sleep_until(
                    started + span * std::uniform_int_distribution<int>(0, 999)(random) / 1000);
                ::kill(child, SIGKILL);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            if (round == 0) {
                span = std::chrono::steady_clock::now() - started;
                done = readFile(a);
                continue;
            }
            ++kills;
            const Bytes killed = readFile(a);
            cut += killed != before && killed != done;
            ASSERT_EQ(quilletTag(f, {"recover"}), 0);
            const Bytes now = readFile(a);
            EXPECT_TRUE(now == before || now == done) << "mixed after the recovery";
            expectNoPictureFolder();
            for (int undo = 0; undo < 2 && readFile(a) != song; ++undo)
                quilletTag(f, {"undo"});
            EXPECT_TRUE(readFile(a) == song);
        }
    }
    RecordProperty("kills", kills);
    RecordProperty("cut short", cut);
}

} // namespace
