// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The rename template read backwards: the fields a file name gives, and the
// names that do not match; every name the renamer builds reads back.
#include "renamer/namefields.h"

#include <gtest/gtest.h>
#include <map>

using namespace renamer;
using Values = std::map<std::string, std::string>; // by display name; empty: no match

namespace {

Values read(const Template& rows, std::string_view name) {
    const auto fields = fieldsFromName(rows, name);
    if (!fields) return {};
    Values v;
    for (const FieldValue& f : *fields)
        v[std::string(f.field->name)] = f.value;
    v["matched"] = "yes";
    return v;
}

TEST(FieldsFromName, ReadsTheTemplateBackwards) {
    const Template album{{"", "Track Num.", " - "}, {"", "Artist", " - "}, {"", "Title", ""}};
    const Template bracketed{{"[", "Year(ID3v1)", "] "}, {"", "Album", ""}};
    const Template twice{{"", "Artist", " - "}, {"", "Title", " ("}, {"", "Artist", ")"}};
    const Template unknown{{"x", "", "y"}, {"", "Title", ""}};
    const struct {
        const Template& rows;
        std::string name;
        Values values;
    } cases[] = {
        {album,
         "01 - Artist - Title",
         {{"Track Num.", "01"}, {"Artist", "Artist"}, {"Title", "Title"}, {"matched", "yes"}}},
        // A field takes the shortest text; the last one takes the rest.
        {album,
         "02 - A - B - C",
         {{"Track Num.", "02"}, {"Artist", "A"}, {"Title", "B - C"}, {"matched", "yes"}}},
        {album,
         "03 - Ärzte - ",
         {{"Track Num.", "03"}, {"Artist", "Ärzte"}, {"Title", ""}, {"matched", "yes"}}},
        {album, "04 - Artist", {}},
        {bracketed,
         "[1999] Live",
         {{"Year(ID3v1)", "1999"}, {"Album", "Live"}, {"matched", "yes"}}},
        {bracketed, "1999 Live", {}},
        // A field named twice takes the same text both times.
        {twice, "Who - Song (Who)", {{"Artist", "Who"}, {"Title", "Song"}, {"matched", "yes"}}},
        {twice, "Who - Song (Other)", {}},
        {twice, "A - B (C) (A)", {{"Artist", "A"}, {"Title", "B (C)"}, {"matched", "yes"}}},
        // A row without a known field matches its text only.
        {unknown, "xyTitle", {{"Title", "Title"}, {"matched", "yes"}}},
        {unknown, "xTitle", {}},
        {Template{}, "", {{"matched", "yes"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.rows, c.name), c.values) << c.name;
}

TEST(TrackNumbers, InListOrderAndNamesWithoutTheirExtension) {
    EXPECT_EQ(trackNumbers(3, false), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(trackNumbers(3, true), (std::vector<std::string>{"1/3", "2/3", "3/3"}));
    EXPECT_TRUE(trackNumbers(0, true).empty());
    EXPECT_EQ(withoutExtension("song.MP3"), "song");
    EXPECT_EQ(withoutExtension("song.ogg"), "song.ogg");
}

} // namespace
