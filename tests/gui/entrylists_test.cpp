// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The entry lists of the editor: their buttons, the Edit warnings, Add and
// Remove through the real buttons and the modal entry dialog, and a written
// file read back by mutagen.
#include "editor/entrylists.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <functional>

using namespace testing_support;

namespace {

Bytes comm(std::string_view id, std::string_view lang, std::string_view desc,
           std::string_view text) {
    return frame24(id, latin1(lang) + bytes(desc) + Bytes{0} + bytes(text));
}

// Each list's buttons (Add, Edit, Remove) and the warning of its Edit button.
struct ListCase {
    tag::ListKind kind;
    const char* add;
    const char* edit;
    const char* remove;
    const char* warning;
    int subPage;
};
const ListCase Lists[] = {
    {tag::ListKind::Lyrics, "BitBtn6", "BitBtn7", "BitBtn8",
     "You have not chosen any lyric to edit!", 3},
    {tag::ListKind::Comments, "BitBtn9", "BitBtn10", "BitBtn11",
     "You have not chosen any comment to edit!", 3},
    {tag::ListKind::UserTexts, "BitBtn25", "BitBtn26", "BitBtn27",
     "You have not chosen any text to edit!", 3},
    {tag::ListKind::UserUrls, "BitBtn3", "BitBtn4", "BitBtn5",
     "You have not chosen any URL to edit!", 2},
    {tag::ListKind::TermsOfUse, "BitBtn16", "BitBtn17", "BitBtn18",
     "You have not chosen any term to edit!", 5},
};

// One frame of each kind, numbered n.
Bytes oneOfEach(int n) {
    const std::string s = std::to_string(n);
    return comm("USLT", "ger", "verse" + s, "la la " + s) +
           comm("COMM", "eng", "note" + s, "text " + s) +
           frame24("TXXX", latin1("key" + s) + Bytes{0} + bytes("value " + s)) +
           frame24("WXXX", latin1("site" + s) + Bytes{0} + bytes("http://x/" + s)) +
           frame24("USER", latin1("fre") + bytes("terms " + s));
}

class EntryListsTest : public WindowFixture {
protected:
    EntryLists* lists() const { return form->editorPage()->lists(); }
    ReportView* view(tag::ListKind kind) const { return lists()->view(kind); }
    // The editor's own buttons: the entry dialog has a "BitBtn3" of its own.
    QPushButton* button(const char* name) const {
        auto* b = form->editorPage()->findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }

    void open(const Bytes& frames) {
        addFile("song.mp3", tag24(frames) + audio());
        edit(0);
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    }

    static QStringList rows(const ReportView* v) {
        QStringList out;
        for (int r = 0; r < v->topLevelItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < v->columnCount(); ++c)
                cells << v->topLevelItem(r)->text(c);
            out << cells.join(u'|');
        }
        return out;
    }

    // Clicks a button that may open the modal entry dialog; while the dialog
    // is shown, fill() works on it. Returns whether the dialog was shown. The
    // dialog is closed without storing when fill() left it open.
    bool clickWithDialog(const char* name, const std::function<void(TForm2&)>& fill) {
        bool shown = false;
        QTimer::singleShot(0, form2, [&] {
            if (!form2->isVisible()) return;
            shown = true;
            fill(*form2);
            if (form2->isVisible()) form2->reject();
        });
        button(name)->click();
        QCoreApplication::processEvents(); // a timer left over when no dialog came
        return shown;
    }
};

