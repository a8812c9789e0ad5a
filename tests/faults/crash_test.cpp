// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The undo journal against crashes: a journaled run, and then its undo, are
// killed at every file system call in turn (a child process that dies on the
// spot, with no clean-up, no destructor and no flush of its own). Whatever
// the moment, the next undo gives back every file byte for byte.
#include "faults/faultshim.h"
#include "id3v1/id3.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/undo.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/tagfile.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;
using faults::Op;

namespace {

constexpr int Crashed = 77;

// Three files a "Write for all" meets: a tag the new one fits into, one it
// outgrows (the audio moves), and a file without tags; and a rename.
const std::map<std::string, Bytes> Songs = {
    {"fits.mp3", tag24(frame24("TIT2", latin1("Old")), 4000) + audio(20000) +
                     [] {
                         Bytes t = bytes("TAG") + repeat(0, 125);
                         t[3] = 'x';
                         return t;
                     }()},
    {"grows.mp3", tag24(frame24("TIT2", latin1("Old")), 10) + audio(20000)},
    {"plain.mp3", audio(20000)},
};

struct Folder {
    TempDir dir;
    std::string songs = dir.file("songs/");
    Folder() {
        std::filesystem::create_directory(songs);
        for (const auto& [name, bytes] : Songs)
            writeFile(songs + name, bytes);
    }
    journal::Journal journal() const { return journal::Journal(dir.file("journal")); }
    // The songs as they are now, by their names before the run.
    std::map<std::string, Bytes> now() const {
        std::map<std::string, Bytes> files;
        for (const auto& [name, bytes] : Songs)
            files[name] = exists(songs + name) ? readFile(songs + name) : Bytes{};
        return files;
    }
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

// Runs work in a child that dies at the nth call of op; false when the child
// ran to its end without meeting that call.
bool crashed(Op op, int nth, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        faults::arm({{op, nth, 0, false, false, [] { ::_exit(Crashed); }}});
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

const Op Calls[] = {Op::Open,   Op::Stat,  Op::Read,     Op::Write,          Op::Copy,
                    Op::Sync,   Op::Close, Op::Truncate, Op::Chmod,          Op::Rename,
                    Op::Unlink, Op::Mkdir, Op::Link,     Op::RenameNoReplace};

// Crashes `step` at every call of every kind, each time in a fresh folder
// made ready by `ready`; after each crash an undo must give back every file.
int crashEverywhere(const std::function<void(const Folder&)>& ready,
                    const std::function<void(const Folder&)>& step) {
    int crashes = 0;
    for (Op op : Calls) {
        for (int nth = 1;; ++nth) {
            SCOPED_TRACE(std::string("crash at call ") + std::to_string(nth) + " of " +
                         faults::name(op));
            Folder f;
            ready(f);
            if (!crashed(op, nth, [&] { step(f); })) break;
            ++crashes;
            undoAll(f);
            EXPECT_EQ(f.now(), Songs);
            if (::testing::Test::HasFailure()) return crashes;
        }
    }
    return crashes;
}

TEST(Crash, AtAnyCallOfARunTheUndoGivesBackEveryFile) {
    EXPECT_GT(crashEverywhere([](const Folder&) {}, writeForAll), 60);
}

TEST(Crash, AtAnyCallOfAnUndoTheNextUndoFinishesIt) {
    EXPECT_GT(crashEverywhere(writeForAll, undoAll), 100);
}

} // namespace
