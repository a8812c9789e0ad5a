// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The 10-byte header that begins an ID3v2 tag: the one check of what a file's
// first bytes hold, and the one header the program writes for a tag it blanks.
namespace tag {

inline constexpr uint64_t TagHeaderSize = 10;

struct TagHeader {
    bool present = false; // the file begins with "ID3"
    uint8_t version = 0;  // the major version: 2, 3 or 4 for a tag the readers know
    uint8_t flags = 0;
    uint32_t size = 0; // the bytes after the header the tag declares, a footer not counted

    // A version the readers know, with no flag they do not know. A tag that is
    // present but not readable is never written over.
    bool readable() const;
    // The whole tag is unsynchronised (ID3v2.2 and 2.3), or every frame is (ID3v2.4).
    bool unsynchronised() const { return (flags & 0x80) != 0; }
    bool extendedHeader() const { return version >= 3 && (flags & 0x40) != 0; }
    bool footer() const { return version == 4 && (flags & 0x10) != 0; }
    // Every byte the tag takes at the start of the file: header, frames,
    // padding and footer; 0 when there is no tag.
    uint64_t regionLength() const {
        return present ? TagHeaderSize + size + (footer() ? TagHeaderSize : 0) : 0;
    }
};

// Reads the first 10 bytes of a file. The size is decoded as syncsafe::decode
// does.
TagHeader parseTagHeader(const uint8_t* first10);

// The header of an ID3v2.4 tag of size bytes with no flags: what a write puts
// in front of its frames, and all that is left of a blanked tag besides zeros.
std::array<uint8_t, 10> blankHeader(uint32_t size);

// The error a write or a kill raises for a tag that is present but not readable.
std::string unreadableMessage(const TagHeader& header);

} // namespace tag
