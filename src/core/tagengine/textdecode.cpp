// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/textdecode.h"

#include "text/charset.h"

#include <cstring>

namespace textdecode {

namespace {

// Appends the UTF-16 text at p to out; a byte order mark at its start (when
// allowed) sets bigEndian, which the next value of a field takes over.
bool appendUtf16(std::string& out, const uint8_t* p, size_t n, bool& bigEndian, bool bomAllowed) {
    if (n % 2 != 0) return false;
    size_t i = 0;
    if (bomAllowed && n >= 2) {
        if (p[0] == 0xFF && p[1] == 0xFE) {
            bigEndian = false;
            i = 2;
        } else if (p[0] == 0xFE && p[1] == 0xFF) {
            bigEndian = true;
            i = 2;
        }
    }
    // Written through the buffer: at most three bytes a unit (a pair of units,
    // a character beyond U+FFFF, takes four), no growth checks.
    const size_t at = out.size();
    out.resize(at + (n - i) / 2 * 3);
    char* o = out.data() + at;
    const size_t high = bigEndian ? 0 : 1;
    auto unit = [&](size_t at) { return uint32_t{p[at + high]} << 8 | p[at + 1 - high]; };
    for (; i < n; i += 2) {
        uint32_t cp = unit(i);
        if (cp < 0x80) {
            *o++ = static_cast<char>(cp);
            continue;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) return false; // a second half alone
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 4 > n) return false;
            const uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
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
    out.resize(static_cast<size_t>(o - out.data()));
    return true;
}

std::optional<std::string> decodeUtf16(const uint8_t* p, size_t n, bool bigEndian,
                                       bool bomAllowed) {
    std::string out;
    if (!appendUtf16(out, p, n, bigEndian, bomAllowed)) return std::nullopt;
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

std::optional<std::string> decodeValues(uint8_t encoding, const uint8_t* p, size_t n) {
    std::optional<std::string> text;
    if (encoding != Utf16) {
        text = decode(encoding, p, n);
    } else if (n % 2 == 0) {
        // Value by value: each may begin with a byte order mark of its own.
        text.emplace();
        bool bigEndian = false;
        for (size_t from = 0; from <= n;) {
            size_t to = from;
            while (to < n && (p[to] != 0 || p[to + 1] != 0))
                to += 2;
            if (from > 0) text->push_back('\0');
            if (!appendUtf16(*text, p + from, to - from, bigEndian, true)) return std::nullopt;
            from = to + 2;
        }
    }
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
