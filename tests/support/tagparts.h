// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "support/testfiles.h"

#include <algorithm>
#include <string_view>

// Pieces of files many tests build: a picture frame, a trailer.
namespace testing_support {

// An ID3v2.4 APIC frame in ISO-8859-1 of the given picture type (3: front cover).
inline Bytes apic24(std::string_view mime, const Bytes& data, std::string_view description = "",
                    uint8_t type = 3) {
    return frame24("APIC",
                   Bytes{0} + bytes(mime) + Bytes{0, type} + bytes(description) + Bytes{0} + data);
}

// An ID3v1.1 trailer holding only a title (and a genre byte, 255: none).
inline Bytes trailer(std::string_view title, uint8_t genre = 255) {
    Bytes t = bytes("TAG") + repeat(0, 125);
    std::copy(title.begin(), title.end(), t.begin() + 3);
    t[127] = genre;
    return t;
}

} // namespace testing_support
