// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag's undo journal: write, set and kill are recorded unless told
// --no-journal, undone by undo byte for byte, and undo --list shows the journal.
#include "jsonlines.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;

namespace {

class QuilletTagUndo : public ::testing::Test {
protected:
    TempDir dir;
    const std::string a = dir.file("a.mp3");
    const std::string b = dir.file("b.mp3");
    const Bytes song =
        tag24(frame24("TIT2", latin1("Old")) + frame24("TPE1", latin1("Who")), 500) + audio(9000);

    void SetUp() override {
        writeFile(a, song);
        writeFile(b, song);
        writeFile(dir.file("c.png"), bytes("\x89PNG\r\n\x1A\n") + repeat(1, 99));
    }
    // prefix: what runs it (setpriv, to run without root's file access).
    ProcessResult tag(const std::string& args, const std::string& input = {},
                      const std::string& prefix = {}) {
        return run(prefix + QUILLET_TAG_BIN + " " + args + " --program-folder " +
                       shellQuote(dir.file("program")),
                   input);
    }
    std::string both() const { return shellQuote(a) + " " + shellQuote(b); }
};

TEST_F(QuilletTagUndo, UndoesWhatEachCommandWrote) {
    const struct {
        const char* command;
        std::string after;
        const char* input;
    } commands[] = {
        {"write", "", R"({"texts": {"Title": "A much longer title than before"}})"},
        {"set", " Title=New", ""},
        {"set", " Pictures+=" + dir.file("c.png") + " Comments=eng::c", ""},
        {"names", " --template '{Title}'", ""},
        {"number", " --total", ""},
        {"kill", "", ""},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.command);
        const auto done = tag(std::string(c.command) + " " + both() + c.after, c.input);
        ASSERT_EQ(done.status, 0) << done.out;
        ASSERT_NE(readFile(a), song);
        const auto undone = tag("undo");
        EXPECT_EQ(undone.status, 0);
        EXPECT_EQ(lines(undone.out), (std::vector<Json>{{{"file", b}, {"undone", true}},
                                                        {{"file", a}, {"undone", true}}}));
        EXPECT_EQ(readFile(a), song);
        EXPECT_EQ(readFile(b), song);
    }
    // Every action undone; a run told --no-journal is not recorded.
    ASSERT_EQ(tag("kill --no-journal " + both()).status, 0);
    const auto nothing = tag("undo 2>&1");
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(nothing.out, "quillet-tag: nothing to undo\n");
}

TEST_F(QuilletTagUndo, AChangeThatFailsRecordsNothing) {
    ASSERT_EQ(tag("set " + both() + " Title=New").status, 0);
    ::chmod(a.c_str(), 0444);
    // Root writes any file: the kill runs without that right.
    const std::string user =
        ::geteuid() == 0 ? "setpriv --bounding-set=-dac_override,-dac_read_search " : "";
    EXPECT_EQ(lines(tag("kill " + shellQuote(a), {}, user).out),
              (std::vector<Json>{{{"file", a}, {"error", "File access denied"}}}));
    ::chmod(a.c_str(), 0644);
    // The undo takes back the set, the one action there is.
    EXPECT_EQ(tag("undo").status, 0);
    EXPECT_EQ(readFile(a), song);
}

TEST_F(QuilletTagUndo, ListsTheJournalNewestFirst) {
    ASSERT_EQ(tag("set --journal " + both() + " Title=New").status, 0);
    ASSERT_EQ(tag("kill " + shellQuote(a)).status, 0);
    ASSERT_EQ(tag("undo").status, 0);
    const auto listed = tag("undo --list");
    ASSERT_EQ(listed.status, 0);
    const auto actions = lines(listed.out);
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(keys(actions[0]),
              (std::vector<std::string>{"kind", "time", "files", "bytes", "undone"}));
    EXPECT_EQ(actions[0]["kind"], "kill");
    EXPECT_EQ(actions[0]["files"], 1);
    EXPECT_EQ(actions[0]["undone"], true);
    EXPECT_EQ(actions[1]["kind"], "write");
    EXPECT_EQ(actions[1]["files"], 2);
    EXPECT_EQ(actions[1]["undone"], false);
    EXPECT_GT(actions[1]["bytes"].get<int>(), 0);
    EXPECT_TRUE(std::regex_match(actions[1]["time"].get<std::string>(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));
}

TEST_F(QuilletTagUndo, AFileChangedSinceIsNamedAndLeftAlone) {
    ASSERT_EQ(tag("set " + both() + " Title=New").status, 0);
    Bytes changed = readFile(b);
    changed.back() ^= 1;
    writeFile(b, changed);
    const auto undone = tag("undo");
    EXPECT_EQ(undone.status, 1);
    EXPECT_EQ(lines(undone.out),
              (std::vector<Json>{{{"file", b}, {"error", "changed since: not undone"}},
                                 {{"file", a}, {"undone", true}}}));
    EXPECT_EQ(readFile(a), song);
    EXPECT_EQ(readFile(b), changed);
}

} // namespace
