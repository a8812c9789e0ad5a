// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <array>
#include <cstdint>

// Size fields of ID3v2 headers and frames.
namespace syncsafe {

inline constexpr uint32_t Limit = 1u << 28; // first value a syncsafe integer cannot hold

// Decodes b0*2^21 + b1*2^14 + b2*2^7 + b3. The top bit of each byte is not
// masked off: tags that store plain integers are read the way they always were.
constexpr uint32_t decode(const uint8_t* b) {
    return (uint32_t{b[0]} << 21) + (uint32_t{b[1]} << 14) + (uint32_t{b[2]} << 7) + b[3];
}

// Encodes a value below Limit into four bytes of 0x7F or less.
constexpr std::array<uint8_t, 4> encode(uint32_t v) {
    return {static_cast<uint8_t>((v >> 21) & 0x7F), static_cast<uint8_t>((v >> 14) & 0x7F),
            static_cast<uint8_t>((v >> 7) & 0x7F), static_cast<uint8_t>(v & 0x7F)};
}

constexpr uint32_t bigEndian32(const uint8_t* b) {
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

constexpr uint32_t bigEndian24(const uint8_t* b) {
    return (uint32_t{b[0]} << 16) | (uint32_t{b[1]} << 8) | b[2];
}

} // namespace syncsafe
