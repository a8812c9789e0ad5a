// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// What an edit changed, done to other files: texts and trailer fields set,
// list entries added, changed and removed by their key, everything else of
// each file its own, kept frames and pictures included.
#include "support/testfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/tagchanges.h"

#include <gtest/gtest.h>

using namespace testing_support;
using tag::ListKind;
using tagfile::TagChanges;
using tagfile::TagValues;

namespace {

// Entries as (language or picture file, description, text or picture type).
using Entries = std::vector<std::array<std::string, 3>>;

void fill(tag::TagData& tag, ListKind list, const Entries& entries) {
    int i = 0;
    for (const auto& [first, description, last] : entries) {
        tag::EntryColumns c;
        c[size_t(tag::Column::Description)] = withZero(description);
        if (list == ListKind::Pictures) {
            c[size_t(tag::Column::PictureFile)] = first;
            c[size_t(tag::Column::PictureType)] = last;
            c[size_t(tag::Column::MimeType)] = withZero("image/jpeg");
        } else {
            c[size_t(tag::Column::Language)] = first;
            c[size_t(tag::Column::Text)] = last;
        }
        tag.setEntry(list, ++i, c);
    }
}

Entries entriesOf(const tag::TagData& tag, ListKind list) {
    Entries out;
    for (int i = 1; i <= tag.count(list); ++i) {
        const tag::EntryColumns c = tag.entry(list, i);
        std::string description = c[size_t(tag::Column::Description)];
        description.pop_back();
        out.push_back(list == ListKind::Pictures
                          ? std::array{c[size_t(tag::Column::PictureFile)], description,
                                       c[size_t(tag::Column::PictureType)]}
                          : std::array{c[size_t(tag::Column::Language)], description,
                                       c[size_t(tag::Column::Text)]});
    }
    return out;
}

TEST(TagChanges, ListEntriesTravelByTheirKeys) {
    const struct {
        const char* what;
        ListKind list;
        Entries before, after, target, result;
        bool changed = true;
    } cases[] = {
        {"moved: no change",
         ListKind::Comments,
         {{"eng", "a", "1"}, {"eng", "b", "2"}},
         {{"eng", "b", "2"}, {"eng", "a", "1"}},
         {{"deu", "x", "9"}},
         {{"deu", "x", "9"}},
         false},
        {"changed: in place of its key, the language in any case",
         ListKind::Comments,
         {{"eng", "a", "1"}},
         {{"eng", "a", "new"}},
         {{"ENG", "a", "old"}, {"eng", "z", "3"}},
         {{"eng", "a", "new"}, {"eng", "z", "3"}}},
        {"added: after the file's own",
         ListKind::Comments,
         {},
         {{"eng", "c", "3"}},
         {{"eng", "z", "9"}},
         {{"eng", "z", "9"}, {"eng", "c", "3"}}},
        {"removed: every entry of its key",
         ListKind::Comments,
         {{"eng", "a", "1"}, {"eng", "b", "2"}},
         {{"eng", "a", "1"}},
         {{"eng", "b", "x"}, {"eng", "q", "y"}, {"eng", "b", "z"}},
         {{"eng", "q", "y"}}},
        {"a new key: the old one goes, the new one is put",
         ListKind::Comments,
         {{"eng", "a", "1"}},
         {{"eng", "b", "1"}},
         {{"eng", "a", "7"}, {"eng", "b", "8"}},
         {{"eng", "b", "1"}}},
        {"a cover added beside each file's own pictures",
         ListKind::Pictures,
         {{"/t/1.jpg", "own", "Other"}},
         {{"/t/1.jpg", "own", "Other"}, {"/c.jpg", "Cover", "Cover (front)"}},
         {{"/u/1.jpg", "Booklet", "Leaflet page"}},
         {{"/u/1.jpg", "Booklet", "Leaflet page"}, {"/c.jpg", "Cover", "Cover (front)"}}},
    };
    for (const auto& c : cases) {
        TagValues before, after;
        fill(before.tag, c.list, c.before);
        fill(after.tag, c.list, c.after);
        const TagChanges changes = TagChanges::between(before, after);
        EXPECT_EQ(changes.changed(c.list), c.changed) << c.what;
        tag::TagData own;
        fill(own, c.list, c.target);
        ID3v24 target;
        for (int i = 1; i <= own.count(c.list); ++i)
            target.SetEntry(c.list, own.entry(c.list, i), i);
        Id3v1 trailer;
        changes.applyTo(target, trailer);
        EXPECT_EQ(entriesOf(target.model(), c.list), c.result) << c.what;
    }
}

TEST(TagChanges, TextsAndTrailerFieldsThatDifferAndNothingElse) {
    TagValues before;
    before.tag.text(tag::Prop::Album) = "Old";
    before.tag.text(tag::Prop::Title) = "Mine";
    before.trailer[3] = "1999"; // Year
    EXPECT_TRUE(TagChanges::between(before, before).empty());
    TagValues after = before;
    after.tag.text(tag::Prop::Album) = "New";
    after.trailer[3] = "2026";
    const TagChanges changes = TagChanges::between(before, after);
    EXPECT_FALSE(changes.empty());
    EXPECT_TRUE(changes.changed(tag::Prop::Album));
    EXPECT_FALSE(changes.changed(tag::Prop::Title));
    EXPECT_TRUE(changes.touchesTrailer());
    EXPECT_TRUE(changes.trailerChanged(3));
    EXPECT_FALSE(changes.trailerChanged(0));

    ID3v24 target;
    target.setText(tag::Prop::Title, "Own title");
    Id3v1 trailer;
    trailer.Title = "Own";
    trailer.Year = "1980";
    changes.applyTo(target, trailer);
    EXPECT_EQ(target.text(tag::Prop::Album), "New");
    EXPECT_EQ(target.text(tag::Prop::Title), "Own title");
    EXPECT_EQ(trailer.Year, "2026");
    EXPECT_EQ(trailer.Title, "Own");
}

TEST(TagChanges, AFullListTakesAChangeButNoNewEntry) {
    TagValues before, after;
    fill(after.tag, ListKind::UserTexts, {{"", "new", "v"}});
    ID3v24 target;
    for (int i = 1; i <= tag::MaxEntries; ++i)
        target.SetUserText(withZero("d" + std::to_string(i)), "x", i);
    Id3v1 trailer;
    try {
        TagChanges::between(before, after).applyTo(target, trailer);
        ADD_FAILURE() << "a 101st entry was taken";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "UserTexts already holds 100 entries");
    }
    fill(after.tag, ListKind::UserTexts, {{"", "d7", "changed"}});
    TagChanges::between(before, after).applyTo(target, trailer);
    EXPECT_EQ(target.UserTexts()[7].value, "changed");
    EXPECT_EQ(target.UserTexts().count(), tag::MaxEntries);
}