TEST_F(EntryListsTest, EveryListHasItsButtonsUnderItAndTheyFitTheWindow) {
    open(oneOfEach(1));
    for (const ListCase& c : Lists) {
        form->editorPage()->showSubPage(c.subPage);
        QCoreApplication::processEvents();
        ReportView* list = view(c.kind);
        const QRect listRect(list->mapTo(form.get(), QPoint()), list->size());
        EXPECT_GE(list->height(), 75) << list->objectName().toStdString();
        const char* captions[] = {"Add", "Edit", "Remove"};
        const char* names[] = {c.add, c.edit, c.remove};
        for (int i = 0; i < 3; ++i) {
            QPushButton* b = button(names[i]);
            EXPECT_EQ(b->text(), captions[i]);
            EXPECT_TRUE(b->isVisible()) << names[i];
            EXPECT_EQ(b->parentWidget(), lists()->panel(list)) << names[i];
            EXPECT_TRUE(b->accessibleName().startsWith(captions[i] + QStringLiteral(" ")));
            const QRect r(b->mapTo(form.get(), QPoint()), b->size());
            EXPECT_TRUE(form->rect().contains(r)) << names[i];
            EXPECT_GE(r.top(), listRect.bottom()) << names[i] << " lies under its list";
        }
    }
}

TEST_F(EntryListsTest, EditWithNoRowChosenShowsTheListsWarning) {
    open(oneOfEach(1));
    for (const ListCase& c : Lists) {
        dialogs.messages.clear();
        EXPECT_FALSE(clickWithDialog(c.edit, [](TForm2&) {})) << c.edit;
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.edit;
        EXPECT_EQ(dialogs.messages[0].text, c.warning);
        EXPECT_EQ(dialogs.messages[0].caption, "Warning!");
        EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Warning);
        EXPECT_EQ(form->session().request.EntryIndex, 0);
    }
}

TEST_F(EntryListsTest, EditWithARowOfAnotherListChosenShowsTheListsWarning) {
    open(oneOfEach(1));
    // The comment row stays selected in its list, but the lyric row is the
    // current list item now.
    view(tag::ListKind::Comments)->selectRow(0);
    view(tag::ListKind::Lyrics)->selectRow(0);
    EXPECT_FALSE(clickWithDialog("BitBtn10", [](TForm2&) {}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "You have not chosen any comment to edit!");
    EXPECT_EQ(dialogs.messages[0].caption, "Warning!");
}

TEST_F(EntryListsTest, EditOpensTheDialogOnTheChosenEntryAndStoresItInPlace) {
    open(oneOfEach(1) + oneOfEach(2) + oneOfEach(3));
    view(tag::ListKind::Comments)->selectRow(1);
    EXPECT_TRUE(clickWithDialog("BitBtn10", [](TForm2& d) {
        EXPECT_EQ(d.windowTitle(), "Edit Comment");
        EXPECT_EQ(d.Edit1->text(), "note2");
        EXPECT_EQ(d.ComboBox1->currentText(), "English");
        EXPECT_EQ(d.Memo1->toPlainText(), "text 2");
        d.Memo1->setPlainText("changed");
        d.BitBtn1->click();
    }));
    EXPECT_EQ(form->session().request.entryDialogMode, EntryDialogMode::EditComment);
    EXPECT_EQ(form->session().request.EntryIndex, 2);
    EXPECT_EQ(rows(view(tag::ListKind::Comments)),
              QStringList(
                  {"1|note1|English|text 1", "2|note2|English|changed", "3|note3|English|text 3"}));
    EXPECT_EQ(form->session().ID3v241.Comments()[2].description, std::string("note2\0", 6));
}

TEST_F(EntryListsTest, TwoAddsOnAListOfThreeLandAtFourAndFive) {
    open(oneOfEach(1) + oneOfEach(2) + oneOfEach(3));
    form->session().request.EntryIndex = 7; // Add leaves it alone; the dialog sets it on confirming
    for (const char* text : {"fourth", "fifth"}) {
        EXPECT_TRUE(clickWithDialog("BitBtn9", [&](TForm2& d) {
            EXPECT_EQ(d.windowTitle(), "Add Comment");
            EXPECT_EQ(d.Edit1->text(), "");
            EXPECT_EQ(d.ComboBox1->currentIndex(), -1);
            d.Edit1->setText(text);
            d.ComboBox1->setCurrentIndex(d.ComboBox1->findText("French"));
            d.Memo1->setPlainText(text);
            d.BitBtn1->click();
        }));
    }
    EXPECT_EQ(form->session().request.EntryIndex, 5);
    const auto& comments = form->session().ID3v241.Comments();
    ASSERT_EQ(comments.count(), 5);
    EXPECT_EQ(comments[4], (tag::LangEntry{"fourth", "fra", std::string("fourth\0", 7)}));
    EXPECT_EQ(comments[5], (tag::LangEntry{"fifth", "fra", std::string("fifth\0", 6)}));
    EXPECT_EQ(rows(view(tag::ListKind::Comments)).mid(3),
              QStringList({"4|fourth|French|fourth", "5|fifth|French|fifth"}));
    EXPECT_EQ(form->session().ID3v241.Lyrics().count(), 3); // no other list changed
}

TEST_F(EntryListsTest, AddOnAFullListSaysSoAndStoresNothing) {
    Bytes frames;
    for (int i = 1; i <= 100; ++i)
        frames += oneOfEach(i);
    open(frames);
    for (const ListCase& c : Lists) {
        dialogs.messages.clear();
        EXPECT_EQ(form->session().ID3v241.model().count(c.kind), 100);
        EXPECT_FALSE(clickWithDialog(c.add, [](TForm2&) {})) << c.add;
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.add;
        EXPECT_TRUE(dialogs.messages[0].text.contains("full")) << c.add;
        EXPECT_EQ(dialogs.messages[0].caption, "Warning!");
        EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Warning);
        EXPECT_EQ(form->session().ID3v241.model().count(c.kind), 100);
        EXPECT_EQ(view(c.kind)->topLevelItemCount(), 100);
        EXPECT_EQ(view(c.kind)->topLevelItem(99)->text(0), "100");
    }
}

