// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// What an edit changed, done to other files: texts and trailer fields set,
// list entries added, changed and removed by their key, all else kept.
#include "support/testfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/batch.h"
#include "tagfile/tagchanges.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace testing_support;
using tag::Column;
using tag::ListKind;
using tagfile::TagChanges;
using tagfile::TagValues;

namespace {

// Entries as (language or picture file, description, text).
using Entries = std::vector<std::array<std::string, 3>>;
constexpr Column Shown[] = {Column::Language, Column::Description, Column::Text};

// Entries written "language:description:text ..." (a picture file for the language).
Entries parse(std::string_view text) {
    Entries out;
    std::istringstream in{std::string(text)};
    for (std::string e; in >> e;) {
        const size_t a = e.find(':'), b = e.find(':', a + 1);
        out.push_back({e.substr(0, a), e.substr(a + 1, b - a - 1), e.substr(b + 1)});
    }
    return out;
}

void fill(tag::TagData& tag, ListKind list, std::string_view text) {
    const Entries entries = parse(text);
    for (size_t i = 0; i < entries.size(); ++i) {
        tag::EntryColumns c;
        for (size_t k = 0; k < 3; ++k)
            c[size_t(Shown[k])] = k == 1 ? withZero(entries[i][k]) : entries[i][k];
        if (list == ListKind::Pictures)
            std::swap(c[size_t(Column::Language)], c[size_t(Column::PictureFile)]);
        tag.setEntry(list, int(i) + 1, c);
    }
}

Entries entriesOf(const tag::TagData& tag, ListKind list) {
    Entries out;
    for (int i = 1; i <= tag.count(list); ++i) {
        tag::EntryColumns c = tag.entry(list, i);
        if (list == ListKind::Pictures)
            std::swap(c[size_t(Column::Language)], c[size_t(Column::PictureFile)]);
        c[size_t(Column::Description)].pop_back();
        out.push_back({c[size_t(Shown[0])], c[size_t(Shown[1])], c[size_t(Shown[2])]});
    }
    return out;
}

TEST(TagChanges, ListEntriesTravelByTheirKeys) {
    const struct {
        const char* what;
        ListKind list;
        const char *before, *after, *target, *result;
    } cases[] = {
        {"moved: no change", ListKind::Comments, "eng:a:1 eng:b:2", "eng:b:2 eng:a:1", "deu:x:9",
         "deu:x:9"},
        {"changed: in place of its key, any letter case", ListKind::Comments, "eng:a:1",
         "eng:a:new", "ENG:a:old eng:z:3", "eng:a:new eng:z:3"},
        {"removed: every entry of its key", ListKind::Comments, "eng:a:1 eng:b:2", "eng:a:1",
         "eng:b:x eng:q:y eng:b:z", "eng:q:y"},
        {"a new key: the old one goes", ListKind::Comments, "eng:a:1", "eng:b:1", "eng:a:7 eng:b:8",
         "eng:b:1"},
        {"a cover added after each file's own", ListKind::Pictures,
         "/t/1:own:", "/t/1:own: /c:Cover:", "/u/1:Booklet:", "/u/1:Booklet: /c:Cover:"},
    };
    for (const auto& c : cases) {
        TagValues before, after;
        fill(before.tag, c.list, c.before);
        fill(after.tag, c.list, c.after);
        const TagChanges changes = TagChanges::between(before, after);
        EXPECT_EQ(changes.changed(c.list), parse(c.target) != parse(c.result)) << c.what;
        ID3v24 target;
        tag::TagData own;
        fill(own, c.list, c.target);
        for (int i = 1; i <= own.count(c.list); ++i)
            target.SetEntry(c.list, own.entry(c.list, i), i);
        Id3v1 trailer;
        changes.applyTo(target, trailer);
        EXPECT_EQ(entriesOf(target.model(), c.list), parse(c.result)) << c.what;
    }
}

TEST(TagChanges, TextsAndFieldsThatDifferAndAFullList) {
    TagValues before;
    before.tag.text(tag::Prop::Title) = "Mine";
    EXPECT_TRUE(TagChanges::between(before, before).empty());
    TagValues after = before;
    after.tag.text(tag::Prop::Album) = "New";
    after.trailer[3] = "2026"; // Year
    fill(after.tag, ListKind::UserTexts, ":new:v");
    const TagChanges changes = TagChanges::between(before, after);
    EXPECT_TRUE(changes.changed(tag::Prop::Album) && changes.trailerChanged(3));
    EXPECT_FALSE(changes.changed(tag::Prop::Title) || changes.trailerChanged(0));

    ID3v24 target;
    target.setText(tag::Prop::Title, "Own title");
    Id3v1 trailer;
    trailer.Title = "Own";
    for (int i = 1; i <= tag::MaxEntries; ++i)
        target.SetUserText(withZero("d" + std::to_string(i)), "x", i);
    EXPECT_THROW(changes.applyTo(target, trailer), std::runtime_error);
    target.DeleteUserText(1);
    changes.applyTo(target, trailer);
    EXPECT_EQ(target.text(tag::Prop::Album), "New");
    EXPECT_EQ(target.text(tag::Prop::Title), "Own title");
    EXPECT_EQ(target.UserTexts()[100].value, "v");
    EXPECT_EQ(trailer.Year + trailer.Title, "2026Own");
}

TEST(TagChanges, FieldsFromANameOrWhyNot) {
    const auto field = [](std::string_view name) { return renamer::findFrameName(name); };
    const struct {
        std::vector<renamer::FieldValue> values;
        std::string error;
    } cases[] = {
        {{{field("Track Num."), "01"}, {field("Genre(ID3v1)"), "Rock"}}, ""},
        {{{field("Track Num."), "abc"}},
         "the name gives Track Num. \"abc\", which is not a number "
         "n or n/m"},
        {{{field("Genre(ID3v1)"), "Rokc"}},
         "the name gives Genre(ID3v1) \"Rokc\", which is not a "
         "genre of the list"},
        {{{field("Payment URL"), "\u2192"}},
         "the name gives Payment URL \"\u2192\", which holds a "
         "character beyond ISO-8859-1, which a URL cannot"},
    };
    for (const auto& c : cases) {
        try {
            ID3v24 tag;
            Id3v1 trailer;
            TagChanges::fromName(c.values).applyTo(tag, trailer);
            EXPECT_EQ(tag.text(tag::Prop::TrackNum) + trailer.Genre, "01Rock");
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), c.error);
        }
    }
}

