// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The main window: navigation, the selection list, reading tags into the
// editor, and the actions on the selected file.
#include "browser/filebrowser.h"
#include "io/file.h"
#include "languages/languages.h"
#include "tagengine/zurur24.h"
#include "widgets/maskedit.h"
#include "widgets/toolicon.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeView>

using namespace testing_support;

namespace {

Bytes v1Trailer(std::string_view title, uint8_t track, uint8_t genre) {
    Bytes t = bytes("TAG") + bytes(title) + repeat(0, 30 - title.size()) + repeat(0, 30 + 30) +
              bytes("1999") + repeat(0, 28) + Bytes{0, track, genre};
    return t;
}

Bytes richFile() {
    Bytes frames =
        frame24("TIT2", latin1(withZero("Song"))) + frame24("TPUB", latin1("Pub")) +
        frame24("WPUB", bytes("http://pub")) + frame24("TRCK", latin1("3/12")) +
        frame24("TDRC", latin1("2004-05-06")) + frame24("TDRL", latin1("2004-05")) +
        frame24("TDOR", latin1("2004")) + frame24("TLAN", latin1("ger")) +
        frame24("TKEY", latin1("c#m")) + frame24("TCON", latin1("Rock")) +
        frame24("COMM", latin1("eng") + bytes("Intro") + Bytes{0} + bytes("Hello")) +
        frame24("WXXX", Bytes{0} + bytes("home") + Bytes{0} + bytes("http://h")) +
        frame24("APIC", latin1("image/png") + Bytes{0, 3} + bytes("cover") + Bytes{0, 1, 2});
    return tag24(frames) + audio() + v1Trailer("v1title", 7, 17);
}

class MainWindow : public WindowFixture {
protected:
    // What a field shows, whether a line, a date or a combo box.
    QString shown(const char* name) {
        QWidget* w = widget(name);
        if (auto* date = qobject_cast<DateMaskEdit*>(w)) return date->dateText();
        if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText();
        return static_cast<QLineEdit*>(w)->text();
    }
    // Each field named shows its text.
    using Field = std::pair<const char*, const char*>;
    template <size_t N> void expectShown(const Field (&fields)[N]) {
        for (const auto& [name, text] : fields)
            EXPECT_EQ(shown(name), QString::fromUtf8(text)) << name;
    }
    // The rich file in the editor, the window active, for typing into the
    // first date; the title field takes the focus away from it.
    DateMaskEdit* editFirstDate() {
        addFile("song.mp3", richFile());
        edit(0);
        form->activateWindow();
        return widget<DateMaskEdit>("MaskEdit1");
    }
    // A home folder deep in the tree, below its first screenful, for the
    // test's length.
    void deepHome() {
        io::makeFolders(dir.path() + "deep/home");
        qputenv("HOME", QByteArray::fromStdString(dir.path() + "deep/home"));
    }
    void TearDown() override {
        qputenv("HOME", m_home);
        WindowFixture::TearDown();
    }
    // The home folder is the tree's current row, and in its view.
    bool homeInView() const {
        QTreeView* tree = form->selectionPage()->browser()->folderTree();
        const QModelIndex home =
            static_cast<QFileSystemModel*>(tree->model())->index(QDir::homePath());
        return tree->currentIndex() == home &&
               tree->viewport()->rect().contains(tree->visualRect(home));
    }

private:
    const QByteArray m_home = qgetenv("HOME");
};

TEST_F(MainWindow, StartsOnTheSelectionPage) {
    EXPECT_EQ(form->windowTitle(), "Quillet v1.2");
    EXPECT_EQ(form->size(), QSize(678, 499));
    EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
    EXPECT_EQ(tabs()->tabText(0), "Mp3 File");
    EXPECT_EQ(tabs()->tabText(1), "ZuRur v. 2.4");
    EXPECT_EQ(page(), TForm1::SelectionPageIndex);
    EXPECT_TRUE(widget<QAbstractButton>("ToolButton13")->isChecked());
    EXPECT_TRUE(widget<QAbstractButton>("ToolButton2")->isChecked());
    for (const char* name : {"ToolButton1", "ToolButton5", "ToolButton9", "ToolButton11"})
        EXPECT_FALSE(widget<QAbstractButton>(name)->accessibleName().isEmpty()) << name;
}

TEST_F(MainWindow, ReadingFillsTheRightFields) {
    addFile("song.mp3", richFile());
    edit(0);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(page(), TForm1::EditorPageIndex);
    // The title up to its zero.
    const Field shownNow[] = {
        {"Edit1", "Song"},           {"Edit37", "Pub"},           {"Edit27", "http://pub"},
        {"Edit4", "3/12"},           {"MaskEdit1", "06.05.2004"}, {"MaskEdit2", "  .05.2004"},
        {"MaskEdit3", "  .  .2004"}, {"MaskEdit4", "  .  .    "}, {"ComboBox1", "Rock"},
        {"ComboBox3", "C#m"},        {"Edit43", "v1title"},       {"Edit42", "7"},
        {"Edit45", "1999"},          {"ComboBox4", "Rock"}};
    expectShown(shownNow);
    auto* language = widget<QComboBox>("ComboBox2");
    EXPECT_EQ(language->currentText(), "German");
    EXPECT_EQ(language->currentIndex(), language->findText("German")); // the first of two rows
    EXPECT_EQ(language->itemText(language->currentIndex() + 1), "German");

    auto* comments = widget<ReportView>("ListView4");
    ASSERT_EQ(comments->topLevelItemCount(), 1);
    auto* row = comments->topLevelItem(0);
    EXPECT_EQ(QStringList({row->text(0), row->text(1), row->text(2), row->text(3)}),
              QStringList({"1", "Intro", "English", "Hello"}));
    EXPECT_EQ(widget<ReportView>("ListView2")->topLevelItem(0)->text(2), "http://h");
    auto* pictures = widget<ReportView>("ListView5");
    ASSERT_EQ(pictures->topLevelItemCount(), 1);
    EXPECT_EQ(pictures->topLevelItem(0)->text(2), "image/png");
    EXPECT_EQ(pictures->topLevelItem(0)->text(3), "Cover (front)");
    // The picture was extracted into the program's Temp folder.
    EXPECT_TRUE(exists(dir.path() + "program/Temp/1image.png"));
}

TEST_F(MainWindow, FileWithoutId3v2ShowsOnlyItsId3v1) {
    addFile("song.mp3", richFile());
    addFile("plain.mp3", audio() + v1Trailer("only v1", 2, 255));
    edit(0);
    click("Button3");
    edit(1);
    const Field shownNow[] = {{"Edit1", ""},     {"Edit37", ""},        {"MaskEdit1", "  .  .    "},
                              {"ComboBox2", ""}, {"Edit43", "only v1"}, {"ComboBox4", ""}};
    expectShown(shownNow);
    EXPECT_EQ(widget<ReportView>("ListView4")->topLevelItemCount(), 0);
    EXPECT_EQ(widget<ReportView>("ListView5")->topLevelItemCount(), 0);
}

TEST_F(MainWindow, LongTimeStampsShowTheirDateOnly) {
    addFile("a.mp3", tag24(frame24("TDRC", latin1("2004-05-06T10:20")) +
                           frame24("TDRL", latin1(withZero("2001-02-03"))) +
                           frame24("TDOR", latin1("1999-12-31 free text")) +
                           frame24("TDEN", latin1("around 1970, maybe")) +
                           frame24("TDTG", latin1("2020-1"))) +
                         audio());
    edit(0);
    expectShown({{"MaskEdit1", "06.05.2004"},
                 {"MaskEdit2", "03.02.2001"},
                 {"MaskEdit3", "31.12.1999"},
                 {"MaskEdit4", "  .  .    "},
                 {"MaskEdit5", "  .1 .2020"}});
}

TEST_F(MainWindow, SelectionListFromTheFileView) {
    writeFile(dir.file("b.mp3"), audio(10));
    writeFile(dir.file("A.MP3"), audio(10));
    writeFile(dir.file("notes.txt"), audio(10));
    FileBrowser* browser = form->selectionPage()->browser();
    QSignalSpy loaded(browser, &FileBrowser::filesLoaded);
    browser->setFolder(QString::fromStdString(dir.path()));
    ASSERT_TRUE(loaded.wait(5000));
    QTreeView* view = browser->fileView();
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 2);
    view->selectAll();
    EXPECT_EQ(browser->selectedNames(), QStringList({"A.MP3", "b.mp3"}));

