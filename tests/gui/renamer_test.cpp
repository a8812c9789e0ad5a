// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The renamer page: building the template, its preview, and runs over the
// selection list on real files.
#include "editor/renamerpage.h"
#include "io/file.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <array>

using namespace testing_support;

namespace {

Bytes song(std::string_view track, std::string_view title) {
    // The model keeps a frame's terminating zero; names must not carry it.
    return tag24(frame24("TRCK", latin1(track)) +
                 frame24("TIT2", latin1(std::string(title) + '\0'))) +
           audio();
}

class Renamer : public WindowFixture {
protected:
    RenamerPage* page() const { return form->renamerPage(); }
    QString preview() const { return page()->Label77->text(); }
    QString counter() const { return page()->Label80->text(); }
    // The counter and the progress bar's per cent.
    QString progress() const {
        return counter() + ", " + QString::number(page()->ProgressBar2->value()) + "%";
    }

    void addRow(const QString& prefix, const QString& frameName, const QString& suffix) {
        page()->Edit38->setText(prefix);
        page()->ComboBox5->setCurrentIndex(page()->ComboBox5->findText(frameName));
        page()->Edit39->setText(suffix);
        click("BitBtn28");
    }
    void introTemplate() {
        addRow("", "Track Num.", " - ");
        addRow("", "Title", "");
    }
    // Answers the question and runs.
    void rename(bool yes = true) {
        click("ToolButton8");
        dialogs.answers = {yes};
        click("Button1");
    }
    QString listedFile(int row) const { return selectionList()->file(row); }
    bool onDisk(const std::string& name) const { return exists(dir.file(name)); }
};

TEST_F(Renamer, ThePageAndItsControls) {
    click("ToolButton8");
    EXPECT_EQ(widget<QStackedWidget>("PageControl2")->currentIndex(), TForm1::RenamerPageIndex);
    auto* combo = page()->ComboBox5;
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->currentIndex(), -1);
    ASSERT_EQ(combo->count(), 50);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(combo->itemText(i).toStdString(), renamer::FrameNameTable[size_t(i)].name);
    auto* list = page()->ListView8;
    const QStringList headers{"Prefix", "Frame Name", "Sufix"};
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(list->headerItem()->text(c), headers[c]);
    EXPECT_EQ(list->columnWidth(1), 200);
    EXPECT_FALSE(list->header()->sectionsClickable());
    EXPECT_EQ(preview(), ".mp3"); // the empty template, shown at start-up
    EXPECT_EQ(counter(), "0 of 0");
    for (QLabel* label : page()->findChildren<QLabel*>()) {
        if (label->text().endsWith(':') && label->text() != "Renamed File Name:") {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
        }
    }
}

TEST_F(Renamer, AddingRowsAndThePreview) {
    introTemplate();
    EXPECT_EQ(page()->templateRowCount(), 2);
    EXPECT_EQ(page()->templateRow(0), QStringList({"", "Track Num.", " - "}));
    EXPECT_EQ(preview(), "Track Num. - Title.mp3");
    // The edits and the combo keep what they hold.
    EXPECT_EQ(page()->ComboBox5->currentText(), "Title");
    // No field chosen: the row has an empty frame name.
    page()->ComboBox5->setCurrentIndex(-1);
    page()->Edit38->setText("[");
    page()->Edit39->setText("]");
    click("BitBtn28");
    EXPECT_EQ(page()->templateRow(2), QStringList({"[", "", "]"}));
    EXPECT_EQ(preview(), "Track Num. - Title[].mp3");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Renamer, PrefixesAndSuffixesWithWildcardsAreRefused) {
    for (auto [prefix, suffix] : {std::pair{"a?b", ""}, {"", "*"}, {"c\\", "d"}}) {
        dialogs.messages.clear();
        addRow(prefix, "Title", suffix);
        EXPECT_EQ(dialogs.messages,
                  Boxes({{"File name cannot contain *, ?, \\. Please replace these chars.",
                          "Warning", Icon::Error}}))
            << prefix << suffix;
    }
    EXPECT_EQ(page()->templateRowCount(), 0);
    addRow("ab", "Title", "");
    EXPECT_EQ(page()->templateRowCount(), 1);
    EXPECT_EQ(preview(), "abTitle.mp3");
}

