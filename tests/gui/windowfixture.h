// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "dialogs/addeditimage.h"
#include "dialogs/addlang.h"
#include "editor/editorpage.h"
#include "editor/selectionpage.h"
#include "editor/tagprog1.h"
#include "fakedialogs.h"
#include "services/programfolder.h"
#include "support/testfiles.h"
#include "widgets/reportview.h"

#include <QAbstractButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>

using testing_support::operator+;

// The whole main window with its dialogs, in a program folder of its own.
class WindowFixture : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;

    void SetUp() override {
        setProgramFolder(QString::fromStdString(dir.path() + "program/"));
        start();
    }
    // Program start: the window, then the two dialogs, then the first showing.
    void start() {
        form = std::make_unique<TForm1>(dialogs);
        form2 = new TForm2(form->session(), form.get());
        form3 = new TForm3(form->session(), form.get());
        form->setDialogs(form2, form3);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override { form.reset(); }

    template <class T = QWidget> T* widget(const char* name) const {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) {
        widget<QAbstractButton>(name)->click();
        settle();
    }
    // Runs what a handler left for after it returned: the boxes of the tool
    // buttons and of a refused tab change come after the press returned.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); }

    // The session's selection list, and the view that shows it.
    SelectionList* selectionList() const { return &form->session().selection; }
    QTreeView* selectionView() const { return form->selectionPage()->ListView1; }
    // The text the selection list's view shows in a cell.
    QString cell(int row, int column) const;
    QTabWidget* tabs() const { return widget<QTabWidget>("PageControl1"); }
    int page() const;

    // Types text into w as key presses, a character each (QTest::keyClicks
    // takes ASCII only).
    static void type(QWidget* w, const QString& text);

    // A file in the test folder, added to the selection list.
    std::string addFile(const std::string& name, const testing_support::Bytes& bytes);
    // Selects row (0-based) of the selection list and switches to the editor.
    void edit(int row);
    // A file holding a tag of these frames, read into the editor without a box.
    void open(const testing_support::Bytes& frames);
    // The tag of the file at path as it is on disk now.
    std::unique_ptr<ID3v24> readBack(const std::string& path) const;
    // Adds the picture file through the image dialog, as the user does.
    void addPicture(const std::string& file, const QString& description, int pictureType);
};