    click("BitBtn1");
    SelectionList* list = selectionList();
    list->selectRow(1);
    // The same files again: each is listed once, and the row of the first is shown.
    click("BitBtn1");
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->selectedRow(), 0);
    const QString folder = QString::fromStdString(dir.path());
    EXPECT_TRUE(folder.endsWith('/'));
    EXPECT_EQ(cell(1, 0), "2");
    EXPECT_EQ(cell(1, 1), "b.mp3");
    EXPECT_EQ(cell(1, 2), folder);
    writeFile(dir.file("c.mp3"), audio(10));
    list->append({{"b.mp3", folder}, {"c.mp3", folder}, {"c.mp3", folder}});
    ASSERT_EQ(list->rowCount(), 3);

    list->selectRow(1);
    click("BitBtn2");
    ASSERT_EQ(list->rowCount(), 2);
    for (int r = 0; r < 2; ++r)
        EXPECT_EQ(cell(r, 0), QString::number(r + 1));
    EXPECT_EQ(cell(1, 1), "c.mp3");

    click("BitBtn30");
    EXPECT_EQ(list->rowCount(), 0);
}

TEST_F(MainWindow, HomeBringsTheHomeFolderIntoView) {
    deepHome();
    widget<QAbstractButton>("HomeButton")->click();
    QTRY_VERIFY(homeInView()); // once the tree has listed its way down to it
    QTest::qWait(300);
    // Chosen again after the user scrolled away: back in view at once.
    form->selectionPage()->browser()->folderTree()->scrollToTop();
    ASSERT_FALSE(homeInView());
    widget<QAbstractButton>("HomeButton")->click();
    EXPECT_TRUE(homeInView());
}

