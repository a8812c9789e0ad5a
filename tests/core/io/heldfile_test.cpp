// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// A file held for a change is read once: its head grows by reading only the
// rest, its tail comes from the head when the head holds it, and a file
// shorter than asked gives what it has.
#include "id3v1/id3.h"
#include "io/heldfile.h"
#include "io/ioerror.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TEST(HeldFile, HeadAndTailFromOneReadOfEachByte) {
    TempDir dir;
    struct Case {
        size_t size, first, second;
    };
    for (const Case c :
         {Case{10000, 100, 6000}, Case{10000, 9990, 20000}, Case{60, 10, 128}, Case{0, 10, 10}}) {
        SCOPED_TRACE(c.size);
        Bytes content(c.size);
        for (size_t i = 0; i < c.size; ++i)
            content[i] = static_cast<uint8_t>(i * 7 + 1);
        writeFile(dir.file("f"), content);
        io::HeldFile file(dir.file("f"), io::File::Mode::Read);
        EXPECT_EQ(file.size(), c.size);
        for (const size_t n : {c.first, c.second}) {
            const auto head = file.head(n);
            EXPECT_TRUE(Bytes(head.begin(), head.end()) ==
                        Bytes(content.begin(), content.begin() + std::min(n, c.size)));
        }
        const auto tail = file.tail();
        const size_t n = std::min<size_t>(128, c.size);
        EXPECT_TRUE(Bytes(tail.begin(), tail.end()) == Bytes(content.end() - n, content.end()));
    }
}

// A read of texts holds each picture's bytes and writes no picture file, and
// an edit of its texts alone keeps them; a trailer shorter than a trailer
// fails as a read of it does.
TEST(HeldFile, TextsReadHoldsPicturesAndWritesNoFile) {
    TempDir dir;
    const Bytes picture = repeat(0xAB, 5000);
    writeFile(dir.file("a.mp3"),
              tag24(frame24("APIC", Bytes{0} + bytes("image/png") + Bytes{0, 3, 0} + picture)) +
                  audio(200));
    ID3v24 tag;
    tag.FileName = dir.file("a.mp3");
    tag.ReadTexts();
    ASSERT_EQ(tag.Pictures().count(), 1);
    const tag::HeldBytes& held = tag.Pictures()[1].held;
    EXPECT_TRUE(Bytes(held.data, held.data + held.size) == picture);
    EXPECT_EQ(tag.Pictures()[1].pictureFile, "");
    EXPECT_EQ(listFolder(dir.path()).size(), 1u);
    // Its texts stored again keep the bytes; another picture file drops them.
    tag.SetPicture("new", "Other", "image/png", "", 1);
    EXPECT_TRUE(tag.Pictures()[1].held == held);
    tag.SetPicture("new", "Other", "image/png", dir.file("b.png"), 1);
    EXPECT_FALSE(tag.Pictures()[1].held);
    Id3v1 v1;
    EXPECT_THROW(v1.ReadBytes(std::span<const uint8_t>(picture.data(), 127)), io::IoError);
}

} // namespace
