// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Every write path of the core (and the reads that feed them) under failing
// file system calls: each call of each kind fails in turn, is cut short, or
// finds the file changed under it. Whatever fails, the caller gets an
// io::IoError in the user's words, the file keeps its audio (and a file that
// is replaced stays byte-identical), no temporary file is left, and nothing
// else in the folder changes. A run that the fault does not stop must give
// the right result.
#include "faults/faultshim.h"
#include "faults/scenarios.h"
#include "io/ioerror.h"
#include "io/replacement.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/undo.h"
#include "tagengine/zurur24.h"
#include "tagfile/batch.h"
#include "tagfile/tagfile.h"

#include <gtest/gtest.h>

using namespace testing_support;
using faults::Op;
using faults::Plan;

namespace {

// One way of failing a kind of call.
struct Fault {
    Op op;
    int error = 0;          // 0: the call runs (cut short, or with an action before it)
    bool sticky = false;    // later calls of the kind fail too
    bool shortCall = false; // half the bytes, and the caller must go on
    const char* label = "";
};

const Fault Faults[] = {
    {Op::Open, EACCES, false, false, "open denied"},
    {Op::Open, ENOENT, false, false, "open finds nothing"},
    {Op::Stat, EIO, false, false, "stat fails"},
    {Op::Read, EIO, false, false, "read fails"},
    {Op::Read, 0, false, true, "short read"},
    {Op::Write, ENOSPC, true, false, "disk full"},
    {Op::Write, EDQUOT, true, false, "quota exceeded"},
    {Op::Write, EIO, false, false, "write fails"},
    {Op::Write, 0, false, true, "short write"},
    {Op::Copy, EIO, false, false, "kernel copy fails"},
    {Op::Copy, ENOSPC, true, false, "kernel copy finds the disk full"},
    {Op::Copy, EXDEV, true, false, "no kernel copy between these files"},
    {Op::Copy, 0, false, true, "short kernel copy"},
    {Op::Sync, EIO, false, false, "flush fails"},
    {Op::Sync, ENOSPC, false, false, "flush finds the disk full"},
    {Op::Close, EIO, false, false, "close fails"},
    {Op::Truncate, EIO, false, false, "truncate fails"},
    {Op::Chmod, EPERM, false, false, "permission bits refused"},
    {Op::Chown, EIO, false, false, "owner change fails"},
    {Op::Rename, EACCES, false, false, "rename denied"},
    {Op::Rename, EIO, false, false, "rename fails"},
    {Op::Rename, EACCES, true, false, "rename always denied"},
    {Op::RenameNoReplace, EACCES, false, false, "no-replace rename denied"},
    {Op::RenameNoReplace, EIO, true, false, "no-replace rename always fails"},
    {Op::RenameNoReplace, EINVAL, true, false, "no no-replace rename here"},
    {Op::Link, EIO, false, false, "link fails"},
    {Op::Link, EPERM, true, false, "no hard links here"},
    {Op::Unlink, EIO, false, false, "remove fails"},
    {Op::Mkdir, EACCES, false, false, "folder creation denied"},
};

// The operation run with the plan under test armed first (the one fired()
// reports), then the scenario's own: its error ("" for none), and whether the
// plan met its call.
std::pair<std::string, bool> runArmed(const Scenario& s, const Prepared& run, Plan plan) {
    std::vector<Plan> plans{std::move(plan)};
    plans.insert(plans.end(), s.extra.begin(), s.extra.end());
    faults::Armed armed(std::move(plans));
    std::string error = errorOf(run.operation);
    return {std::move(error), faults::fired()};
}

// Errors that are not errors: the code takes another way and must succeed.
bool recoverable(const Fault& f) {
    return f.shortCall || (f.op == Op::Copy && f.error == EXDEV) ||
           (f.op == Op::RenameNoReplace && f.error == EINVAL) ||
           (f.op == Op::Link && f.error == EPERM);
}

class EveryCallFails : public ::testing::TestWithParam<const Scenario*> {};

TEST_P(EveryCallFails, ErrorInTheUsersWordsAndNothingLost) {
    const Scenario& s = *GetParam();
    int runs = 0, failures = 0;
    for (const Fault& f : Faults) {
        // Where a missing file is made anew, "not found" is no fault.
        if (f.op == Op::Open && f.error == ENOENT && !s.traits.needsTarget) continue;
        for (int nth = 1; nth <= 64; ++nth) {
            SCOPED_TRACE(std::string(s.name) + ": " + f.label + " at call " + std::to_string(nth) +
                         " of " + faults::name(f.op));
            TempDir dir;
            Prepared run = s.prepare(dir);
            const Snapshot before = snapshot(dir.path());
            const auto [error, fired] =
                runArmed(s, run, Plan{f.op, nth, f.error, f.sticky, f.shortCall, {}});
            if (!fired && error.empty()) break; // the operation makes fewer such calls
            ++runs;
            if (error.empty()) {
                EXPECT_EQ(errorOf([&] { run.checkDone(dir, before); }), "");
                continue;
            }
            ++failures;
            EXPECT_FALSE(recoverable(f)) << "failed with " << error;
            EXPECT_EQ(error, s.wordsFor(f.error, dir));
            EXPECT_EQ(errorOf([&] { run.checkFailed(dir, before); }), "");
            if (::testing::Test::HasFailure()) return; // one broken case tells enough
        }
    }
    // Every scenario makes calls that can fail.
    EXPECT_GT(failures, 0);
    RecordProperty("runs", runs);
}

INSTANTIATE_TEST_SUITE_P(Paths, EveryCallFails, ::testing::ValuesIn(allScenarios()),
                         [](const auto& info) { return std::string(info.param->id); });

// Another process truncates the file while the operation reads it: the read
// comes up short and says so; the operation changes nothing of its own.
class FileTruncatedWhileRead : public ::testing::TestWithParam<const Scenario*> {};

TEST_P(FileTruncatedWhileRead, ReadBeyondEndOfFile) {
    const Scenario& s = *GetParam();
    int reported = 0;
    for (Op op : {Op::Read, Op::Copy}) {
        for (int nth = 1; nth <= 16; ++nth) {
            SCOPED_TRACE(std::string(s.name) + ": truncated before call " + std::to_string(nth) +
                         " of " + faults::name(op));
            TempDir dir;
            Prepared run = s.prepare(dir);
            const std::string victim = dir.file(s.target);
            Snapshot before = snapshot(dir.path());
            Bytes& file = before[s.target].bytes;
            file.resize(file.size() / 2);
            const auto [error, fired] =
                runArmed(s, run, Plan{op, nth, 0, false, false, [&] { writeFile(victim, file); }});
            if (!fired) break;
            if (error.empty()) continue; // the bytes needed were read before the cut
            ++reported;
            EXPECT_EQ(error, "Read beyond end of file");
            // The file as the other process left it, and nothing beside it.
            EXPECT_EQ(errorOf([&] { run.checkFailed(dir, before); }), "");
            if (::testing::Test::HasFailure()) return;
        }
    }
    if (s.traits.readsTarget) {
        EXPECT_GT(reported, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, FileTruncatedWhileRead, ::testing::ValuesIn(allScenarios()),
                         [](const auto& info) { return std::string(info.param->id); });

// The new file reaches the disk before its name does: without that flush a
// crash could leave the name on a file whose bytes were never written.
TEST(SafeReplace, FlushesTheNewFileBeforeTheRename) {
    TempDir dir;
    io::ReplacementFile replacement(dir.file("data.bin"));
    replacement.file().writeAt("new", 3, 0);
    bool flushed = false, flushedFirst = false;
    {
        faults::Armed armed({{Op::Sync, 1, 0, false, false, [&] { flushed = true; }},
                             {Op::Rename, 1, 0, false, false, [&] { flushedFirst = flushed; }}});
        replacement.commit();
    }
    EXPECT_TRUE(flushedFirst);
    EXPECT_EQ(readFile(dir.file("data.bin")), bytes("new"));
}

// A batch's outcomes gathered: the error each file is told ("" for none), in order.
tagfile::Batch::Outcome collect(std::vector<std::string>& errors) {
    return [&errors](size_t, std::exception_ptr error) {
        errors.push_back(error ? errorOf([&] { std::rethrow_exception(error); }) : "");
    };
}

// A batch run's parts: a folder, its journal, the model (a new title) and
// the errors the files are told.
struct BatchRun {
    BatchRun() { tag.setText(tag::Prop::Title, "New"); }
    TempDir dir;
    journal::Journal journal{dir.file("journal")};
    ID3v24 tag;
    std::vector<std::string> errors;

    std::string path(size_t i) const { return dir.file(std::to_string(i) + ".mp3"); }
    // File i's first bytes: a frame of its own (none kept once for another).
    static Bytes song(size_t i, size_t frame) {
        return tag24(frame24("PRIV", bytes("me") + Bytes{0} + repeat(uint8_t(i), frame)), 500) +
               audio(3000);
    }
    void make(size_t files, size_t frame) const {
        for (size_t i = 0; i < files; ++i)
            writeFile(path(i), song(i, frame));
    }
    void plan(tagfile::Batch& batch, size_t files) {
        for (size_t i = 0; i < files; ++i)
            batch.planWrite(tag, path(i), nullptr, {}, i);
    }
    // Undoes the newest action, if there is one, every file of it put back
    // and the journal without a warning; its steps.
    size_t undoNewest() {
        journal::Undo undo(journal);
        const size_t steps = undo.empty() ? 0 : undo.steps();
        while (!undo.empty() && !undo.atEnd())
            EXPECT_EQ(undo.next().outcome, journal::Outcome::Restored);
        EXPECT_TRUE(journal.warning().empty()) << journal.warning();
        undo.finish();
        return steps;
    }
};

// A batch's changes reach the disk before any of its files is touched. When
// the journal's flush fails, every file of the batch stays as it was and is
// told the error; also when every record went out before the flush (the
// last file's frames of 100 KiB fill a part). Records go out in parts before
// the flush: a part that fails, or the flush after it, fails as the flush
// does; the next file is recorded and written (its undo puts it back).
TEST(Batch, NoFileTouchedUntilItsRecordsAreOnTheDisk) {
    struct Case {
        Op op;
        int nth, error;
        size_t files, frame, failed;
    };
    for (const Case& c : {Case{Op::Sync, 1, EIO, 3, 3, 3}, Case{Op::Sync, 1, EIO, 3, 100 << 10, 3},
                          Case{Op::Write, 1, ENOSPC, 4, 100 << 10, 3},
                          Case{Op::Write, 2, ENOSPC, 4, 100 << 10, 4}}) {
        SCOPED_TRACE(testing::Message() << faults::name(c.op) << " " << c.nth << " " << c.frame);
        BatchRun run;
        run.make(c.files, c.frame);
        {
            journal::Recording recording(run.journal, journal::Kind::Write);
            tagfile::Batch batch(&recording, collect(run.errors));
            faults::Armed armed({{c.op, c.nth, c.error, false, false, {}}});
            run.plan(batch, c.files);
            batch.flush();
        }
        std::vector<std::string> told(c.failed, wordsFor(c.error));
        told.resize(c.files, "");
        EXPECT_EQ(run.errors, told);
        for (size_t i = 0; i < c.files; ++i)
            EXPECT_EQ(readFile(run.path(i)) == run.song(i, c.frame), i < c.failed) << i;
        EXPECT_EQ(run.undoNewest(), c.failed < c.files ? 1u : 0u);
        for (size_t i = 0; i < c.files; ++i)
            EXPECT_TRUE(readFile(run.path(i)) == run.song(i, c.frame)) << i;
    }
}

// A batch's flush runs while the next batch is read and planned. When the
// second batch's flush fails, its files stay as they were and are told; the
// first batch is written, and the third too unless the run stops at an error
// (a file whose plan raised has the files before it written, as the window
// and quillet-tag do: that writes nothing more after the stop). A stop asked
// while the second batch is written leaves it and the third untouched, though
// the window writes what it planned when the stop comes while it plans.
TEST(Batch, AFlushThatFailsOrAStopWhileTheNextBatchIsPlanned) {
    enum Case { FlushFails, FlushFailsAndStops, StopWhileWriting };
    for (const Case c : {FlushFails, FlushFailsAndStops, StopWhileWriting}) {
        SCOPED_TRACE(c);
        BatchRun run;
        run.make(9, 3 << 20); // frames of 3 MiB: a batch holds three files
        journal::Recording recording(run.journal, journal::Kind::Write);
        int asked = 0; // the fourth file to be written is stopped, once
        tagfile::Batch::Options options{.stopAtError = c == FlushFailsAndStops};
        if (c == StopWhileWriting) options.stopRequested = [&] { return ++asked == 4; };
        {
            tagfile::Batch batch(&recording, collect(run.errors), options);
            faults::Armed armed({{Op::Sync, 2, c == StopWhileWriting ? 0 : EIO, false, false, {}}});
            try {
                run.plan(batch, 9);
                batch.flush();
                EXPECT_NE(c, FlushFailsAndStops);
            } catch (const io::IoError&) {
                EXPECT_EQ(c, FlushFailsAndStops);
                batch.flush();
            }
        }
        recording.finish();
        const std::string no = wordsFor(EIO);
        std::vector<std::string> told = {"", "", ""};
        if (c != StopWhileWriting) told.insert(told.end(), 3, no);
        if (c == FlushFails) told.insert(told.end(), 3, "");
        EXPECT_EQ(run.errors, told);
        for (size_t i = 0; i < 9; ++i)
            EXPECT_EQ(readFile(run.path(i)) == run.song(i, 3 << 20),
                      i >= 3 && (i < 6 || c != FlushFails))
                << i;
        // The undo puts back the files written, and only those.
        run.undoNewest();
        for (size_t i = 0; i < 9; ++i)
            EXPECT_TRUE(readFile(run.path(i)) == run.song(i, 3 << 20)) << i;
    }
}

// A batch whose journal record did not fit on the disk leaves its files as
// they were, and the next batch records the frames it shares with that one
// anew: its undo finds every byte it needs.
TEST(Batch, ABatchTheJournalLostIsRecordedAnewByTheNext) {
    BatchRun run;
    auto& [dir, journal, tag, errors] = run;
    const Bytes song =
        tag24(frame24("PRIV", bytes("me") + Bytes{0} + repeat(0x5A, 6000)), 500) + audio(3000);
    writeFile(dir.file("a.mp3"), song);
    writeFile(dir.file("b.mp3"), song);
    {
        journal::Recording recording(journal, journal::Kind::Write);
        tagfile::Batch batch(&recording, collect(errors));
        batch.planWrite(tag, dir.file("a.mp3"), nullptr, {}, 0);
        {
            faults::Armed armed({{Op::Write, 1, ENOSPC, false, false, {}}});
            batch.flush();
        }
        batch.planWrite(tag, dir.file("b.mp3"), nullptr, {}, 1);
        batch.flush();
        recording.finish();
    }
    EXPECT_EQ(errors, (std::vector<std::string>{wordsFor(ENOSPC), ""}));
    EXPECT_TRUE(readFile(dir.file("a.mp3")) == song);
    EXPECT_FALSE(readFile(dir.file("b.mp3")) == song);
    EXPECT_EQ(run.undoNewest(), 1u);
    EXPECT_TRUE(readFile(dir.file("b.mp3")) == song);
}

// An action ends without a flush where its changes were flushed before they
// were made; a rename, which no content tells apart, is flushed at the end.
TEST(Batch, AnActionEndsFlushedWhereOnlyItsRecordsTellWhatItDid) {
    for (const bool rename : {false, true}) {
        SCOPED_TRACE(rename);
        TempDir dir;
        writeFile(dir.file("a.mp3"), tag24(frame24("TIT2", Bytes{0} + bytes("Old")), 500));
        journal::Journal journal(dir.file("journal"));
        journal::Recording recording(journal, journal::Kind::Rename);
        if (rename) {
            recording.renamed(recording.renaming(dir.path() + "/", "a.mp3"), "b.mp3");
        } else {
            ID3v24 tag;
            tagfile::writeTag(tag, dir.file("a.mp3"), nullptr, tagfile::Header::Read, &recording);
        }
        faults::Armed armed({{Op::Sync, 1, EIO, false, false, {}}});
        if (rename)
            EXPECT_THROW(recording.finish(), io::IoError);
        else
            EXPECT_NO_THROW(recording.finish());
    }
}

} // namespace