// At every start, however the tree's listing and sorting fall in time and
// whatever comes and goes above it meanwhile, the home folder ends in view.
TEST_F(MainWindow, TheHomeFolderIsInViewAtEveryStart) {
    deepHome();
    for (int start = 0; start < 4; ++start) {
        form.reset();
        this->start();
        QTRY_VERIFY(homeInView());
        // Folders above it come and go, the window changes its size.
        for (int i = 0; i < 20; ++i)
            io::makeFolders(dir.path() + "a" + std::to_string(start * 20 + i));
        form->resize(form->size() + QSize(0, start % 2 ? 120 : -120));
        QTest::qWait(300);
        EXPECT_TRUE(homeInView()) << start;
    }
}

TEST_F(MainWindow, ActionsNeedASelectedRow) {
    tabs()->setCurrentIndex(TForm1::ZuRurTab);
    // Refused at once; the box comes after the change has returned, as for
    // the tool buttons (assistive technology waits for both).
    EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
    EXPECT_TRUE(dialogs.messages.empty());
    widget<QAbstractButton>("ToolButton11")->click();
    EXPECT_TRUE(dialogs.messages.empty());
    settle();
    const Box refusal{"Please select file from selection list", "Error", Icon::Warning};
    EXPECT_EQ(dialogs.messages, Boxes({refusal, refusal}));
    EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
    EXPECT_EQ(page(), TForm1::SelectionPageIndex);

    click("ToolButton9");
    click("ToolButton10"); // Kill Tag: nothing at all
    EXPECT_EQ(dialogs.messages, Boxes({refusal, refusal, refusal}));
    EXPECT_TRUE(dialogs.questions.isEmpty());

    const std::string path = addFile("song.mp3", audio());
    selectionList()->selectRow(0);
    click("ToolButton9");
    EXPECT_EQ(dialogs.launched, QStringList({QString::fromStdString(path)}));
    // A desktop without a program for it: the user is told.
    dialogs.messages.clear();
    dialogs.launching = false;
    click("ToolButton9");
    EXPECT_EQ(dialogs.messages,
              Boxes({FakeDialogs::reported(
                  QStringLiteral("Cannot open %1: the desktop has no program for it")
                      .arg(path.c_str()))}));
}

TEST_F(MainWindow, ReadErrorShowsTheUsersWordsAndNoEditor) {
    addFile("song.mp3", audio());
    selectionList()->append("missing.mp3", QString::fromStdString(dir.path()));
    selectionList()->selectRow(1);
    tabs()->setCurrentIndex(TForm1::ZuRurTab);
    settle();
    EXPECT_EQ(dialogs.messages, Boxes({FakeDialogs::reported("File not found")}));
    EXPECT_EQ(page(), TForm1::SelectionPageIndex);
    EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
}

