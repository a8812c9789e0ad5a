// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The settings file's profile layer: lookups without regard to letter case,
// writes that keep every other line, integers, quoting, and real files.
#include "io/file.h"
#include "settings/profile.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace testing_support;
using namespace settings;
using std::string;

namespace {

const string Sample = "[Position]\n"
                      "Left=10\n"
                      "Top = 20 \n"
                      "\n"
                      "[Rename Template]\n"
                      "NumberOfItems=0x2\n"
                      "1Prefix=\n"
                      "1Framename=Track Num.\n"
                      "1Suffix=\" - \"\n"
                      "; 2Prefix=comment\n";

string fileText(const string& path) {
    const Bytes b = readFile(path);
    return string(b.begin(), b.end());
}

} // namespace

TEST(ProfileText, SectionsAndKeysMatchWithoutRegardToLetterCase) {
    EXPECT_EQ(findValue(Sample, "position", "LEFT"), "10");
    EXPECT_EQ(findValue(Sample, "Position", "Top"), "20"); // blanks around the value go
    EXPECT_EQ(findValue(Sample, "RENAME TEMPLATE", "1FrameName"), "Track Num.");
    EXPECT_EQ(findValue(Sample, "Rename Template", "1Prefix"), ""); // present, empty
    EXPECT_EQ(findValue(Sample, "Rename Template", "1Suffix"), " - ");
    EXPECT_EQ(findValue(Sample, "Rename Template", "2Prefix"), std::nullopt); // a comment
    EXPECT_EQ(findValue(Sample, "Position", "NumberOfItems"), std::nullopt);  // other section
    EXPECT_EQ(findValue(Sample, "Path", "Left"), std::nullopt);
    EXPECT_EQ(findValue("", "Position", "Left"), std::nullopt);
}

TEST(ProfileText, ToleratesWhatOtherEditorsLeave) {
    const string text = "\xEF\xBB\xBF[A]\r\nk=1\r\n  [ B ]  \r\nk = 'q' \r\nx\r\n[A]\r\nk=2\r\nj=3";
    EXPECT_EQ(findValue(text, "a", "k"), "1"); // the first one wins
    EXPECT_EQ(findValue(text, "b", "K"), "q");
    EXPECT_EQ(findValue(text, "B", "x"), "");  // a line without "=" is a key without value
    EXPECT_EQ(findValue(text, "A", "j"), "3"); // a repeated section is searched too
    EXPECT_EQ(findValue("k=v\n[S]\n", "S", "k"), std::nullopt); // lines before any section
}

TEST(ProfileText, AWriteKeepsTheByteOrderMark) {
    // Dropping the mark would make a second one the first line's start, and
    // "[A]" behind it a section that was not one before.
    const string text = "\xEF\xBB\xBF\xEF\xBB\xBF[A]\nk=v\n[a]\nK=second\n";
    const string updated = withValue(text, "A", "k", "new");
    EXPECT_EQ(updated, "\xEF\xBB\xBF\xEF\xBB\xBF[A]\nk=v\n[a]\nK=new\n");
    EXPECT_EQ(findValue(updated, "A", "k"), "new");
}

TEST(ProfileText, AWriteKeepsTheOtherLinesBreaks) {
    // A CRLF file stays one, and a value ending in a carriage return of its
    // own (before the CRLF) keeps it.
    const string text = "[S]\r\nk=1\r\nv=end\r\r\n";
    ASSERT_EQ(findValue(text, "S", "v"), "end\r");
    const string updated = withValue(text, "S", "k", "2");
    EXPECT_EQ(updated, "[S]\r\nk=2\nv=end\r\r\n");
    EXPECT_EQ(findValue(updated, "S", "v"), "end\r");
}

TEST(ProfileText, ValuesAreReadUpTo2047Characters) {
    const string text = "[S]\nlong=" + string(3000, 'x') + "\n";
    EXPECT_EQ(findValue(text, "S", "long")->size(), MaxValueLength);
}

TEST(ProfileText, WritesReplaceInPlaceAppendToTheSectionOrAddASection) {
    string text = withValue("", "Position", "Left", "73");
    EXPECT_EQ(text, "[Position]\nLeft=73\n");
    text = withValue(text, "Rename Template", "NumberOfItems", "0");
    EXPECT_EQ(text, "[Position]\nLeft=73\n\n[Rename Template]\nNumberOfItems=0\n");
    text = withValue(text, "POSITION", "Top", "56");
    EXPECT_EQ(text, "[Position]\nLeft=73\nTop=56\n\n[Rename Template]\nNumberOfItems=0\n");
    text = withValue(text, "position", "LEFT", "100");
    EXPECT_EQ(text, "[Position]\nLeft=100\nTop=56\n\n[Rename Template]\nNumberOfItems=0\n");
}

TEST(ProfileText, AWriteKeepsEveryOtherLine) {
    const string text = withValue(Sample, "rename template", "1framename", "Title");
    string expected = Sample;
    expected.replace(expected.find("1Framename=Track Num."), 21, "1Framename=Title");
    EXPECT_EQ(text, expected);
}

