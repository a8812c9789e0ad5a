// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The template renamer's core: the field table, the names it builds, the
// 255-byte limit, and renames on disk that never overwrite a file.
#include "io/ioerror.h"
#include "io/noreplace.h"
#include "renamer/renamer.h"
#include "support/testfiles.h"
#include "tagengine/zurur24.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace testing_support;
using namespace renamer;
using std::string;

namespace {

// Values by display name, as the components would answer them.
ValueLookup values(std::map<string, string> byName) {
    return [byName = std::move(byName)](std::string_view name) {
        auto it = byName.find(string(name));
        return it == byName.end() ? string() : it->second;
    };
}

string errorOf(const std::function<void()>& op) {
    try {
        op();
    } catch (const io::IoError& e) {
        return e.what();
    }
    return {};
}

bool validUtf8(const string& s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80         ? 1
                         : (c >> 5) == 6  ? 2
                         : (c >> 4) == 14 ? 3
                         : (c >> 3) == 30 ? 4
                                          : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

const Template IntroTemplate{{"", "Track Num.", " - "}, {"", "Title", ""}};

} // namespace

TEST(FrameNameTable, FiftyNamesCoverEveryTextPropertyAndSixTrailerFields) {
    std::set<std::string_view> names;
    std::set<tag::Prop> props;
    std::vector<std::string Id3v1::*> v1Fields;
    for (const FrameName& row : FrameNameTable) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_EQ(row.v1 != nullptr, row.name.ends_with("(ID3v1)")) << row.name;
        if (row.v1) {
            EXPECT_EQ(std::count(v1Fields.begin(), v1Fields.end(), row.v1), 0) << row.name;
            v1Fields.push_back(row.v1);
        } else
            EXPECT_TRUE(props.insert(row.prop).second) << row.name;
    }
    EXPECT_EQ(names.size(), 50u);
    EXPECT_EQ(props.size(), tag::PropCount);
    EXPECT_EQ(v1Fields.size(), 6u);
    EXPECT_EQ(FrameNameTable.front().name, "Album");
    EXPECT_EQ(FrameNameTable.back().name, "Year(ID3v1)");
    EXPECT_EQ(findFrameName("Lyricist")->prop, tag::Prop::TextWriter);
    EXPECT_EQ(findFrameName("title"), nullptr); // exact letter case
    EXPECT_EQ(findFrameName("Title "), nullptr);
}

TEST(Framevalue, ReadsTheMappedPropertyOfEitherComponent) {
    ID3v24 tag;
    Id3v1 v1;
    for (const tag::PropInfo& p : tag::PropTable)
        tag.setText(p.prop, "v2 " + string(p.name));
    v1.Artist = "v1 artist", v1.Album = "v1 album", v1.Title = "v1 title", v1.Year = "1999";
    v1.Comment = "v1 comment", v1.Genre = "Rock";
    for (const FrameName& row : FrameNameTable) {
        const string expected = row.v1 ? v1.*(row.v1) : "v2 " + string(tag::info(row.prop).name);
        EXPECT_EQ(framevalue(row.name, tag, v1), expected) << row.name;
    }
    EXPECT_EQ(framevalue("", tag, v1), "");
    EXPECT_EQ(framevalue("Nonsense", tag, v1), "");
}

TEST(Framevalue, EndsAtTheFirstZeroCharacter) {
    ID3v24 tag;
    Id3v1 v1;
    tag.setText(tag::Prop::Title, string("Intro\0", 6));
    tag.setText(tag::Prop::Album, string("A\0B", 3));
    v1.Title = string("\0x", 2);
    EXPECT_EQ(framevalue("Title", tag, v1), "Intro");
    EXPECT_EQ(framevalue("Album", tag, v1), "A");
    EXPECT_EQ(framevalue("Title(ID3v1)", tag, v1), "");
    EXPECT_EQ(makenewname({{"", "Title", "!"}}, tag, v1), "Intro!.mp3");
}