// Where the desktop has no trash (its folder cannot be made), the old
// question and a final delete.
TEST_F(MainWindow, DeleteFileAsksFirstAndDeletesForGoodWithoutATrash) {
    writeFile(dir.file("blocked"), bytes("a file where the trash's folder would go"));
    const QByteArray home = qgetenv("HOME"), data = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", dir.path().c_str());
    qputenv("XDG_DATA_HOME", dir.file("blocked/data").c_str());
    const std::string keep = addFile("keep.mp3", audio());
    const std::string gone = addFile("gone.mp3", audio());
    for (const std::deque<bool>& answers : {std::deque<bool>{false}, {true, false}, {true, true}}) {
        dialogs.questions.clear();
        dialogs.answers = answers;
        selectionList()->selectRow(1);
        click("ToolButton11");
        EXPECT_EQ(dialogs.questions.first(), "Do you realy want to move this file to the trash?");
        if (answers.size() > 1) {
            EXPECT_EQ(dialogs.questions.last(),
                      "Do you realy want to delete this file from your hard disk?");
        }
        EXPECT_EQ(exists(gone), !answers.back());
    }
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", data);
    EXPECT_TRUE(exists(keep));
    ASSERT_EQ(selectionList()->rowCount(), 1);
    EXPECT_EQ(selectionList()->file(0), "keep.mp3");
}

TEST_F(MainWindow, KillTagAnsweredNoOrYes) {
    Bytes frames = frame24("TIT2", latin1("x"));
    Bytes file = header(4, 1000) + frames + repeat(0, 1000 - frames.size()) + audio();
    const std::string path = addFile("song.mp3", file);
    selectionList()->selectRow(0);
    click("ToolButton10");
    EXPECT_EQ(dialogs.questions.last(), "Do you realy want to kill tag from selected file?");
    EXPECT_EQ(readFile(path), file);
    dialogs.answers = {true};
    click("ToolButton10");
    EXPECT_EQ(readFile(path), header(4, 1000) + repeat(0, 1000) + audio());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindow, PagesAndSubPages) {
    addFile("song.mp3", richFile());
    edit(0);
    auto* subPages = widget<QStackedWidget>("PageControl3");
    click("ToolButton3");
    EXPECT_EQ(subPages->currentIndex(), 4);
    click("ToolButton12");
    EXPECT_EQ(subPages->currentIndex(), 7);
    click("Image1");
    EXPECT_EQ(page(), TForm1::AboutPageIndex);
    click("ToolButton1"); // switches the sub-page only
    EXPECT_EQ(subPages->currentIndex(), 2);
    EXPECT_EQ(page(), TForm1::AboutPageIndex);
    click("Button3"); // Cancel editing
    EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
    EXPECT_EQ(page(), TForm1::SelectionPageIndex);
    EXPECT_TRUE(widget<QAbstractButton>("ToolButton13")->isChecked());
    // The editor keeps the sub-page last chosen.
    edit(0);
    EXPECT_EQ(subPages->currentIndex(), 2);
    click("ToolButton8");
    EXPECT_EQ(page(), TForm1::RenamerPageIndex);
    click("BitBtn31");
    click("BitBtn32");
    ASSERT_EQ(dialogs.launched.size(), 2);
    EXPECT_TRUE(dialogs.launched[0].startsWith("mailto:"));
    EXPECT_TRUE(dialogs.launched[0].endsWith("?subject=Bug Report"));
}

TEST_F(MainWindow, CopyBetweenId3v2AndId3v1) {
    addFile("song.mp3", richFile());
    edit(0);
    widget<QLineEdit>("Edit1")->setText("A title longer than thirty characters in all");
    widget<QLineEdit>("Edit17")->setText("Artist");
    widget<DateMaskEdit>("MaskEdit2")->setDateText("24.12.2003");
    widget<QComboBox>("ComboBox1")->setEditText("rock");
    click("BitBtn20");
    // The title copied whole.
    expectShown({{"Edit43", "A title longer than thirty characters in all"},
                 {"Edit44", "Artist"},
                 {"Edit45", "2003"},
                 {"Edit42", "3/12"},
                 {"ComboBox4", "Rock"}});
    widget<QComboBox>("ComboBox1")->setEditText("Not a genre");
    click("BitBtn20");
    EXPECT_EQ(widget<QComboBox>("ComboBox4")->currentIndex(), -1);
    // Without a release year the recording year stands in; without either
    // the trailer's year stays as it is.
    widget<DateMaskEdit>("MaskEdit2")->clearDate();
    click("BitBtn20");
    EXPECT_EQ(shown("Edit45"), "2004");
    widget<DateMaskEdit>("MaskEdit1")->clearDate();
    click("BitBtn20");
    EXPECT_EQ(shown("Edit45"), "2004");

    widget<QLineEdit>("Edit45")->setText("1999");
    widget<QComboBox>("ComboBox4")->setCurrentIndex(0);
    click("BitBtn21");
    expectShown({{"MaskEdit2", "01.01.1999"}, {"ComboBox1", "Blues"}});
    widget<QLineEdit>("Edit45")->setText("");
    widget<QComboBox>("ComboBox4")->setCurrentIndex(-1);
    click("BitBtn21");
    expectShown({{"MaskEdit2", "01.01.    "}, {"ComboBox1", ""}});
}

