// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "text/charset.h"

#include <algorithm>

namespace charset {

namespace {

bool continuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// The length of the strict UTF-8 sequence at p (at most n bytes there) and its
// code point; 0 when the bytes there are not one.
size_t sequence(const uint8_t* p, size_t n, uint32_t& cp) {
    const uint8_t b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    size_t len = 0;
    uint32_t min = 0;
    if ((b & 0xE0) == 0xC0) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (len > n) return 0;
    for (size_t k = 1; k < len; ++k) {
        if (!continuation(p[k])) return 0;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// U+0080..U+00FF: the two-byte forms with lead byte C2 or C3.
bool latin1Pair(const uint8_t* p, size_t left) {
    return left >= 2 && (p[0] == 0xC2 || p[0] == 0xC3) && continuation(p[1]);
}

} // namespace

void appendLatin1(std::string& out, const uint8_t* p, size_t n) {
    const uint8_t* high = std::find_if(p, p + n, [](uint8_t b) { return b >= 0x80; });
    const size_t plain = static_cast<size_t>(high - p);
    const size_t at = out.size();
    // Written through the buffer: the longest form is two bytes a character.
    out.resize(at + plain + 2 * (n - plain));
    char* o = out.data() + at;
    std::copy(p, high, o);
    o += plain;
    for (const uint8_t* q = high; q < p + n; ++q) {
        if (*q < 0x80) {
            *o++ = static_cast<char>(*q);
        } else {
            *o++ = static_cast<char>(0xC0 | (*q >> 6));
            *o++ = static_cast<char>(0x80 | (*q & 0x3F));
        }
    }
    out.resize(static_cast<size_t>(o - out.data()));
}

std::string latin1ToUtf8(std::string_view latin1) {
    std::string out;
    appendLatin1(out, reinterpret_cast<const uint8_t*>(latin1.data()), latin1.size());
    return out;
}

bool validUtf8(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        uint32_t cp = 0;
        const size_t len = sequence(p + i, n - i, cp);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

Fit latin1Fit(std::string_view text) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
        } else if (latin1Pair(p + i, n - i)) {
            i += 2;
        } else {
            return validUtf8(p + i, n - i) ? Fit::Beyond : Fit::Invalid;
        }
    }
    return Fit::Latin1;
}

size_t latin1Length(std::string_view text) {
    // Every character is one byte, or a lead byte and one continuation byte.
    return text.size() - static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
               return continuation(static_cast<uint8_t>(c));
           }));
}

uint8_t* putLatin1(uint8_t* out, std::string_view text) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const uint8_t* end = p + text.size();
    while (p < end) {
        if (*p < 0x80) {
            *out++ = *p++;
        } else {
            *out++ = static_cast<uint8_t>(((p[0] & 0x03) << 6) | (p[1] & 0x3F));
            p += 2;
        }
    }
    return out;
}

std::string utf8ToLatin1(std::string_view text, char replacement) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n;) {
        uint32_t cp = 0;
        const size_t len = sequence(p + i, n - i, cp);
        out.push_back(len == 0 || cp > 0xFF ? replacement : static_cast<char>(cp));
        i += len == 0 ? 1 : len;
    }
    return out;
}

} // namespace charset
