// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Runs over the selection list ("Write for all", the renamer): what is locked
// while they go on, stopping them, closing the window during one, and a
// write after one failed. Whatever the user does during a run is done from a
// timer that fires when the run lets pending events run after its first file.
#include "editor/renamerpage.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

using namespace testing_support;

namespace {

Bytes song(std::string_view title, uint32_t tagSize = 200) {
    const Bytes frames = frame24("TIT2", latin1(title));
    return header(4, tagSize) + frames + repeat(0, tagSize - frames.size()) + audio();
}

enum class Loop { WriteForAll, Rename };

class LoopRuns : public WindowFixture {
protected:
    // Three files alone in the selection list, the first one open in the editor.
    void threeFiles() {
        paths.clear();
        form->selectionPage()->BitBtn30Click();
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            paths.push_back(addFile(name, song(name)));
        edit(0);
    }
    // Starts a run, answering its question Yes; during goes on after the first file.
    void startRun(Loop which, std::function<void()> during) {
        if (which == Loop::Rename) {
            form->renamerPage()->addTemplateRow("", "Title", "-new");
            click("ToolButton8");
        }
        QTimer::singleShot(0, form.get(), std::move(during));
        dialogs.answers = {true};
        click(which == Loop::WriteForAll ? "Button2" : "Button1");
    }
    QString progressLabel(Loop which) const {
        return which == Loop::WriteForAll ? widget<QLabel>("Label74")->text()
                                          : form->renamerPage()->Label80->text();
    }
    bool enabled(const char* name) const { return widget(name)->isEnabled(); }

    std::vector<std::string> paths;
};

// Everything that could start another write or change the selection list.
const char* const Locked[] = {"BitBtn19", "Button2", "BitBtn20", "BitBtn21",     "PageControl3",
                              "BitBtn1",  "BitBtn2", "BitBtn30", "PageControl1", "Button1"};

TEST_F(LoopRuns, EverythingThatWritesIsLockedUntilTheRunEndsHoweverItEnds) {
    for (Loop which : {Loop::WriteForAll, Loop::Rename}) {
        SCOPED_TRACE(which == Loop::WriteForAll ? "write for all" : "rename");
        threeFiles();
        const Bytes first = readFile(paths[0]);
        std::vector<std::string> lockedDuring;
        bool stopShown = false, cancelLive = false, pageKept = false;
        startRun(which, [&] {
            for (const char* name : Locked)
                if (!enabled(name)) lockedDuring.push_back(name);
            stopShown = form->renamerPage()->StopButton->isVisible();
            cancelLive = enabled("Button3");
            // Clicks that would write or start a second run do nothing: "Write
            // Tag" would also have left the page.
            const int before = page();
            widget<QAbstractButton>("BitBtn19")->click();
            widget<QAbstractButton>("Button2")->click();
            settle();
            pageKept = page() == before;
        });
        EXPECT_TRUE(pageKept);
        EXPECT_EQ(lockedDuring.size(), std::size(Locked));
        EXPECT_EQ(stopShown, which == Loop::Rename);
        EXPECT_TRUE(cancelLive);
        EXPECT_EQ(dialogs.questions.size(), 1);
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
        EXPECT_EQ(progressLabel(which), "3 of 3");
        for (const char* name : Locked)
            EXPECT_TRUE(enabled(name)) << name;
        EXPECT_FALSE(form->renamerPage()->StopButton->isVisible());
        if (which == Loop::WriteForAll) {
            EXPECT_NE(readFile(paths[0]), first);
        }
        dialogs.questions.clear();
    }
}

TEST_F(LoopRuns, AStoppedRunKeepsWhatItDidAndEndsAsAfterTheLastFile) {
    struct Case {
        const char* what;
        Loop loop;
        std::function<void()> stop;
    };
    const Case cases[] = {
        {"Cancel editing", Loop::WriteForAll, [this] { click("Button3"); }},
        {"Escape", Loop::Rename, [this] { QTest::keyClick(form.get(), Qt::Key_Escape); }},
        {"Stop", Loop::Rename, [this] { click("StopButton"); }},
    };
    form->activateWindow(); // Escape is a shortcut of the active window
    QTRY_VERIFY(form->isActiveWindow());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        threeFiles();
        const Bytes second = readFile(paths[1]), third = readFile(paths[2]);
        startRun(c.loop, c.stop);
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
        EXPECT_EQ(progressLabel(c.loop), "1 of 3");
        EXPECT_EQ(readFile(paths[1]), second);
        EXPECT_EQ(readFile(paths[2]), third);
        if (c.loop == Loop::Rename) {
            EXPECT_TRUE(exists(dir.file("a.mp3-new.mp3")));
            EXPECT_EQ(selectionList()->file(0), "a.mp3-new.mp3");
            EXPECT_EQ(selectionList()->file(1), "b.mp3");
            std::rename(dir.file("a.mp3-new.mp3").c_str(), paths[0].c_str());
            form->renamerPage()->ListView8->clear();
        }
        EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
        EXPECT_EQ(page(), TForm1::SelectionPageIndex);
        // The stop was for that run only: the next one goes through.
        if (c.loop == Loop::WriteForAll) {
            startRun(c.loop, [] {});
            EXPECT_EQ(progressLabel(c.loop), "3 of 3");
        }
    }
}