TEST_F(MainWindow, TextsTakeAnyCharacterUrlsLanguageAndTheTrailerOnlyISO88591) {
    const std::string path = addFile("song.mp3", richFile());
    edit(0);
    struct Case {
        const char* control;
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {"Edit1", "Кино café Ω", "Кино café Ω"}, // a text
        {"Edit26", "http://Ωé", "http://é"},     // a URL
        {"ComboBox1", "Поп", "Поп"},             // the genre, a text too
        {"ComboBox2", "Gälic Ω", "Gälic "},      // the language
        {"Edit43", "Ωmega é", "mega é"},         // the ID3v1.1 title
    };
    for (const Case& c : cases) {
        QWidget* w = widget<QWidget>(c.control);
        QLineEdit* line = qobject_cast<QLineEdit*>(w);
        if (!line) line = static_cast<QComboBox*>(w)->lineEdit();
        line->clear();
        type(line, QString::fromUtf8(c.typed));
        EXPECT_EQ(line->text(), QString::fromUtf8(c.kept)) << c.control;
    }
    auto* v1Title = widget<QLineEdit>("Edit43");
    v1Title->setText(QString(35, 'x'));
    v1Title->setFocus();
    v1Title->end(false);
    QTest::keyClick(v1Title, Qt::Key_Backspace); // shortening a long text is allowed
    EXPECT_EQ(v1Title->text().size(), 34);
    QTest::keyClicks(v1Title, "y");
    EXPECT_EQ(v1Title->text().size(), 34); // typing past the limit is not

    // Copied to the trailer, what it cannot hold becomes "?"; the tag keeps it all.
    widget<QLineEdit>("Edit1")->setText(QString::fromUtf8("Кино café 🎵"));
    click("BitBtn20");
    EXPECT_EQ(shown("Edit43"), "???? café ?");
    click("BitBtn19");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    const auto back = readBack(path);
    EXPECT_EQ(back->text(tag::Prop::Title), "Кино café 🎵");
    EXPECT_EQ(back->text(tag::Prop::ContentType), "Поп");
    const Bytes file = readFile(path);
    EXPECT_EQ(Bytes(file.end() - 125, file.end() - 114), bytes("???? caf\xE9 ?"));
}

TEST_F(MainWindow, ReadOnlyFileShowsItsTagsAndFailsOnlyWhenWritten) {
    const std::string path = addFile("song.mp3", richFile());
    const Bytes before = readFile(path);
    ReadOnlyGuard guard(path);
    edit(0);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(shown("Edit1"), "Song");
    click("BitBtn19");
    EXPECT_EQ(dialogs.messages, Boxes({FakeDialogs::reported("File access denied")}));
    EXPECT_EQ(readFile(path), before);
}