TEST(Makenewname, TrackAndTitleAndThePreview) {
    ID3v24 tag;
    Id3v1 v1;
    tag.setText(tag::Prop::TrackNum, "01");
    tag.setText(tag::Prop::Title, "Intro");
    EXPECT_EQ(makenewname(IntroTemplate, tag, v1), "01 - Intro.mp3");
    EXPECT_EQ(previewname(IntroTemplate), "Track Num. - Title.mp3");
    EXPECT_EQ(previewname({}), ".mp3");
    EXPECT_EQ(makenewname({}, tag, v1), ".mp3");
}

TEST(Makenewname, ReplacesWhatCannotStandInAPlainName) {
    struct Case {
        string value, name;
    } cases[] = {
        {"What? *Live*", "What_ _Live_.mp3"},
        {"AC/DC", "AC_DC.mp3"},
        {"../x", ".._x.mp3"},
        {"a\\b", "a_b.mp3"},
        {"10:15 <\"|>", "10:15 <\"|>.mp3"}, // allowed in names here
    };
    for (const Case& c : cases)
        EXPECT_EQ(makenewname({{"", "Title", ""}}, values({{"Title", c.value}})), c.name)
            << c.value;
    // Literal text is made safe the same way.
    EXPECT_EQ(makenewname({{"a/", "Title", "/b"}}, values({{"Title", "x"}})), "a_x_b.mp3");
}

TEST(Makenewname, TagTextAndLiteralsAreTheUtf8TheyAre) {
    EXPECT_EQ(makenewname({{"– ", "Title", ""}}, values({{"Title", "Café ßÿ Кино 日本"}})),
              "– Café ßÿ Кино 日本.mp3");
}

TEST(Makenewname, RowsWithoutAKnownFieldGiveOnlyTheirLiterals) {
    const Template rows{{"[", "", "]"}, {"<", "No Such Field", ">"}, {"", "Artist", ""}};
    EXPECT_EQ(makenewname(rows, values({{"Artist", "Abba"}})), "[]<>Abba.mp3");
}

TEST(LimitName, CutsLongNamesAtACharacterBoundaryInBytes) {
    const string name300 = string(296, 'a') + ".mp3";
    EXPECT_EQ(limitName(name300), string(250, 'a') + ".mp3");
    EXPECT_EQ(limitName(string(251, 'b') + ".mp3"), string(251, 'b') + ".mp3"); // 255 bytes
    EXPECT_EQ(limitName(string(252, 'c') + ".mp3"), string(250, 'c') + ".mp3"); // 256 bytes
    // 200 characters of é are 400 bytes: 125 of them fit into 250 bytes.
    auto times = [](const string& c, int n) {
        string s;
        while (n-- > 0)
            s += c;
        return s;
    };
    const string accented = makenewname({{"", "Title", ""}}, values({{"Title", times("é", 200)}}));
    EXPECT_EQ(accented.size(), 404u);
    EXPECT_EQ(limitName(accented), times("é", 125) + ".mp3");
    // One ASCII byte in front puts byte 250 inside a character: that one goes too.
    const string shifted = limitName("x" + accented);
    EXPECT_EQ(shifted, "x" + times("é", 124) + ".mp3");
    EXPECT_EQ(shifted.size(), 253u);
    EXPECT_TRUE(validUtf8(shifted));
    // Characters of three and four bytes too.
    EXPECT_EQ(limitName(times("日", 100) + ".mp3"), times("日", 83) + ".mp3");
    EXPECT_EQ(limitName("ab" + times("🎵", 70) + ".mp3"), "ab" + times("🎵", 62) + ".mp3");
}

class RenameOnDisk : public ::testing::Test {
protected:
    TempDir dir;
    string make(const string& name, const string& content) {
        writeFile(dir.file(name), bytes(content));
        return name;
    }
    string content(const string& name) {
        const Bytes b = readFile(dir.file(name));
        return string(b.begin(), b.end());
    }
};

TEST_F(RenameOnDisk, RenamesWithinTheFolder) {
    make("old.mp3", "song");
    EXPECT_EQ(renamefile(dir.path(), "old.mp3", "01 - Intro.mp3", "1"), "01 - Intro.mp3");
    EXPECT_FALSE(exists(dir.file("old.mp3")));
    EXPECT_EQ(content("01 - Intro.mp3"), "song");
}