TEST_F(Renamer, DeletingTheSelectedRow) {
    introTemplate();
    addRow("x", "Album", "y");
    click("BitBtn29"); // nothing selected: nothing happens
    EXPECT_EQ(page()->templateRowCount(), 3);
    page()->ListView8->selectRow(1);
    click("BitBtn29");
    ASSERT_EQ(page()->templateRowCount(), 2);
    EXPECT_EQ(page()->templateRow(1), QStringList({"x", "Album", "y"}));
    EXPECT_EQ(preview(), "Track Num. - xAlbumy.mp3");
    // The list highlights the next row and reports it: that is the one deleted next.
    ASSERT_EQ(page()->ListView8->selectedRow(), 1);
    click("BitBtn29");
    ASSERT_EQ(page()->templateRowCount(), 1);
    EXPECT_EQ(page()->templateRow(0)[1], "Track Num.");
    page()->ListView8->clearSelection();
    click("BitBtn29");
    EXPECT_EQ(page()->templateRowCount(), 1);
}

TEST_F(Renamer, TheSelectedTemplateRowIsTheListsOwn) {
    introTemplate();
    addFile("a.mp3", song("1", "A"));
    page()->ListView8->selectRow(0);
    selectionList()->selectRow(0); // another list reports a row in between
    click("BitBtn29");
    ASSERT_EQ(page()->templateRowCount(), 1);
    EXPECT_EQ(page()->templateRow(0)[1], "Title");
}

TEST_F(Renamer, ARunRenamesEveryFileAfterItsOwnTags) {
    introTemplate();
    const struct {
        const char *file, *track, *title, *renamed;
    } songs[] = {{"x.mp3", "01", "Intro", "01 - Intro.mp3"},
                 {"y.mp3", "02", "What? *Live*", "02 - What_ _Live_.mp3"},
                 {"z.mp3", "03", "AC/DC", "03 - AC_DC.mp3"},
                 {"w.mp3", "04", "../up", "04 - .._up.mp3"}};
    for (const auto& s : songs)
        addFile(s.file, song(s.track, s.title));
    rename();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0], "Do you realy want to rename all files in the selection list?");
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(listedFile(row), songs[row].renamed);
        EXPECT_TRUE(onDisk(songs[row].renamed)) << songs[row].renamed;
        EXPECT_EQ(selectionList()->folder(row).toStdString(), dir.path());
    }
    EXPECT_FALSE(onDisk("x.mp3"));
    EXPECT_EQ(readFile(dir.file("01 - Intro.mp3")), song("01", "Intro"));
    EXPECT_FALSE(exists(dir.path() + "../up.mp3"));
    EXPECT_EQ(progress(), "4 of 4, 100%");
    EXPECT_EQ(WindowFixture::page(), TForm1::SelectionPageIndex);
    EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
    EXPECT_TRUE(widget<QAbstractButton>("ToolButton13")->isChecked());
    EXPECT_TRUE(page()->Button1->isEnabled());
    // The renamer page button starts the counter afresh.
    click("ToolButton8");
    EXPECT_EQ(progress(), "0 of 0, 0%");
}

// An empty selection list, or the question answered No: nothing is renamed.
TEST_F(Renamer, AnEmptyListOrAnsweringNoRenamesNothing) {
    introTemplate();
    rename();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(progress(), "0 of 0, 0%");
    addFile("x.mp3", song("01", "Intro"));
    rename(false);
    EXPECT_TRUE(onDisk("x.mp3"));
    EXPECT_EQ(listedFile(0), "x.mp3");
    EXPECT_EQ(WindowFixture::page(), TForm1::RenamerPageIndex);
}

