// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
//
// The one check of a tag's header, the one walk over its frames (as the undo
// journal takes it too), and texts of several values.
#include "support/families.h"
#include "support/testfiles.h"
#include "tagengine/framewalk.h"
#include "tagengine/textdecode.h"
#include "text/values.h"

#include <gtest/gtest.h>
#include <optional>

using namespace testing_support;

namespace {

TEST(TagHeader, WhichTagsAreReadAndTheRegionTheyTake) {
    const struct {
        Bytes header;
        bool readable;
        uint64_t region;
    } cases[] = {
        {header(2, 100, 0x80), true, 110}, {header(2, 100, 0x40), false, 110},
        {header(3, 100, 0xE0), true, 110}, {header(3, 100, 0x10), false, 110},
        {header(4, 100, 0xF0), true, 120}, {header(4, 100, 0x08), false, 110},
        {header(5, 100), false, 110},      {bytes("ID2") + Bytes(7, 0), false, 0},
    };
    for (const auto& c : cases) {
        const tag::TagHeader h = tag::parseTagHeader(c.header.data());
        EXPECT_EQ(h.readable(), c.readable) << int(c.header[3]) << " " << int(c.header[5]);
        EXPECT_EQ(h.regionLength(), c.region) << int(c.header[3]) << " " << int(c.header[5]);
    }
    EXPECT_EQ(tag::blankHeader(1000),
              (std::array<uint8_t, 10>{'I', 'D', '3', 4, 0, 0, 0, 0, 7, 0x68}));
}

// Where the walk takes frames: the whole frames of a region, header included.
TEST(FrameWalk, FramesOfARegion) {
    const Bytes tit2 = frame24("TIT2", latin1("t")), priv = frame24("PRIV", repeat(1, 300));
    const Bytes plainApic = bytes("APIC") + be32(300) + Bytes{0, 0} + repeat(0x81, 300);
    using Spans = std::vector<std::pair<uint64_t, uint64_t>>;
    const struct {
        const char* name;
        Bytes region;
        Spans spans;
    } cases[] = {
        {"padding", tag24(tit2 + priv, 20), {{10, 12}, {22, 310}}},
        {"no padding", tag24(tit2 + priv, 0), {{10, 12}, {22, 310}}},
        {"a frame past the end", header(4, 12 + 309) + tit2 + priv, {{10, 12}}},
        {"a zero where an ID begins", tag24(tit2 + Bytes{0} + priv, 0), {{10, 12}}},
        {"plain sizes", tag24(plainApic + tit2, 0), {{10, 310}, {320, 12}}},
        {"extended header 2.4", header(4, 18, 0x40) + syncsafe(6) + Bytes{1, 0} + tit2, {{16, 12}}},
        {"extended header 2.3",
         header(3, 22, 0x40) + be32(6) + Bytes(6, 0) + frame23("TIT2", latin1("t")),
         {{20, 12}}},
        {"extended header flag alone", header(4, 12, 0x40) + tit2, {{10, 12}}},
        {"unsynchronised as a whole",
         header(3, 20, 0x80) + unsynchronised(frame23("PRIV", {0xFF, 0xE0})),
         {}},
        {"unknown version", header(5, 11) + tit2, {}},
    };
    for (const auto& c : cases) {
        Spans spans;
        const uint64_t end = tag::forEachFrameIn(
            c.region, [&](uint64_t at, uint64_t length) { spans.emplace_back(at, length); });
        EXPECT_EQ(spans, c.spans) << c.name;
        EXPECT_EQ(end, spans.empty() ? 0 : spans.back().first + spans.back().second) << c.name;
    }
}

TEST(TextDecode, SeveralValuesEachWithItsOwnByteOrder) {
    const struct {
        uint8_t encoding;
        Bytes bytes;
        std::optional<std::string> text;
    } cases[] = {
        {0, bytes("one") + Bytes{0} + bytes("two") + Bytes{0, 0}, std::string("one\0two", 7)},
        {3, bytes("\xC3\xA9") + Bytes{0}, "é"},
        {1, {0xFF, 0xFE, 'a', 0, 0, 0, 0xFE, 0xFF, 0, 'b', 0, 0}, std::string("a\0b", 3)},
        {1, {0xFE, 0xFF, 0, 'a', 0, 0, 0, 'b'}, std::string("a\0b", 3)}, // the order goes on
        {1, {0xFF, 0xFE, 0, 0, 'b', 0}, std::string("\0b", 2)},          // an empty first value
        {1, {0xFF, 0xFE, 'a', 0, 'b'}, std::nullopt},                    // odd
        {2, {0, 'a', 0, 0, 0, 'b', 0, 0}, std::string("a\0b", 3)},
        {3, {0xC0, 0x80}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textdecode::decodeValues(c.encoding, c.bytes.data(), c.bytes.size()), c.text)
            << int(c.encoding) << " " << c.bytes.size();
}

TEST(Values, JoinedForTheWindowSplitForTheTag) {
    const std::string two("A\0B", 3);
    EXPECT_EQ(values::joined(two), "A\\\\B");
    EXPECT_EQ(values::split("A\\\\B"), two);
    EXPECT_EQ(values::split("a\\b \\\\\\c"), std::string("a\\b \0\\c", 7));
    EXPECT_EQ(values::split(values::joined("no values")), "no values");
}

} // namespace