// The changes made in each file's own tag as the write read it: a trailer
// field among the trailer's own, and a tag for a file too short for a header.
TEST(TagChanges, WrittenIntoFiles) {
    TempDir dir;
    const Bytes trailer = bytes("TAG") + bytes("Own") + repeat(0, 119) + Bytes{0, 7, 17};
    const std::string song = dir.file("a.mp3"), tiny = dir.file("tiny.mp3");
    writeFile(song, tag24(frame24("TIT2", latin1("T"))) + audio() + trailer);
    writeFile(tiny, Bytes{});
    TagValues before, after;
    after.trailer[3] = "2026";
    after.tag.text(tag::Prop::Album) = "New";
    const TagChanges changes = TagChanges::between(before, after);
    ID3v24 tag;
    tagfile::Batch batch(nullptr, [](size_t, std::exception_ptr error) { EXPECT_FALSE(error); });
    for (const std::string& file : {song, tiny}) {
        Id3v1 v1;
        batch.planWrite(tag, file, &v1, {}, 0,
                        [&](ID3v24& t, Id3v1& own) { changes.applyTo(t, own); });
    }
    batch.flush();
    Bytes written = trailer;
    std::copy_n("2026", 4, written.begin() + 93);
    const Bytes frames = frame24("TALB", latin1("New")) + frame24("TIT2", latin1("T"));
    EXPECT_EQ(readFile(song), tag24(frames, 50) + audio() + written);
    tag.FileName = tiny;
    tag.ReadTag(dir.file("pics/"), false);
    EXPECT_EQ(tag.text(tag::Prop::Album), "New");
}

} // namespace
