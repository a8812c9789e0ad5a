// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagbytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tag {

// The frame header layout and flag tests that set the three versions apart.
struct Dialect {
    TagVersion version;
    unsigned idLength;     // 4, or 3 for ID3v2.2
    unsigned headerLength; // 10, or 6 for ID3v2.2
    uint32_t (*frameSize)(const uint8_t*);
    uint8_t textFlagMask; // tested on the second flag byte of text frames
    uint8_t flagMask;     // tested on the first flag byte of URL and list frames
    // The year, date and time frames that RecordTime comes from when the tag
    // has no time stamp of its own (none in ID3v2.4).
    std::array<std::string_view, 3> dateFrames;
};

void walkFrames(ReadContext& ctx, const Dialect& dialect);

} // namespace tag