// Runs over small folders: each file gets the name its own tags make (the
// trailer's fields too); a name taken makes the file's row number its prefix,
// so that no file is lost.
TEST_F(Renamer, EachFileGetsTheNameOfItsOwnTags) {
    const Bytes trailer = bytes("TAG") + repeat(0, 30) + bytes("Abba") + repeat(0, 26) +
                          repeat(0, 30) + bytes("1976") + repeat(0, 30) + Bytes{255};
    using Row = std::array<const char*, 3>;
    const struct {
        const char* what;
        std::vector<Row> rows;
        std::vector<Bytes> files;
        std::vector<std::string> names;
    } cases[] = {
        {"the same tags twice",
         {{"", "Track Num.", " - "}, {"", "Title", ""}},
         {song("01", "Intro"), song("01", "Intro")},
         {"01 - Intro.mp3", "201 - Intro.mp3"}},
        {"an empty template",
         {},
         {song("1", "a"), song("1", "b"), song("1", "c")},
         {".mp3", "2.mp3", "3.mp3"}},
        {"the trailer's fields",
         {{"", "Artist(ID3v1)", " - "}, {"", "Year(ID3v1)", ""}},
         {audio() + trailer},
         {"Abba - 1976.mp3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = dir.path() + c.what + "/";
        io::makeFolders(folder);
        page()->ListView8->clear();
        for (const Row& row : c.rows)
            page()->addTemplateRow(row[0], row[1], row[2]);
        selectionList()->clear();
        for (size_t i = 0; i < c.files.size(); ++i) {
            const std::string name = "f" + std::to_string(i) + ".mp3";
            writeFile(folder + name, c.files[i]);
            selectionList()->append(QString::fromStdString(name), QString::fromStdString(folder));
        }
        rename();
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
        for (size_t i = 0; i < c.names.size(); ++i) {
            EXPECT_EQ(listedFile(int(i)).toStdString(), c.names[i]);
            EXPECT_TRUE(exists(folder + c.names[i])) << c.names[i];
        }
    }
}

TEST_F(Renamer, TagTextInAnyEncodingBecomesUtf8NamesWithin255Bytes) {
    addRow("", "Title", "");
    addFile("a.mp3", song("1", "Caf\xE9"));
    addFile("b.mp3", song("2", std::string(300, 'n')));
    addFile("c.mp3", song("3", std::string(200, '\xE9')));
    // UTF-8 and UTF-16 frames: 100 characters of three bytes, and Cyrillic.
    std::string cjk;
    for (int i = 0; i < 100; ++i)
        cjk += "日";
    addFile("d.mp3", tag24(frame24("TIT2", Bytes{3} + bytes(cjk))) + audio());
    addFile("e.mp3",
            tag24(frame24("TIT2", Bytes{1, 0xFF, 0xFE, 0x1A, 0x04, 0x38, 0x04})) + audio());
    rename();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(listedFile(0), QString::fromUtf8("Café.mp3"));
    EXPECT_TRUE(onDisk("Caf\xC3\xA9.mp3"));
    EXPECT_TRUE(onDisk(std::string(250, 'n') + ".mp3"));
    EXPECT_EQ(listedFile(2), QString(125, QChar(0xE9)) + ".mp3");
    EXPECT_EQ(listedFile(3), QString(83, QChar(0x65E5)) + ".mp3"); // 249 bytes: whole characters
    EXPECT_TRUE(onDisk("Ки.mp3"));
}

TEST_F(Renamer, AFailedFileStopsTheRunWhereItIs) {
    introTemplate();
    addFile("a.mp3", song("01", "One"));
    selectionList()->append("gone.mp3", QString::fromStdString(dir.path()));
    addFile("c.mp3", song("03", "Three"));
    rename();
    // The box names the file the run stopped at.
    EXPECT_EQ(dialogs.messages,
              Boxes({FakeDialogs::reported(QString::fromStdString(dir.file("gone.mp3")) +
                                           ":\nFile not found")}));
    EXPECT_EQ(listedFile(0), "01 - One.mp3");
    EXPECT_EQ(listedFile(2), "c.mp3");
    EXPECT_TRUE(onDisk("c.mp3"));
    EXPECT_EQ(progress(), "1 of 3, 33%");
    EXPECT_EQ(WindowFixture::page(), TForm1::RenamerPageIndex);
    EXPECT_TRUE(page()->Button1->isEnabled());
}

TEST_F(Renamer, ASecondCollisionStopsTheRun) {
    introTemplate();
    writeFile(dir.file("01 - Intro.mp3"), bytes("other"));
    writeFile(dir.file("101 - Intro.mp3"), bytes("other too"));
    addFile("a.mp3", song("01", "Intro"));
    rename();
    EXPECT_EQ(dialogs.messages,
              Boxes({FakeDialogs::reported(QString::fromStdString(dir.file("a.mp3")) +
                                           ":\nI/O error 17")}));
    EXPECT_TRUE(onDisk("a.mp3"));
    EXPECT_EQ(readFile(dir.file("01 - Intro.mp3")), bytes("other"));
}

} // namespace