TEST_F(LoopRuns, ClosingDuringARunStopsItThenTheExitWorkRuns) {
    threeFiles();
    const std::string picture = dir.path() + "program/Temp/cover.jpg";
    writeFile(picture, bytes("not really a jpeg"));
    form->session().ID3v241.SetPicture(withZero("cover"), "Cover (front)", withZero("image/jpg"),
                                       picture, 1);
    const Bytes third = readFile(paths[2]);
    bool pictureThereAfterClose = false, visibleAfterClose = false;
    startRun(Loop::WriteForAll, [&] {
        form->close();
        pictureThereAfterClose = exists(picture);
        visibleAfterClose = form->isVisible();
    });
    EXPECT_TRUE(pictureThereAfterClose);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(widget<QLabel>("Label74")->text(), "1 of 3");
    EXPECT_EQ(readFile(paths[2]), third);
    // The window closes once the run has ended, and the exit work runs then.
    settle();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(exists(picture));
    EXPECT_TRUE(exists(dir.path() + "program/quillet.ini"));
}

// "Write for all" stops at a file that cannot be written, with its error: the
// files before it are written, those after it untouched, the window unlocked
// and the editor still open; a "Write Tag" then writes the edited file only.
TEST_F(LoopRuns, AFailedWriteForAllStopsThereAndWriteTagThenWritesOnlyTheEditedFile) {
    // The edited file has a small tag; the file written last before the
    // failure a large one, whose size the tag component still holds.
    const Bytes edited = song("edited", 1000);
    const std::string editedPath = addFile("edited.mp3", edited);
    const Bytes otherBefore = song("other", 3000);
    const std::string otherPath = addFile("other.mp3", otherBefore);
    selectionList()->append("missing.mp3", QString::fromStdString(dir.path()));
    const std::string afterPath = addFile("after.mp3", audio());
    edit(0);
    widget<QLineEdit>("Edit43")->setText("v1 title");
    dialogs.answers = {true};
    click("Button2");
    EXPECT_EQ(dialogs.messages, Boxes({FakeDialogs::reported("File not found")}));
    EXPECT_EQ(page(), TForm1::EditorPageIndex); // the editor stays open
    for (const char* name : Locked)
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_NE(readFile(otherPath), otherBefore);
    EXPECT_EQ(readFile(afterPath), audio()); // no later row is touched

    const Bytes other = readFile(otherPath);
    widget<QLineEdit>("Edit1")->setText("Second try");
    click("BitBtn19");
    ASSERT_EQ(dialogs.messages.size(), 1u) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(readFile(otherPath), other);
    const Bytes written = readFile(editedPath);
    ASSERT_EQ(written.size(), edited.size() + 128);
    EXPECT_EQ(Bytes(written.begin() + 1010, written.end() - 128), audio());
    EXPECT_EQ(Bytes(written.end() - 125, written.end() - 117), bytes("v1 title"));
    auto check = std::make_unique<ID3v24>();
    check->FileName = editedPath;
    check->ReadTag(dir.path() + "Temp", false);
    EXPECT_EQ(check->text(tag::Prop::Title), "Second try");
}

} // namespace