TEST_F(RenameOnDisk, ACollisionNeverOverwritesAndTakesTheRowNumber) {
    make("a.mp3", "first");
    make("b.mp3", "second");
    EXPECT_EQ(renamefile(dir.path(), "a.mp3", "Artist - Title.mp3", "1"), "Artist - Title.mp3");
    EXPECT_EQ(renamefile(dir.path(), "b.mp3", "Artist - Title.mp3", "7"), "7Artist - Title.mp3");
    EXPECT_EQ(content("Artist - Title.mp3"), "first");
    EXPECT_EQ(content("7Artist - Title.mp3"), "second");
    EXPECT_EQ(listFolder(dir.path()).size(), 2u);
}

TEST_F(RenameOnDisk, AnEmptyTemplateNumbersEveryFileButTheFirst) {
    for (const char* n : {"x.mp3", "y.mp3", "z.mp3"})
        make(n, n);
    const string name = makenewname({}, values({}));
    EXPECT_EQ(renamefile(dir.path(), "x.mp3", name, "1"), ".mp3");
    EXPECT_EQ(renamefile(dir.path(), "y.mp3", name, "2"), "2.mp3");
    EXPECT_EQ(renamefile(dir.path(), "z.mp3", name, "3"), "3.mp3");
    EXPECT_EQ(content(".mp3"), "x.mp3");
    EXPECT_EQ(content("2.mp3"), "y.mp3");
    EXPECT_EQ(content("3.mp3"), "z.mp3");
}

TEST_F(RenameOnDisk, WhenBothNamesAreTakenTheErrorReachesTheCaller) {
    make("src.mp3", "mine");
    make("Name.mp3", "taken");
    make("4Name.mp3", "taken too");
    EXPECT_EQ(errorOf([&] { renamefile(dir.path(), "src.mp3", "Name.mp3", "4"); }), "I/O error 17");
    EXPECT_EQ(content("src.mp3"), "mine");
    EXPECT_EQ(content("Name.mp3"), "taken");
    EXPECT_EQ(content("4Name.mp3"), "taken too");
    EXPECT_EQ(errorOf([&] { renamefile(dir.path(), "gone.mp3", "New.mp3", "5"); }),
              "File not found");
}

TEST_F(RenameOnDisk, AFileThatAlreadyHasItsNameKeepsIt) {
    make("01 - Intro.mp3", "song");
    EXPECT_EQ(renamefile(dir.path(), "01 - Intro.mp3", "01 - Intro.mp3", "3"), "01 - Intro.mp3");
    EXPECT_EQ(content("01 - Intro.mp3"), "song");
}

TEST_F(RenameOnDisk, LongNamesAreCutBeforeEachTry) {
    make("a.mp3", "a");
    make("b.mp3", "b");
    const string built = string(296, 'n') + ".mp3";
    const string cut = string(250, 'n') + ".mp3";
    EXPECT_EQ(renamefile(dir.path(), "a.mp3", built, "1"), cut);
    // The number makes it too long again: cut to 250 bytes once more.
    EXPECT_EQ(renamefile(dir.path(), "b.mp3", built, "12"), "12" + string(248, 'n') + ".mp3");
}

TEST_F(RenameOnDisk, NoReplaceRenameAndItsLinkFallback) {
    for (auto rename : {&io::renameNoReplace, &io::renameByLink}) {
        make("from.mp3", "from");
        make("to.mp3", "to");
        EXPECT_EQ(errorOf([&] { rename(dir.file("from.mp3"), dir.file("to.mp3")); }),
                  "I/O error 17");
        EXPECT_EQ(content("from.mp3"), "from");
        EXPECT_EQ(content("to.mp3"), "to");
        rename(dir.file("from.mp3"), dir.file("free.mp3"));
        EXPECT_FALSE(exists(dir.file("from.mp3")));
        EXPECT_EQ(content("free.mp3"), "from");
        io::removeFile(dir.file("free.mp3"));
        io::removeFile(dir.file("to.mp3"));
    }
}
