#include "tagengine/textdecode.h"

#include <cstring>

namespace textdecode {

namespace {

std::optional<std::string> decodeUtf16(const uint8_t* p, size_t n, bool bigEndian,
                                       bool bomAllowed) {
    if (n % 2 != 0) return std::nullopt;
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
    // Written through the buffer: a character per unit, no growth checks.
    std::string out((n - i) / 2, '\0');
    char* o = out.data();
    const size_t high = bigEndian ? 0 : 1;
    for (; i < n; i += 2) {
        // Surrogates (paired or lone) are either invalid or above U+00FF.
        if (p[i + high] != 0) return std::nullopt;
        *o++ = static_cast<char>(p[i + 1 - high]);
    }
    return out;
}

std::optional<std::string> decodeUtf8(const uint8_t* p, size_t n) {
    std::string out(n, '\0'); // never longer than its bytes; cut at the end
    char* o = out.data();
    size_t i = 0;
    while (i < n) {
        uint8_t b = p[i];
        if (b < 0x80) {
            *o++ = static_cast<char>(b);
            ++i;
            continue;
        }
        // Strict sequence check; only two-byte forms can stay below U+0100.
        size_t len = 0;
        uint32_t cp = 0;
        uint32_t min = 0;
        if ((b & 0xE0) == 0xC0) {
            len = 2, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, cp = b & 0x07, min = 0x10000;
        } else {
            return std::nullopt;
        }
        if (i + len > n) return std::nullopt;
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
        if (cp > 0xFF) return std::nullopt;
        *o++ = static_cast<char>(cp);
        i += len;
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

} // namespace

std::optional<std::string> decode(uint8_t encoding, const uint8_t* p, size_t n) {
    switch (encoding) {
    case Latin1:
        return std::string(reinterpret_cast<const char*>(p), n);
    case Utf16:
        return decodeUtf16(p, n, false, true);
    case Utf16BE:
        return decodeUtf16(p, n, true, false);
    case Utf8:
        return decodeUtf8(p, n);
    default:
        return std::nullopt;
    }
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
