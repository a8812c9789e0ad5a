// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "text/charset.h"

#include <gtest/gtest.h>
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
        EXPECT_EQ(charset::latin1Length(c.utf8), c.latin1.size());
    }
    string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(charset::utf8ToLatin1(charset::latin1ToUtf8(all)), all);
}

TEST(Charset, WhatFitsISO88591AndWhatBecomesAQuestionMark) {
    struct Case {
        string utf8;
        charset::Fit fit;
        string latin1; // as written where only ISO-8859-1 can stand
    };
    const Case cases[] = {
        {"Caf\xC3\xA9", charset::Fit::Latin1, "Caf\xE9"},
        {"\xE2\x82\xAC 5", charset::Fit::Beyond, "? 5"},
        {"\xC4\x80", charset::Fit::Beyond, "?"},
        {"\xF0\x9F\x8E\xB5", charset::Fit::Beyond, "?"},
        {"\xC3", charset::Fit::Invalid, "?"},           // cut short
        {"\xC3\x41", charset::Fit::Invalid, "?A"},      // no continuation
        {"\xA9", charset::Fit::Invalid, "?"},           // a continuation alone
        {"\xC0\x80", charset::Fit::Invalid, "??"},      // overlong
        {"\xED\xA0\x80", charset::Fit::Invalid, "???"}, // a surrogate
    };
    for (const Case& c : cases) {
        EXPECT_EQ(charset::latin1Fit(c.utf8), c.fit) << c.utf8;
        EXPECT_EQ(charset::validUtf8(c.utf8), c.fit != charset::Fit::Invalid) << c.utf8;
        EXPECT_EQ(charset::utf8ToLatin1(c.utf8), c.latin1) << c.utf8;
    }
}

} // namespace
