// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Undo in the window: "Write for all", "Kill Tag" and the renamer's run are
// journaled, and the Undo tool button or Ctrl+Z undoes the newest after one
// question, with the lists read again and one box for the files left alone.
#include "editor/renamerpage.h"
#include "editor/undorun.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

using namespace testing_support;

namespace {

class WindowUndo : public WindowFixture {
protected:
    static Bytes song(std::string_view title, uint32_t size = 400) {
        return tag24(frame24("TIT2", latin1(std::string(title) + '\0')), size) + audio();
    }
    // Answers the next question, presses Undo and returns the question asked.
    QString undo(bool yes, bool byShortcut = false) {
        dialogs.answers = {yes};
        if (byShortcut)
            QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
        else
            click("UndoButton");
        return dialogs.questions.isEmpty() ? QString() : dialogs.questions.last();
    }
};

TEST_F(WindowUndo, WriteForAllIsUndoneButForAFileChangedSince) {
    const std::string a = addFile("a.mp3", song("A")), b = addFile("b.mp3", song("B", 10)),
                      c = addFile("c.mp3", audio());
    const Bytes before[] = {readFile(a), readFile(b), readFile(c)};
    edit(0);
    widget<QLineEdit>("Edit1")->setText("Shared");
    dialogs.answers = {true};
    click("Button2");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    Bytes changed = readFile(c);
    changed.push_back(0); // another program's write since
    writeFile(c, changed);

    auto* button = widget<QAbstractButton>("UndoButton");
    EXPECT_EQ(button->toolTip(), "Undo the last write or rename");
    EXPECT_EQ(undo(false), "Undo the last write of 3 files?");
    EXPECT_NE(readFile(a), before[0]);
    EXPECT_EQ(undo(true), "Undo the last write of 3 files?");
    EXPECT_EQ(readFile(a), before[0]);
    EXPECT_EQ(readFile(b), before[1]);
    EXPECT_EQ(readFile(c), changed);
    EXPECT_EQ(dialogs.messages, Boxes({{QString::fromStdString("These files were left alone:\n" +
                                                               c + ": changed since: not undone"),
                                        "Warning", Icon::Warning}}));
    EXPECT_EQ(widget<QLabel>("UndoCounter")->text(), "3 of 3");
    EXPECT_FALSE(form->findChild<UndoRun*>()->isVisible());

    // The write is undone: nothing is left to undo.
    dialogs.messages.clear();
    undo(true);
    EXPECT_EQ(dialogs.messages, Boxes({{"There is nothing to undo.", "Undo", Icon::Information}}));
}

TEST_F(WindowUndo, CtrlZUndoesTheRenamerRunAndAKill) {
    const std::string a = addFile("a.mp3", song("One")), b = addFile("b.mp3", song("Two"));
    const Bytes tagged = readFile(a);
    auto* renamer = form->renamerPage();
    click("ToolButton8");
    renamer->ComboBox5->setCurrentIndex(renamer->ComboBox5->findText("Title"));
    click("BitBtn28");
    dialogs.answers = {true};
    click("Button1");
    ASSERT_TRUE(exists(dir.file("One.mp3")) && exists(dir.file("Two.mp3")));
    // Kill Tag of the first row, now One.mp3.
    selectionList()->selectRow(0);
    dialogs.answers = {true};
    click("ToolButton10");
    ASSERT_NE(readFile(dir.file("One.mp3")), tagged);

    EXPECT_EQ(undo(true, true), "Undo the last write of 1 file?");
    EXPECT_EQ(readFile(dir.file("One.mp3")), tagged);
    EXPECT_EQ(undo(true, true), "Undo the last rename of 2 files?");
    EXPECT_EQ(readFile(a), tagged);
    EXPECT_TRUE(exists(b));
    EXPECT_FALSE(exists(dir.file("One.mp3")));
    EXPECT_EQ(selectionList()->file(0), "a.mp3");
    EXPECT_EQ(selectionList()->file(1), "b.mp3");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
}

} // namespace
