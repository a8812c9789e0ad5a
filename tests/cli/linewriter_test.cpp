// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The streaming line writer must print exactly what the JSON library prints
// for the same values, whatever bytes a tag holds.
#include "linewriter.h"
#include "tagjson.h"
#include "text/charset.h"

#include <gtest/gtest.h>
#include <string>

using tagjson::Json;
using tagjson::LineWriter;

namespace {

std::string library(const Json& j) {
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

TEST(LineWriter, TextsMatchTheLibraryForEveryCharacterKind) {
    // U+0000..U+00FF and characters of three and four bytes, each alone,
    // between plain characters, doubled, and at both ends.
    std::vector<std::string> characters{"\xE2\x82\xAC", "\xE2\x80\xA8", "\xF0\x9F\x8E\xB5"};
    for (int b = 0; b < 256; ++b)
        characters.push_back(charset::latin1ToUtf8(std::string(1, static_cast<char>(b))));
    for (const std::string& c : characters) {
        for (const std::string& text :
             {c, "ab" + c + "cd", c + c + "x", "x" + c + c + c, "Title" + c + '\0'}) {
            LineWriter w;
            w.beginObject().member("t", text).endObject();
            Json expected = Json::object();
            expected["t"] = text;
            EXPECT_EQ(w.str(), library(expected)) << text;
        }
    }
}

TEST(LineWriter, StructureAndOtherValuesMatchTheLibrary) {
    std::string all;
    for (int b = 255; b >= 0; --b)
        all += charset::latin1ToUtf8(std::string(1, static_cast<char>(b)));
    const std::string badUtf8 = "dir/\xff\xfe name \"x\".mp3";

    LineWriter w;
    w.beginObject().key("file").string(badUtf8).key("list").beginArray();
    w.beginObject().member("a", all).member("b", "").endObject();
    w.beginObject().key("n").number(-42).key("ok").boolean(true).endObject();
    w.endArray().key("empty").beginArray().endArray().key("z").boolean(false).endObject();

    Json expected = Json::object();
    expected["file"] = badUtf8;
    expected["list"] = Json::array({Json{{"a", all}, {"b", ""}}, Json{{"n", -42}, {"ok", true}}});
    expected["empty"] = Json::array();
    expected["z"] = false;
    EXPECT_EQ(w.str(), library(expected));
    // And it reads back as the values written.
    EXPECT_EQ(Json::parse(w.str())["list"][0]["a"], all);
}

} // namespace
