// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/textdecode.h"

#include "text/charset.h"

#include <cstring>

namespace textdecode {

namespace {

// Writes the UTF-8 of the UTF-16 text at p from o on (nothing when Write is
// false: a check alone) and returns the end; null when the text is invalid.
// With boms, a byte order mark may begin each value (the field's start, and
// after each zero character), and the order it sets holds for the values
// after it. o must have room for three bytes a unit.
template <bool Write> char* utf16(const uint8_t* p, size_t n, bool bigEndian, bool boms, char* o) {
    if (n % 2 != 0) return nullptr;
    size_t high = bigEndian ? 0 : 1; // which byte of a unit is the high one
    auto unit = [&](size_t at) { return uint32_t{p[at + high]} << 8 | p[at + 1 - high]; };
    size_t i = 0;
    for (bool value = true; value;) {
        value = false;
        if (boms && i + 2 <= n &&
            ((p[i] == 0xFF && p[i + 1] == 0xFE) || (p[i] == 0xFE && p[i + 1] == 0xFF))) {
            high = p[i] == 0xFE ? 0 : 1;
            i += 2;
        }
        for (; i < n; i += 2) {
            uint32_t cp = unit(i);
            if (cp < 0x80) {
                if constexpr (Write) *o++ = static_cast<char>(cp);
                if (cp == 0 && boms) {
                    // Another value, which may begin with a mark of its own.
                    i += 2;
                    value = true;
                    break;
                }
                continue;
            }
            if (cp >= 0xDC00 && cp <= 0xDFFF) return nullptr; // a second half alone
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                if (i + 4 > n) return nullptr;
                const uint32_t low = unit(i + 2);
                if (low < 0xDC00 || low > 0xDFFF) return nullptr;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
            if constexpr (!Write) continue;
            if (cp < 0x800) {
                *o++ = static_cast<char>(0xC0 | cp >> 6);
            } else if (cp < 0x10000) {
                *o++ = static_cast<char>(0xE0 | cp >> 12);
                *o++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            } else {
                *o++ = static_cast<char>(0xF0 | cp >> 18);
                *o++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
                *o++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            }
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return o;
}

std::optional<std::string> decodeUtf16(const uint8_t* p, size_t n, bool bigEndian, bool boms) {
    // Written through the buffer, no growth checks.
    std::string out(n / 2 * 3, '\0');
    char* end = utf16<true>(p, n, bigEndian, boms, out.data());
    if (!end) return std::nullopt;
    out.resize(static_cast<size_t>(end - out.data()));
    return out;
}

} // namespace

std::optional<std::string> decode(uint8_t encoding, const uint8_t* p, size_t n) {
    switch (encoding) {
    case Latin1: {
        std::string out;
        charset::appendLatin1(out, p, n);
        return out;
    }
    case Utf16:
        return decodeUtf16(p, n, false, true);
    case Utf16BE:
        return decodeUtf16(p, n, true, false);
    case Utf8:
        if (!charset::validUtf8(p, n)) return std::nullopt;
        return std::string(reinterpret_cast<const char*>(p), n);
    default:
        return std::nullopt;
    }
}

bool valid(uint8_t encoding, const uint8_t* p, size_t n) {
    static char none;
    switch (encoding) {
    case Latin1:
        return true;
    case Utf16:
    case Utf16BE:
        return utf16<false>(p, n, encoding == Utf16BE, encoding == Utf16, &none) != nullptr;
    case Utf8:
        return charset::validUtf8(p, n);
    default:
        return false;
    }
}

std::optional<std::string> decodeValues(uint8_t encoding, const uint8_t* p, size_t n) {
    std::optional<std::string> text = decode(encoding, p, n);
    if (text) dropTrailingZeros(*text);
    return text;
}

std::optional<size_t> terminatedLength(uint8_t encoding, const uint8_t* p, size_t n) {
    if (terminatorSize(encoding) == 1) {
        const void* zero = std::memchr(p, 0, n);
        if (!zero) return std::nullopt;
        return static_cast<size_t>(static_cast<const uint8_t*>(zero) - p) + 1;
    }
    for (size_t i = 0; i + 1 < n; i += 2)
        if (p[i] == 0 && p[i + 1] == 0) return i + 2;
    return std::nullopt;
}

} // namespace textdecode
