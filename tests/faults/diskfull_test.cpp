// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The same operations on a real file system that fills up (a small tmpfs),
// and on files that become read-only or vanish between the header read and
// the write.
#include "faults/scenarios.h"
#include "io/ioerror.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;

namespace {

// TMPDIR pointed elsewhere for the life of the object, so TempDir lands there.
class TmpDirSetTo {
public:
    explicit TmpDirSetTo(const std::string& folder) {
        if (const char* old = std::getenv("TMPDIR")) m_old = old;
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TmpDirSetTo() {
        if (m_old.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", m_old.c_str(), 1);
    }

private:
    std::string m_old;
};

// Fills the disk to the last byte, then gives back about free bytes.
void fillLeaving(const std::string& filler, size_t free) {
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    const std::vector<uint8_t> block(64 * 1024, 0x55);
    off_t size = 0;
    for (;;) {
        const ssize_t put = ::write(fd, block.data(), block.size());
        if (put <= 0) break;
        size += put;
    }
    for (ssize_t put = 1; put > 0;) { // the last partial block
        put = ::write(fd, block.data(), 1);
        if (put > 0) size += put;
    }
    ASSERT_EQ(
        ::ftruncate(fd, size > static_cast<off_t>(free) ? size - static_cast<off_t>(free) : 0), 0);
    ::close(fd);
}

class DiskFills : public ::testing::TestWithParam<const Scenario*> {};

TEST_P(DiskFills, DiskFullAndNothingLost) {
    const Scenario& s = *GetParam();
    TempDir outer;
    SmallDisk disk(outer.file("disk"), 8 << 20);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    bool full = false;
    bool done = false;
    for (size_t free : {0, 4096, 65536, 262144, 1 << 20, 2 << 20, 4 << 20}) {
        SCOPED_TRACE(std::string(s.name) + " with " + std::to_string(free) + " bytes free");
        std::unique_ptr<TempDir> dir;
        std::unique_ptr<Prepared> run;
        {
            TmpDirSetTo onDisk(disk.path());
            dir = std::make_unique<TempDir>();
            run = std::make_unique<Prepared>(s.prepare(*dir));
        }
        fillLeaving(disk.path() + "filler", free);
        const Snapshot before = snapshot(dir->path());
        const std::string error = errorOf(run->operation);
        if (error.empty()) {
            done = true;
            EXPECT_EQ(errorOf([&] { run->checkDone(*dir, before); }), "");
        } else {
            full = true;
            EXPECT_EQ(error, s.wordsFor(ENOSPC, *dir));
            EXPECT_EQ(errorOf([&] { run->checkFailed(*dir, before); }), "");
        }
        std::filesystem::remove(disk.path() + "filler");
        dir.reset();
        if (done || ::testing::Test::HasFailure()) break;
    }
    EXPECT_TRUE(done) << "never succeeded, even with room";
    // Writes over bytes the file already has need no room; the others must
    // have met the full disk at least once.
    EXPECT_EQ(full, s.traits.needsRoom);
}

INSTANTIATE_TEST_SUITE_P(Paths, DiskFills, ::testing::ValuesIn(allScenarios()),
                         [](const auto& info) { return std::string(info.param->id); });

// Between the read that found the tag and the write, the file becomes
// read-only or goes away: the write is refused in the user's words and
// nothing appears or changes.
class FileChangedBeforeTheWrite : public ::testing::TestWithParam<const Scenario*> {};

TEST_P(FileChangedBeforeTheWrite, ReadOnly) {
    const Scenario& s = *GetParam();
    if (!s.traits.refusesReadOnly) GTEST_SKIP() << "a read-only target is no obstacle";
    TempDir dir;
    Prepared run = s.prepare(dir);
    const Snapshot before = snapshot(dir.path());
    std::string error;
    {
        ReadOnlyGuard guard(dir.file(s.target));
        error = errorOf(run.operation);
    }
    EXPECT_EQ(error, s.wordsFor(EACCES, dir));
    Snapshot after = snapshot(dir.path());
    after[s.target].mode = before.at(s.target).mode; // the guard's own change
    EXPECT_TRUE(after == before);
}

TEST_P(FileChangedBeforeTheWrite, Vanished) {
    const Scenario& s = *GetParam();
    if (!s.traits.needsTarget) GTEST_SKIP() << "a missing target is made anew";
    TempDir dir;
    Prepared run = s.prepare(dir);
    std::filesystem::remove(dir.file(s.target));
    const Snapshot before = snapshot(dir.path());
    EXPECT_EQ(errorOf(run.operation), s.wordsFor(ENOENT, dir));
    EXPECT_TRUE(snapshot(dir.path()) == before);
}

TEST_P(FileChangedBeforeTheWrite, FolderReadOnly) {
    const Scenario& s = *GetParam();
    TempDir dir;
    Prepared run = s.prepare(dir);
    const Snapshot before = snapshot(dir.path());
    std::string error;
    {
        // Every folder, so that no new file can go anywhere.
        std::vector<std::unique_ptr<ReadOnlyGuard>> guards;
        for (const auto& [name, entry] : before)
            if (entry.folder)
                guards.push_back(std::make_unique<ReadOnlyGuard>(dir.file(name), 0555));
        guards.push_back(std::make_unique<ReadOnlyGuard>(dir.path(), 0555));
        error = errorOf(run.operation);
    }
    // Writes within the file still work; whatever needs a new file in the
    // folder is refused before it changes anything.
    if (error.empty()) {
        EXPECT_FALSE(s.traits.needsNewFile);
        EXPECT_EQ(errorOf([&] { run.checkDone(dir, before); }), "");
    } else {
        EXPECT_TRUE(s.traits.needsNewFile);
        EXPECT_EQ(error, s.wordsFor(EACCES, dir));
        EXPECT_EQ(errorOf([&] { run.checkFailed(dir, before); }), "");
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, FileChangedBeforeTheWrite, ::testing::ValuesIn(allScenarios()),
                         [](const auto& info) { return std::string(info.param->id); });

} // namespace
