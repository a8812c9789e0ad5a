// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Tag text is Unicode held as UTF-8, as are file names and JSON. ISO-8859-1
// is the one single-byte character set the tag formats know: byte b is
// U+00bb, so every byte has its character and every character up to U+00FF
// its byte.
namespace charset {

// Every byte b becomes the character U+00bb.
std::string latin1ToUtf8(std::string_view latin1);
void appendLatin1(std::string& out, const uint8_t* p, size_t n);

// Whether every byte forms strict UTF-8: shortest forms only, no surrogates,
// nothing above U+10FFFF.
bool validUtf8(const uint8_t* p, size_t n);
inline bool validUtf8(std::string_view text) {
    return validUtf8(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// What a text takes to be written in ISO-8859-1.
enum class Fit : uint8_t {
    Latin1,  // every character within U+0000..U+00FF
    Beyond,  // valid UTF-8 with a character above U+00FF
    Invalid, // not UTF-8 at all
};
Fit latin1Fit(std::string_view utf8);
inline bool fitsLatin1(std::string_view utf8) {
    return latin1Fit(utf8) == Fit::Latin1;
}

// The number of ISO-8859-1 bytes of a text that fits (one per character).
size_t latin1Length(std::string_view utf8);
// Writes the ISO-8859-1 bytes of a text that fits; returns the end of them.
uint8_t* putLatin1(uint8_t* out, std::string_view utf8);
// The ISO-8859-1 bytes of any text: a character beyond U+00FF, and each byte
// that is not UTF-8, becomes the replacement.
std::string utf8ToLatin1(std::string_view utf8, char replacement = '?');

} // namespace charset