TEST_F(MainWindow, DateFieldRefusesToBeLeftWithoutAYear) {
    DateMaskEdit* date = editFirstDate();
    auto* other = widget<QLineEdit>("Edit1");
    date->setFocus();
    QTRY_VERIFY(date->hasFocus());
    date->setCursorPosition(6);
    QTest::keyClick(date, Qt::Key_Delete);
    EXPECT_EQ(date->dateText(), "06.05. 004");
    // Another program or a popup takes the focus and gives it back: the field
    // was not left, and stays changed.
    for (Qt::FocusReason away : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, away), in(QEvent::FocusIn, away);
        QCoreApplication::sendEvent(date, &out);
        QCoreApplication::sendEvent(date, &in);
    }
    QTest::qWait(20);
    EXPECT_TRUE(dialogs.messages.empty());
    other->setFocus();
    QTRY_COMPARE(dialogs.messages.size(), size_t(1));
    EXPECT_EQ(dialogs.lastMessage(), "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_EQ(dialogs.beeps, 1);
    QTRY_VERIFY(date->hasFocus());
    EXPECT_EQ(date->cursorPosition(), 6);
    QTest::keyClick(date, Qt::Key_Escape);
    EXPECT_EQ(date->dateText(), "06.05.2004");
    other->setFocus();
    QTest::qWait(20);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(MainWindow, DateFieldRefusesADateTheCalendarDoesNotHave) {
    DateMaskEdit* date = editFirstDate();
    auto* other = widget<QLineEdit>("Edit1");
    // The text typed, and where the cursor is put back (-1: the field is left).
    const std::pair<const char*, int> cases[] = {
        {"31022023", 0},  {"99992023", 3},  {"  132023", 3}, {"29022023", 0},
        {"29022024", -1}, {"  122023", -1}, {"31122023", -1}};
    for (const auto& [typed, refusedAt] : cases) {
        dialogs.messages.clear();
        date->setFocus();
        QTRY_VERIFY(date->hasFocus());
        date->selectAll();
        QTest::keyClick(date, Qt::Key_Delete);
        date->home(false);
        // A blank day is stepped over, as a user leaves it.
        for (const char* c = typed; *c; ++c)
            *c == ' ' ? QTest::keyClick(date, Qt::Key_Right) : QTest::keyClick(date, *c);
        other->setFocus();
        QTest::qWait(20);
        if (refusedAt < 0) {
            EXPECT_TRUE(dialogs.messages.empty()) << typed;
            continue;
        }
        EXPECT_EQ(dialogs.messages,
                  Boxes({FakeDialogs::reported(DateMaskEdit::InvalidInputMessage)}))
            << typed;
        QTRY_VERIFY(date->hasFocus());
        EXPECT_EQ(date->cursorPosition(), refusedAt) << typed;
        QTest::keyClick(date, Qt::Key_Escape);
    }
}

// The edge of a drawing (its opaque pixels next to clear ones) that does
// not stand out from the window: the share of the edge's pixels within 80
// of the window's lightness.
double faintEdge(const QImage& image, const QColor& window) {
    int edge = 0, faint = 0;
    auto clear = [&](int x, int y) {
        return x < 0 || y < 0 || x >= image.width() || y >= image.height() ||
               qAlpha(image.pixel(x, y)) < 128;
    };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (clear(x, y) ||
                !(clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1)))
                continue;
            ++edge;
            faint += std::abs(QColor(image.pixel(x, y)).lightness() - window.lightness()) < 80;
        }
    return edge ? double(faint) / edge : 1.0;
}

TEST_F(MainWindow, Looks) {
    // Every drawing stands out from a dark window by its edge, at scale 1 and 2.
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    const QStringList drawings = QDir(QStringLiteral(":/icons")).entryList();
    ASSERT_GE(drawings.size(), 10);
    for (const QString& name : drawings)
        for (qreal ratio : {1.0, 2.0}) {
            const QImage shown = toolIcon(":/icons/" + name, dark)
                                     .pixmap(QSize(32, 32), ratio)
                                     .toImage()
                                     .convertToFormat(QImage::Format_ARGB32);
            EXPECT_LT(faintEdge(shown, dark.color(QPalette::Window)), 0.2)
                << name.toStdString() << " at " << ratio;
        }

    // The About page leaves no tool button pressed.
    click("ToolButton8");
    ASSERT_TRUE(widget<QAbstractButton>("ToolButton8")->isChecked());
    click("Image1");
    EXPECT_EQ(page(), TForm1::AboutPageIndex);
    EXPECT_FALSE(widget<QAbstractButton>("ToolButton8")->isChecked());

    // The tab captions whole, in a larger font too.
    const QFont font = QApplication::font();
    for (int size : {font.pointSize(), font.pointSize() * 3 / 2}) {
        QFont larger = font;
        larger.setPointSize(size);
        QApplication::setFont(larger);
        form.reset();
        start();
        QTabBar* bar = tabs()->tabBar();
        EXPECT_EQ(bar->elideMode(), Qt::ElideNone);
        for (int t = 0; t < bar->count(); ++t)
            EXPECT_GE(bar->tabRect(t).width(),
                      bar->fontMetrics().horizontalAdvance(bar->tabText(t)))
                << size;
        EXPECT_LE(bar->tabRect(bar->count() - 1).right(), tabs()->width()) << size;
    }
    QApplication::setFont(font);
}

} // namespace
