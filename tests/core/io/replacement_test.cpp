// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Replacing a whole file safely, and copying ranges between files.
#include "io/file.h"
#include "io/ioerror.h"
#include "io/replacement.h"
#include "support/testfiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

using namespace testing_support;

namespace {

unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(ReplacementFile, CommitPutsTheNewContentInPlaceWithTheOriginalsBits) {
    TempDir dir;
    const std::string target = dir.file("song.mp3");
    writeFile(target, bytes("old"));
    ::chmod(target.c_str(), 0754);
    {
        io::ReplacementFile r(target);
        EXPECT_EQ(r.tempPath().substr(0, dir.path().size() + 10), dir.path() + ".song.mp3.");
        EXPECT_EQ(readFile(r.tempPath()), Bytes());
        r.file().writeAt("new content", 11, 0);
        EXPECT_EQ(readFile(target), bytes("old")); // nothing changes before the commit
        r.commit();
    }
    EXPECT_EQ(readFile(target), bytes("new content"));
    EXPECT_EQ(modeOf(target), 0754u);
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"song.mp3"});
}

TEST(ReplacementFile, AbandonedReplacementLeavesNothingBehind) {
    TempDir dir;
    const std::string target = dir.file("song.mp3");
    writeFile(target, bytes("old"));
    try {
        io::ReplacementFile r(target);
        r.file().writeAt("half", 4, 0);
        throw std::runtime_error("failed half way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(readFile(target), bytes("old"));
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"song.mp3"});
}

TEST(ReplacementFile, TemporaryNamesAreNewFilesEveryTime) {
    TempDir dir;
    const std::string target = dir.file(std::string(250, 'n') + ".mp3"); // near the name limit
    writeFile(target, bytes("old"));
    std::vector<std::unique_ptr<io::ReplacementFile>> open;
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        open.push_back(std::make_unique<io::ReplacementFile>(target));
        names.insert(open.back()->tempPath());
    }
    EXPECT_EQ(names.size(), 50u);
    open.clear();
    EXPECT_EQ(listFolder(dir.path()).size(), 1u);
}

TEST(ReplacementFile, NewTargetIsCreatedAndUnwritableFolderFails) {
    TempDir dir;
    io::ReplacementFile r(dir.file("fresh.ini"));
    r.file().writeAt("x", 1, 0);
    r.commit();
    EXPECT_EQ(readFile(dir.file("fresh.ini")), bytes("x"));

    std::filesystem::create_directory(dir.file("locked"));
    const std::string inLocked = dir.file("locked/song.mp3");
    writeFile(inLocked, bytes("old"));
    ::chmod(dir.file("locked").c_str(), 0555);
    {
        ReadOnlyGuard guard(inLocked); // also drops root's right to write anywhere
        try {
            io::ReplacementFile locked(inLocked);
            FAIL() << "a file was created in a read-only folder";
        } catch (const io::IoError& e) {
            EXPECT_STREQ(e.what(), "File access denied");
        }
    }
    ::chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(readFile(inLocked), bytes("old"));
}

class CopyRange : public ::testing::TestWithParam<io::CopyMethod> {};

TEST_P(CopyRange, CopiesTheRangeAndRefusesAShortSource) {
    TempDir dir;
    Bytes source(1'300'000);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = uint8_t(i * 13 + i / 251);
    writeFile(dir.file("from"), source);
    writeFile(dir.file("to"), repeat(0xAA, 20));
    io::File from(dir.file("from"), io::File::Mode::Read);
    io::File to(dir.file("to"), io::File::Mode::ReadWrite);
    io::copyRange(from, 7, to, 10, source.size() - 7, GetParam());
    to.close();
    EXPECT_EQ(readFile(dir.file("to")), repeat(0xAA, 10) + Bytes(source.begin() + 7, source.end()));

    io::File again(dir.file("to"), io::File::Mode::ReadWrite);
    try {
        io::copyRange(from, 1000, again, 0, source.size(), GetParam());
        FAIL() << "copied past the end of the source";
    } catch (const io::IoError& e) {
        EXPECT_STREQ(e.what(), "Read beyond end of file");
    }
}

TEST_P(CopyRange, FullDiskIsReported) {
    TempDir dir;
    SmallDisk disk(dir.file("small"), 1 << 20);
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    writeFile(disk.path() + "from", repeat(1, 600'000));
    io::File from(disk.path() + "from", io::File::Mode::Read);
    io::File to(disk.path() + "to", io::File::Mode::CreateNew);
    try {
        io::copyRange(from, 0, to, 0, 600'000, GetParam());
        FAIL() << "the copy did not fail";
    } catch (const io::IoError& e) {
        EXPECT_STREQ(e.what(), "Disk full");
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, CopyRange,
                         ::testing::Values(io::CopyMethod::Kernel, io::CopyMethod::Blocks),
                         [](const auto& info) {
                             return info.param == io::CopyMethod::Kernel ? "Kernel" : "Blocks";
                         });

} // namespace
