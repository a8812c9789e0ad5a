#include "text/charset.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace {

using std::string;

TEST(Charset, EveryLatin1ByteRoundTripsThroughUtf8) {
    struct Case {
        string latin1, utf8;
    };
    const Case cases[] = {
        {"", ""},
        {string("a\0b", 3), string("a\0b", 3)}, // zeros are characters too
        {"\x7F", "\x7F"},
        {"\x80", "\xC2\x80"},
        {"Caf\xE9 \xDF\xFF", "Caf\xC3\xA9 \xC3\x9F\xC3\xBF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(charset::latin1ToUtf8(c.latin1), c.utf8);
        EXPECT_EQ(charset::utf8ToLatin1(c.utf8), c.latin1);
    }
    string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(charset::utf8ToLatin1(charset::latin1ToUtf8(all)), all);
}

TEST(Charset, Utf8BeyondLatin1IsRefused) {
    for (const string& utf8 : {string("\xE2\x82\xAC"), string("\xC4\x80"), string("\xC3"),
                               string("\xC3\x41"), string("\xA9")})
        EXPECT_THROW(charset::utf8ToLatin1(utf8), std::invalid_argument) << utf8;
}

} // namespace
