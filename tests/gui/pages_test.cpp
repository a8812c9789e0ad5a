// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Pages and dialogs driven with a Session and no window: what they need is
// handed to them, and what they did comes back as signals.
#include "dialogs/addlang.h"
#include "editor/editorpage.h"
#include "editor/selectionpage.h"
#include "fakedialogs.h"
#include "session/session.h"
#include "support/testfiles.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class PagesWithoutWindow : public ::testing::Test {
protected:
    TempDir dir;
    FakeDialogs dialogs;
    Session session{dialogs};
};

TEST_F(PagesWithoutWindow, WriteTagWritesOverTheTagTheFileHasNow) {
    EditorPage editor(session, nullptr);
    const std::string path = dir.file("song.mp3");
    writeFile(path, tag24(frame24("TIT2", latin1("old")), 100) + audio());
    session.TempFolder = QString::fromStdString(dir.path());
    editor.readFile(QString::fromStdString(path));
    // Another program rewrites the tag, larger, while the editor shows the file.
    const Bytes rewritten = tag24(frame24("TIT2", latin1("other")), 3000);
    writeFile(path, rewritten + audio());

    static_cast<QLineEdit*>(editor.field(tag::Prop::Title))->setText("new");
    QSignalSpy done(&editor, &EditorPage::done);
    editor.findChild<QPushButton*>("BitBtn19")->click();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(done.count(), 1);

    // The new tag took the place of the rewritten one, all of it: a write after
    // the header read at the time of the edit would leave the rest of it
    // behind as audio.
    const uint32_t size = uint32_t(rewritten.size() - 10);
    const Bytes frame = frame24("TIT2", latin1("new"));
    const Bytes trailer = bytes("TAG") + repeat(0, 124) + Bytes{255};
    EXPECT_EQ(readFile(path),
              header(4, size) + frame + repeat(0, size - frame.size()) + audio() + trailer);
}

TEST_F(PagesWithoutWindow, EntryDialogStoresIntoTheListOfItsMode) {
    TForm2 dialog(session);
    std::vector<tag::ListKind> stored;
    QObject::connect(&dialog, &TForm2::entryStored,
                     [&](tag::ListKind list) { stored.push_back(list); });
    for (tag::ListKind list : EntryDialogLists) {
        dialog.setMode(addMode(list));
        dialog.FormShow();
        dialog.Edit1->setText("about");
        dialog.Memo1->setPlainText("text");
        dialog.storeEntry();
        ASSERT_EQ(stored.back(), list);
        const tag::TagData& model = session.ID3v241.model();
        EXPECT_EQ(model.count(list), 1);
        const tag::EntryColumns entry = model.entry(list, 1);
        EXPECT_EQ(entry[size_t(tag::Column::Text)], "text");
        EXPECT_EQ(entry[size_t(tag::Column::Description)],
                  tag::hasColumn(list, tag::Column::Description) ? withZero("about") : "");
    }
    EXPECT_EQ(stored.size(), EntryDialogLists.size());
}

TEST(SelectionPageFolders, MakerealpathEndsWithOneSeparator) {
    EXPECT_EQ(SelectionPage::makerealpath("/music"), "/music/");
    EXPECT_EQ(SelectionPage::makerealpath("/music/"), "/music/");
}

} // namespace