TEST_F(EntryListsTest, RemovingEntryTwoOfThreeRenumbers) {
    open(oneOfEach(1) + oneOfEach(2) + oneOfEach(3));
    for (const ListCase& c : Lists) {
        view(c.kind)->selectRow(1);
        EXPECT_FALSE(clickWithDialog(c.remove, [](TForm2&) {}));
        const QStringList r = rows(view(c.kind));
        ASSERT_EQ(r.size(), 2) << c.remove;
        EXPECT_TRUE(r[0].startsWith("1|")) << r[0].toStdString();
        EXPECT_TRUE(r[1].startsWith("2|") && r[1].endsWith("3")) << r[1].toStdString();
        EXPECT_EQ(form->session().ID3v241.model().count(c.kind), 2);
    }
    EXPECT_EQ(rows(view(tag::ListKind::TermsOfUse)),
              QStringList({"1|French|terms 1", "2|French|terms 3"}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.questions.empty()); // no question before removing
}

TEST_F(EntryListsTest, RemoveWithARowOfAnotherListCurrentChangesNoList) {
    open(oneOfEach(1) + oneOfEach(2) + oneOfEach(3));
    view(tag::ListKind::Comments)->selectRow(2);
    view(tag::ListKind::Lyrics)->selectRow(0);
    const tag::TagData before = form->session().ID3v241.model();
    button("BitBtn11")->click();
    const tag::TagData& after = form->session().ID3v241.model();
    EXPECT_EQ(after.comments.count(), 3);
    EXPECT_TRUE(std::equal(before.comments.begin(), before.comments.end(), after.comments.begin()));
    EXPECT_TRUE(std::equal(before.lyrics.begin(), before.lyrics.end(), after.lyrics.begin()));
    EXPECT_EQ(after.lyrics.count(), 3);
    EXPECT_EQ(view(tag::ListKind::Comments)->topLevelItemCount(), 3);
    EXPECT_EQ(view(tag::ListKind::Comments)->selectedRow(), -1); // rebuilt
    EXPECT_EQ(view(tag::ListKind::Lyrics)->selectedRow(), 0);    // untouched
}

TEST_F(EntryListsTest, RemoveWithoutASelectedRowDoesNothingAndLastRemovalEmptiesTheList) {
    open(oneOfEach(1));
    button("BitBtn5")->click();
    EXPECT_EQ(form->session().ID3v241.model().count(tag::ListKind::UserUrls), 1);
    view(tag::ListKind::UserUrls)->selectRow(0);
    button("BitBtn5")->click();
    EXPECT_EQ(form->session().ID3v241.model().count(tag::ListKind::UserUrls), 0);
    EXPECT_EQ(view(tag::ListKind::UserUrls)->topLevelItemCount(), 0);
    EXPECT_EQ(form->session().currentListItemPosition(view(tag::ListKind::UserUrls)), 0);
    button("BitBtn5")->click(); // nothing selected any more
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EntryListsTest, CancelStoresNothing) {
    open(oneOfEach(1));
    const tag::TagData before = form->session().ID3v241.model();
    EXPECT_TRUE(clickWithDialog("BitBtn6", [](TForm2& d) {
        d.Edit1->setText("new");
        d.Memo1->setPlainText("new");
        d.BitBtn2->click();
    }));
    view(tag::ListKind::Lyrics)->selectRow(0);
    EXPECT_TRUE(clickWithDialog("BitBtn7", [](TForm2& d) {
        d.Edit1->setText("changed");
        d.BitBtn2->click();
    }));
    EXPECT_EQ(form->session().ID3v241.Lyrics().count(), 1);
    EXPECT_EQ(form->session().ID3v241.Lyrics()[1], before.lyrics[1]);
    EXPECT_EQ(rows(view(tag::ListKind::Lyrics)), QStringList({"1|verse1|German|la la 1"}));
}

TEST_F(EntryListsTest, MultiLineTextsShowOnOneLineWithTheWholeTextAsTooltip) {
    open(comm("USLT", "eng", "song", "one\r\ntwo\n\nthree\r"));
    auto* row = view(tag::ListKind::Lyrics)->topLevelItem(0);
    EXPECT_EQ(row->text(3), "one / two / three");
    EXPECT_EQ(row->toolTip(3), "one\r\ntwo\n\nthree\r");
    EXPECT_EQ(row->toolTip(1), "");
}

// Comments and lyrics added in the window reach the file: mutagen reads them back.
TEST_F(EntryListsTest, AddedCommentAndLyricAreWrittenToTheFile) {
    if (run("/usr/bin/python3 -c 'import mutagen.id3' 2>/dev/null").status != 0)
        GTEST_SKIP() << "mutagen is not installed for /usr/bin/python3";
    const std::string path = addFile("song.mp3", tag24(frame24("TIT2", latin1("Song"))) + audio());
    edit(0);
    EXPECT_TRUE(clickWithDialog("BitBtn9", [](TForm2& d) {
        d.Edit1->setText("Intro");
        d.ComboBox1->setCurrentIndex(d.ComboBox1->findText("German"));
        d.Memo1->setPlainText(QString::fromUtf8("Hallo\nWelt ä"));
        d.BitBtn1->click();
    }));
    EXPECT_TRUE(clickWithDialog("BitBtn6", [](TForm2& d) {
        d.Edit1->setText("Verse");
        d.ComboBox1->setCurrentIndex(d.ComboBox1->findText("French"));
        d.Memo1->setPlainText("la la");
        d.BitBtn1->click();
    }));
    dialogs.messages.clear();
    widget<QAbstractButton>("BitBtn19")->click();
    if (!dialogs.messages.empty() && dialogs.lastMessage().contains("not available yet"))
        GTEST_SKIP() << "needs the tag writer";
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();

    constexpr const char* script = R"py(
import sys
from mutagen.id3 import ID3
tag = ID3(sys.argv[1])
for f in tag.getall("COMM") + tag.getall("USLT"):
    text = f.text if f.FrameID == "USLT" else "\n".join(f.text)
    print(f.FrameID, int(f.encoding), f.lang, repr(f.desc), text.encode("latin1").hex())
)py";
    const ProcessResult r = run("/usr/bin/python3 - " + shellQuote(path), script);
    ASSERT_EQ(r.status, 0);
    // Latin-1 text, the description without its terminating zero, lines
    // separated by CR LF.
    EXPECT_EQ(r.out, "COMM 0 deu 'Intro' " + std::string("48616c6c6f0d0a57656c7420e4") +
                         "\nUSLT 0 fra 'Verse' 6c61206c61\n");
}

} // namespace
