// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Text fields of ID3v2 frames in their four encodings, taken into the model's
// UTF-8 text without loss: an ISO-8859-1 byte b is U+00bb, and the Unicode
// encodings are decoded in full.
namespace textdecode {

enum Encoding : uint8_t { Latin1 = 0, Utf16 = 1, Utf16BE = 2, Utf8 = 3 };

inline bool known(uint8_t encoding) {
    return encoding <= Utf8;
}

// The whole field as UTF-8, or nullopt when its bytes are invalid in the
// encoding: an odd UTF-16 byte count, a lone surrogate, UTF-8 that is not
// strict. A UTF-16 byte order mark counts at the start of the field and of
// each value after a zero character; without one, UTF-16 is little-endian.
std::optional<std::string> decode(uint8_t encoding, const uint8_t* p, size_t n);

// Whether decode() takes the field, without making its text.
bool valid(uint8_t encoding, const uint8_t* p, size_t n);

// A text field of one value or several, as UTF-8 with the values joined by
// one zero character each (a UTF-16 value with its own byte order mark, or in
// the order of the value before it); zero characters at the end do not count,
// so a terminated text reads as the text alone. nullopt when a value is
// invalid in the encoding.
std::optional<std::string> decodeValues(uint8_t encoding, const uint8_t* p, size_t n);

// The text without the zero characters that end it.
inline void dropTrailingZeros(std::string& text) {
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
}

// Length of a zero-terminated field at p, terminator included (one zero byte,
// or a two-byte zero at an even offset for UTF-16); nullopt when the field is
// not terminated within n bytes.
std::optional<size_t> terminatedLength(uint8_t encoding, const uint8_t* p, size_t n);

// Size of the terminator in the encoding.
inline size_t terminatorSize(uint8_t encoding) {
    return encoding == Utf16 || encoding == Utf16BE ? 2 : 1;
}

} // namespace textdecode
