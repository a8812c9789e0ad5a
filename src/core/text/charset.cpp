#include "text/charset.h"

#include <stdexcept>

namespace charset {

std::string latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            utf8.push_back(ch);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return utf8;
}

std::string utf8ToLatin1(std::string_view utf8) {
    std::string latin1;
    latin1.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            latin1.push_back(static_cast<char>(c));
            continue;
        }
        // U+0080..U+00FF are the two-byte forms led by C2 and C3.
        const bool continued =
            i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80;
        if ((c != 0xC2 && c != 0xC3) || !continued)
            throw std::invalid_argument("text holds a character above U+00FF");
        latin1.push_back(static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F)));
    }
    return latin1;
}

} // namespace charset
