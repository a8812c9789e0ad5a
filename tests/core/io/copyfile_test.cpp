// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "io/copyfile.h"
#include "io/ioerror.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TEST(CopyFile, BlocksAndTheSameFile) {
    TempDir dir;
    Bytes data(io::CopyBlock * 2 + 12345);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 7 + i / 1000);
    writeFile(dir.file("a"), data);
    writeFile(dir.file("b"), repeat(1, 10 * io::CopyBlock)); // longer: truncated
    EXPECT_EQ(io::copyFile(dir.file("a"), dir.file("b")), data.size());
    EXPECT_EQ(readFile(dir.file("b")), data);
    // Copying a file onto itself must not empty it.
    EXPECT_EQ(io::copyFile(dir.file("a"), dir.file("a")), data.size());
    EXPECT_EQ(readFile(dir.file("a")), data);
    writeFile(dir.file("empty"), Bytes{});
    EXPECT_EQ(io::copyFile(dir.file("empty"), dir.file("c")), 0u);
    EXPECT_TRUE(readFile(dir.file("c")).empty());
    EXPECT_THROW(io::copyFile(dir.file("missing"), dir.file("d")), io::IoError);
    EXPECT_FALSE(exists(dir.file("d")));
    // A source the user may only read copies all the same.
    {
        ReadOnlyGuard readOnly(dir.file("a"));
        EXPECT_EQ(io::copyFile(dir.file("a"), dir.file("e")), data.size());
    }
    EXPECT_EQ(readFile(dir.file("e")), data);
}

} // namespace
