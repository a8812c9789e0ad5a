// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
//
// Files as other programs write them, edited in the window: the fields show
// what the peers read, several values joined by the separator, and Write Tag
// keeps every other frame, after naming what it cannot keep.
#include "journal/journal.h"
#include "support/families.h"
#include "support/peers.h"
#include "text/values.h"
#include "windowfixture.h"

#include <QLineEdit>

using namespace testing_support;

namespace {

class Families : public WindowFixture {};

TEST_F(Families, EditedInTheWindowKeepEverything) {
    int row = 0;
    for (const Family& family : families(dir.path())) {
        SCOPED_TRACE(family.name);
        const std::string path = addFile("family" + std::to_string(row) + ".mp3", family.file);
        std::vector<std::vector<std::string>> before;
        for (const Peer& peer : peers())
            before.push_back(untitled(peerView(peer, path, true).frames, family.dropped));
        edit(row++);
        const std::string artist = form->session().ID3v241.text(tag::Prop::LeadPerformer);
        EXPECT_EQ(widget<QLineEdit>("Edit17")->text().toStdString(), values::joined(artist));
        widget<QLineEdit>("Edit1")->setText(QStringLiteral("Edited in the window"));
        dialogs.questions.clear();
        dialogs.answers = {true};
        click("BitBtn19");
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
        ASSERT_EQ(dialogs.questions.size(), family.dropped.empty() ? 0 : 1);
        for (const std::string& id : family.dropped)
            EXPECT_TRUE(dialogs.questions.front().contains(QString::fromStdString(id)));
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(untitled(peerView(peers()[i], path, true).frames, family.dropped), before[i])
                << peers()[i].name;
    }
}

TEST_F(Families, NoWritesNothing) {
    const Family lossy = families(dir.path())[1];
    ASSERT_FALSE(lossy.dropped.empty());
    const std::string path = addFile("lossy.mp3", lossy.file);
    edit(0);
    widget<QLineEdit>("Edit1")->setText(QStringLiteral("Not written"));
    click("BitBtn19");
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions.front().startsWith(
        QStringLiteral("These frames cannot be kept in an ID3v2.4 tag")));
    EXPECT_EQ(readFile(path), lossy.file);
}

// A run over the album reads each file once: the question about frames it
// cannot keep comes before the first file is written, and No leaves every
// file and the journal as they were.
TEST_F(Families, AnAlbumRunAsksOnceBeforeItWritesAnything) {
    const std::vector<Family> all = families(dir.path());
    const Family& lossy = all[1];
    ASSERT_TRUE(all[0].dropped.empty());
    for (const char* button : {"Button2", "WriteChangesButton"}) {
        SCOPED_TRACE(button);
        selectionList()->clear();
        const std::vector<std::string> paths = {addFile("first.mp3", all[0].file),
                                                addFile("lossy.mp3", lossy.file),
                                                addFile("last.mp3", all[0].file)};
        for (const bool yes : {false, true}) {
            const size_t actions = form->session().journal->actions().size();
            edit(0);
            widget<QLineEdit>("Edit3")->setText(QStringLiteral("Album at once"));
            dialogs.questions.clear();
            dialogs.answers = {true, yes};
            click(button);
            ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
            ASSERT_EQ(dialogs.questions.size(), 2);
            EXPECT_TRUE(dialogs.questions[1].contains(QStringLiteral("\n\nlossy.mp3: RVA\n")))
                << dialogs.questions[1].toStdString();
            EXPECT_EQ(readFile(paths[0]) == all[0].file, !yes);
            EXPECT_EQ(readFile(paths[1]) == lossy.file, !yes);
            EXPECT_EQ(form->session().journal->actions().size(), actions + yes);
            if (yes) {
                EXPECT_EQ(readBack(paths[1])->text(tag::Prop::Album), "Album at once");
            }
        }
    }
}

} // namespace