TEST(TagChanges, FieldsFromANameOrWhyNot) {
    const auto field = [](std::string_view name) { return renamer::findFrameName(name); };
    const struct {
        std::vector<renamer::FieldValue> values;
        std::string error;
    } cases[] = {
        {{{field("Track Num."), "01"},
          {field("Title(ID3v1)"), "Intro"},
          {field("Genre(ID3v1)"), "Rock"}},
         ""},
        {{{field("Track Num."), "abc"}},
         "the name gives Track Num. \"abc\", which is not a number n or n/m"},
        {{{field("Genre(ID3v1)"), "Rokc"}},
         "the name gives Genre(ID3v1) \"Rokc\", which is not a genre of the list"},
        {{{field("Official Artist URL"), "a\u2192b"}},
         "the name gives Official Artist URL \"a\u2192b\", which holds a character beyond "
         "ISO-8859-1, which a URL cannot"},
        {{{field("Title"), "\xff"}}, "the name is not UTF-8 text"},
    };
    for (const auto& c : cases) {
        try {
            const TagChanges changes = TagChanges::fromName(c.values);
            EXPECT_EQ(c.error, "");
            ID3v24 tag;
            Id3v1 trailer;
            changes.applyTo(tag, trailer);
            EXPECT_EQ(tag.text(tag::Prop::TrackNum), "01");
            EXPECT_EQ(trailer.Title, "Intro");
            EXPECT_EQ(trailer.Genre, "Rock");
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), c.error);
        }
    }
}

