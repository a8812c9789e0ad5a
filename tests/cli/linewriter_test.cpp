// The streaming line writer must print exactly what the JSON library prints
// for the same values, whatever bytes a tag holds.
#include "linewriter.h"
#include "tagjson.h"

#include <gtest/gtest.h>
#include <string>

using tagjson::Json;
using tagjson::LineWriter;

namespace {

std::string library(const Json& j) {
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

TEST(LineWriter, TextsMatchTheLibraryForEveryByte) {
    // Each byte alone, between plain characters, doubled, and at both ends.
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        for (const std::string& text :
             {std::string(1, c), "ab" + std::string(1, c) + "cd", std::string(2, c) + "x",
              "x" + std::string(3, c), std::string("Title") + c + '\0'}) {
            LineWriter w;
            w.beginObject().member("t", text).endObject();
            Json expected = Json::object();
            expected["t"] = charset::latin1ToUtf8(text);
            EXPECT_EQ(w.str(), library(expected)) << "byte " << b;
        }
    }
}

TEST(LineWriter, StructureAndOtherValuesMatchTheLibrary) {
    std::string all;
    for (int b = 255; b >= 0; --b)
        all += static_cast<char>(b);
    const std::string badUtf8 = "dir/\xff\xfe name \"x\".mp3";

    LineWriter w;
    w.beginObject().key("file").string(badUtf8).key("list").beginArray();
    w.beginObject().member("a", all).member("b", "").endObject();
    w.beginObject().key("n").number(-42).key("ok").boolean(true).endObject();
    w.endArray().key("empty").beginArray().endArray().key("z").boolean(false).endObject();

    Json expected = Json::object();
    expected["file"] = badUtf8;
    expected["list"] = Json::array(
        {Json{{"a", charset::latin1ToUtf8(all)}, {"b", ""}}, Json{{"n", -42}, {"ok", true}}});
    expected["empty"] = Json::array();
    expected["z"] = false;
    EXPECT_EQ(w.str(), library(expected));
    // And it reads back as the values written.
    EXPECT_EQ(Json::parse(w.str())["list"][0]["a"], charset::latin1ToUtf8(all));
}

} // namespace
