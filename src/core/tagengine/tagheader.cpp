// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/tagheader.h"

#include "tagengine/syncsafe.h"

#include <cstdio>
#include <cstring>

namespace tag {

bool TagHeader::readable() const {
    if (!present) return false;
    // Flags each version defines: ID3v2.2 unsynchronisation (its compression
    // has no defined scheme); ID3v2.3 also extended header and experimental;
    // ID3v2.4 also footer.
    switch (version) {
    case 2:
        return (flags & 0x7F) == 0;
    case 3:
        return (flags & 0x1F) == 0;
    case 4:
        return (flags & 0x0F) == 0;
    default:
        return false;
    }
}

TagHeader parseTagHeader(const uint8_t* h) {
    TagHeader header;
    header.present = std::memcmp(h, "ID3", 3) == 0;
    if (!header.present) return header;
    header.version = h[3];
    header.flags = h[5];
    header.size = syncsafe::decode(h + 6);
    return header;
}

std::array<uint8_t, 10> blankHeader(uint32_t size) {
    const auto s = syncsafe::encode(size);
    return {'I', 'D', '3', 4, 0, 0, s[0], s[1], s[2], s[3]};
}

std::string unreadableMessage(const TagHeader& header) {
    char flags[8];
    std::snprintf(flags, sizeof flags, "%02X", header.flags);
    return "The file's ID3v2 tag (version 2." + std::to_string(header.version) + ", header flags " +
           flags + ") is of a kind Quillet cannot read; it is left as it is";
}

} // namespace tag