// A file of another tagger: an ID3v2.3 tag with a picture and a private frame,
// and a trailer. What the changes leave alone stays, byte for byte where the
// write does not touch it.
TEST(TagChanges, AFileKeepsEverythingElseOfItsOwn) {
    TempDir dir;
    const Bytes own = bytes("\xff\xd8\xff own picture");
    const Bytes frames = frame23("TIT2", latin1("Own title")) + frame23("TALB", latin1("Old")) +
                         frame23("APIC", Bytes{0} + bytes("image/jpeg") + Bytes{0, 8} +
                                             bytes("Booklet") + Bytes{0} + own) +
                         frame23("PRIV", bytes("owner") + Bytes{0, 1, 2, 3});
    const Bytes trailer =
        bytes("TAG") + bytes("Own") + repeat(0, 27) + repeat(0, 92) + Bytes{0, 7, 17};
    const std::string path = dir.file("a.mp3"), cover = dir.file("cover.jpg");
    writeFile(path, tag23(frames) + audio() + trailer);
    writeFile(cover, bytes("\xff\xd8\xff the new cover"));

    TagValues before, after;
    after.tag.text(tag::Prop::Album) = "New";
    fill(after.tag, ListKind::Pictures, {{cover, "Cover", "Cover (front)"}});
    ID3v24 tag;
    tagfile::writeChanges(TagChanges::between(before, after), tag, path, dir.file("pics/"), nullptr,
                          writetag::Loss::Refuse);

    ID3v24 check;
    check.FileName = path;
    check.ReadTag(dir.file("check/"), false);
    EXPECT_EQ(check.Version, "2.4");
    EXPECT_EQ(check.text(tag::Prop::Title), "Own title");
    EXPECT_EQ(check.text(tag::Prop::Album), "New");
    ASSERT_EQ(check.Pictures().count(), 2);
    EXPECT_EQ(check.Pictures()[1].description, withZero("Booklet"));
    EXPECT_EQ(readFile(check.Pictures()[1].pictureFile), own);
    EXPECT_EQ(check.Pictures()[2].description, withZero("Cover"));
    EXPECT_EQ(readFile(check.Pictures()[2].pictureFile), readFile(cover));
    ASSERT_EQ(check.KeptFrames().size(), 1u);
    EXPECT_EQ(check.KeptFrames()[0].id(), "PRIV");
    Bytes all = readFile(path);
    EXPECT_EQ(Bytes(all.end() - 128 - 4096, all.end()), audio() + trailer);

    // A trailer field changed: only it; and a file too short for a tag gets one.
    const std::string tiny = dir.file("tiny.mp3");
    writeFile(tiny, Bytes{});
    TagValues v1 = before;
    v1.trailer[3] = "2026";
    for (const std::string& file : {path, tiny})
        tagfile::writeChanges(TagChanges::between(before, v1), tag, file, dir.file("pics/"),
                              nullptr, writetag::Loss::Refuse);
    all = readFile(path);
    const Bytes year = bytes("TAG") + bytes("Own") + repeat(0, 57) + repeat(0, 30) + bytes("2026") +
                       repeat(0, 29) + Bytes{7, 17};
    EXPECT_EQ(Bytes(all.end() - 128, all.end()), year);
    Id3v1 read;
    read.FileName = tiny;
    read.ReadTag();
    EXPECT_EQ(read.Year, "2026");
}

} // namespace