TEST(ProfileText, BlanksAndQuotesOfAValueSurviveAWriteAndARead) {
    const string values[] = {
        " - ",         "  lead", "trail\t", "\"quoted\"",      "'single'",      "\"",
        "a \"mid\" b", "",       "x=y",     "[not a section]", ";not a comment"};
    for (const string& v : values) {
        const string text = withValue("", "S", "k", v);
        EXPECT_EQ(findValue(text, "S", "k"), v) << text;
    }
    EXPECT_EQ(withValue("", "S", "k", " - "), "[S]\nk=\" - \"\n");
    EXPECT_EQ(withValue("", "S", "k", "plain text"), "[S]\nk=plain text\n");
}

TEST(ProfileText, OneValuePerLine) {
    const string text =
        withValue(withValue("", "S", "k", "one\ntwo=2"), "S", "j", string("a\0b", 3));
    EXPECT_EQ(text, "[S]\nk=one\nj=a\n");
}

TEST(ProfileText, RandomValuesRoundTrip) {
    std::mt19937 random(8);
    for (int n = 0; n < 500; ++n) {
        string value(random() % 40, ' ');
        for (char& c : value) {
            c = static_cast<char>(random() % 255 + 1);
            if (c == '\n' || c == '\r') c = ' ';
        }
        const string text = withValue(Sample, "Rename Template", "1Prefix", value);
        ASSERT_EQ(findValue(text, "Rename Template", "1Prefix"), value) << text;
        ASSERT_EQ(findValue(text, "Rename Template", "1FrameName"), "Track Num.");
    }
}

TEST(ProfileInteger, DecimalOrHexAfter0x) {
    EXPECT_EQ(parseInteger("73"), 73);
    EXPECT_EQ(parseInteger("-5"), -5);
    EXPECT_EQ(parseInteger("+5"), 5);
    EXPECT_EQ(parseInteger("0x2"), 2);
    EXPECT_EQ(parseInteger("0X1f"), 31);
    EXPECT_EQ(parseInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), -2147483647 - 1);
    for (const char* bad :
         {"", "0x", "0x1g", "0x100000000", "2147483648", "12abc", " 1", "-", "1.5", "abc", "0xx1"})
        EXPECT_EQ(parseInteger(bad), std::nullopt) << bad;
    EXPECT_EQ(parseInteger("007"), 7);
}

class ProfileFile : public ::testing::Test {
protected:
    TempDir dir;
    string path = dir.file("quillet.ini");
    Profile profile{path};
};

TEST_F(ProfileFile, AMissingFileGivesEveryDefault) {
    EXPECT_EQ(profile.readInteger("Position", "Left", 73), 73);
    EXPECT_EQ(profile.readString("Path", "OpenTextDir", "/home/u/"), "/home/u/");
    EXPECT_FALSE(exists(path));
}

TEST_F(ProfileFile, EveryWriteReachesTheFileAtOnce) {
    profile.writeInteger("Position", "Left", 12);
    EXPECT_EQ(fileText(path), "[Position]\nLeft=12\n");
    profile.writeString("Path", "ImageSaveDir", "/music/pics/");
    EXPECT_EQ(fileText(path), "[Position]\nLeft=12\n\n[Path]\nImageSaveDir=/music/pics/\n");
    // Another writer's change is seen by the next read and kept by the next write.
    writeFile(path, bytes(fileText(path) + "[Extra]\nkey=kept\n"));
    profile.writeInteger("position", "left", -3);
    EXPECT_EQ(profile.readInteger("Position", "Left", 0), -3);
    EXPECT_EQ(profile.readString("extra", "KEY", ""), "kept");
    EXPECT_EQ(listFolder(dir.path()).size(), 1u); // no temporary file stays
}

TEST_F(ProfileFile, IntegersThatAreNotIntegersGiveTheDefault) {
    writeFile(path, bytes("[Rename Template]\nNumberOfItems=0x2\n[Position]\nLeft=abc\nTop=\n"));
    EXPECT_EQ(profile.readInteger("Rename Template", "NumberOfItems", 0), 2);
    EXPECT_EQ(profile.readInteger("Position", "Left", 73), 73);
    EXPECT_EQ(profile.readInteger("Position", "Top", 56), 56);
}

TEST_F(ProfileFile, AWriteKeepsThePermissionBits) {
    writeFile(path, bytes("[S]\n"));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    profile.writeString("S", "k", "v");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(ProfileFile, AFailedWriteSaysWhichFileAndChangesNothing) {
    Profile nowhere(dir.file("missing/quillet.ini"));
    try {
        nowhere.writeInteger("Position", "Left", 1);
        FAIL() << "no error";
    } catch (const WriteError& e) {
        EXPECT_EQ(string(e.what()), "Unable to write to " + dir.file("missing/quillet.ini"));
    }
    // A settings file that is a folder cannot be replaced either.
    io::makeFolders(path);
    EXPECT_THROW(profile.writeInteger("Position", "Left", 1), WriteError);
    EXPECT_EQ(profile.readInteger("Position", "Left", 5), 5);
}

TEST_F(ProfileFile, AReadOnlyFileOrFolderIsNotWritten) {
    writeFile(path, bytes("[S]\nk=old\n"));
    {
        ReadOnlyGuard guard(path);
        EXPECT_THROW(profile.writeString("S", "k", "new"), WriteError);
        EXPECT_EQ(profile.readString("S", "k", ""), "old");
    }
    {
        ReadOnlyGuard guard(dir.path());
        EXPECT_THROW(profile.writeString("S", "k", "new"), WriteError);
    }
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(fileText(path), "[S]\nk=old\n");
    EXPECT_EQ(listFolder(dir.path()).size(), 1u);
}
