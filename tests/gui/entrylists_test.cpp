// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The editor's six lists (user URLs, lyrics, comments, user texts, terms of
// use, pictures): their buttons, the Edit warnings, full lists, Add and
// Remove through the real buttons and the modal dialogs, and a written file
// read back by mutagen.
#include "editor/entrylists.h"
#include "editor/picturepage.h"
#include "graphics/imageview.h"
#include "picturefiles.h"
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

using tag::ListKind;

Bytes comm(std::string_view id, std::string_view lang, std::string_view desc,
           std::string_view text) {
    return frame24(id, latin1(lang) + bytes(desc) + Bytes{0} + bytes(text));
}

const QString ListFull =
    QStringLiteral("This list is full: a tag holds at most 100 entries of a kind.");

// Each list's buttons (Add, Edit, Remove), the warning of its Edit button,
// the box of an Add on a full list and its sub-page.
struct ListCase {
    ListKind kind;
    const char* add;
    const char* edit;
    const char* remove;
    const char* warning;
    QString full;
    int subPage;
};
const ListCase Lists[] = {
    {ListKind::Lyrics, "BitBtn6", "BitBtn7", "BitBtn8", "You have not chosen any lyric to edit!",
     ListFull, 3},
    {ListKind::Comments, "BitBtn9", "BitBtn10", "BitBtn11",
     "You have not chosen any comment to edit!", ListFull, 3},
    {ListKind::UserTexts, "BitBtn25", "BitBtn26", "BitBtn27",
     "You have not chosen any text to edit!", ListFull, 3},
    {ListKind::UserUrls, "BitBtn3", "BitBtn4", "BitBtn5", "You have not chosen any URL to edit!",
     ListFull, 2},
    {ListKind::TermsOfUse, "BitBtn16", "BitBtn17", "BitBtn18",
     "You have not chosen any term to edit!", ListFull, 5},
    {ListKind::Pictures, "BitBtn12", "BitBtn13", "BitBtn14",
     "You have not chosen any image to edit!", TForm3::FullListMessage, 4},
};

// One frame of each kind, numbered n; the picture is n * 10 pixels square.
Bytes oneOfEach(int n) {
    const std::string s = std::to_string(n);
    return comm("USLT", "ger", "verse" + s, "la la " + s) +
           comm("COMM", "eng", "note" + s, "text " + s) +
           frame24("TXXX", latin1("key" + s) + Bytes{0} + bytes("value " + s)) +
           frame24("WXXX", latin1("site" + s) + Bytes{0} + bytes("http://x/" + s)) +
           frame24("USER", latin1("fre") + bytes("terms " + s)) +
           frame24("APIC",
                   picture_files::apic("image/png", 3, "picture" + s,
                                       picture_files::qtImage(10 * n, 10 * n, "png", Qt::red)));
}

class EntryListsTest : public WindowFixture {
protected:
    EntryLists* lists() const { return form->editorPage()->lists(); }
    ReportView* view(ListKind kind) const {
        return kind == ListKind::Pictures ? form->editorPage()->pictures()->ListView5
                                          : lists()->view(kind);
    }
    // The other list whose row becomes the current list item.
    ReportView* another(ListKind kind) const {
        return view(kind == ListKind::Comments ? ListKind::Lyrics : ListKind::Comments);
    }
    int count(ListKind kind) const { return form->session().ID3v241.model().count(kind); }
    // The editor's own buttons: the entry dialog has a "BitBtn3" of its own.
    QPushButton* button(const char* name) const {
        auto* b = form->editorPage()->findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
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

    // Clicks a button that may open the modal dialog of its list; while the
    // dialog is shown, fill() works on it. Returns whether the dialog was
    // shown. The dialog is closed without storing when fill() left it open.
    bool clickWithDialog(const char* name, const std::function<void(TForm2&)>& fill,
                         QDialog* dialog = nullptr) {
        if (!dialog) dialog = form2;
        bool shown = false;
        QTimer::singleShot(0, dialog, [&] {
            if (!dialog->isVisible()) return;
            shown = true;
            if (dialog == form2) fill(*form2);
            if (dialog->isVisible()) dialog->reject();
        });
        button(name)->click();
        QCoreApplication::processEvents(); // a timer left over when no dialog came
        return shown;
    }
    // Fills the open entry dialog and stores the entry.
    static void store(TForm2& d, const QString& description, const QString& language,
                      const QString& text) {
        d.Edit1->setText(description);
        d.ComboBox1->setCurrentIndex(d.ComboBox1->findText(language));
        d.Memo1->setPlainText(text);
        d.BitBtn1->click();
    }
    // Clicks a button of c's list: whether its dialog was shown (then closed).
    bool clicked(const char* button, const ListCase& c) {
        return clickWithDialog(
            button, [](TForm2&) {},
            c.kind == ListKind::Pictures ? static_cast<QDialog*>(form3) : form2);
    }
};

TEST_F(EntryListsTest, EveryListHasItsButtonsUnderItAndTheyFitTheWindow) {
    open(oneOfEach(1));
    for (const ListCase& c : Lists) {
        if (c.kind == ListKind::Pictures) continue; // its buttons stand beside its preview
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

// Edit needs a row of its own list as the current list item: none chosen, or
// a row of another list chosen after one of its own, gives the list's warning.
TEST_F(EntryListsTest, EditWithoutARowOfItsListShowsTheListsWarning) {
    open(oneOfEach(1));
    for (const ListCase& c : Lists) {
        SCOPED_TRACE(c.edit);
        for (bool anotherChosen : {false, true}) {
            if (!anotherChosen) { // back from the selection page: none of its rows is current
                click("Button3");
                edit(0);
            } else {
                view(c.kind)->selectRow(0);
                another(c.kind)->selectRow(0); // stays selected in its list all the same
            }
            dialogs.messages.clear();
            EXPECT_FALSE(clicked(c.edit, c));
            EXPECT_EQ(dialogs.messages, Boxes({{c.warning, "Warning!", Icon::Warning}}));
        }
    }
}

TEST_F(EntryListsTest, EditOpensTheDialogOnTheChosenEntryAndStoresItInPlace) {
    open(oneOfEach(1) + oneOfEach(2) + oneOfEach(3));
    view(ListKind::Comments)->selectRow(1);
    EXPECT_TRUE(clickWithDialog("BitBtn10", [](TForm2& d) {
        EXPECT_EQ(d.mode(), EntryDialogMode::EditComment);
        EXPECT_EQ(d.windowTitle(), "Edit Comment");
        EXPECT_EQ(d.Edit1->text(), "note2");
        EXPECT_EQ(d.ComboBox1->currentText(), "English");
        EXPECT_EQ(d.Memo1->toPlainText(), "text 2");
        d.Memo1->setPlainText("changed");
        d.BitBtn1->click();
    }));
    EXPECT_EQ(rows(view(ListKind::Comments)),
              QStringList(
                  {"1|note1|English|text 1", "2|note2|English|changed", "3|note3|English|text 3"}));
    EXPECT_EQ(form->session().ID3v241.Comments()[2].description, std::string("note2\0", 6));
    // Called directly, the dialog says where it stored the entry.
    QTimer::singleShot(0, form2, [this] { form2->BitBtn1->click(); });
    EXPECT_EQ(form2->editEntry(ListKind::Comments, 3), 3);
    QTimer::singleShot(0, form2, [this] { form2->BitBtn2->click(); });
    EXPECT_EQ(form2->addEntry(ListKind::Comments), 0); // cancelled
}

TEST_F(EntryListsTest, TwoAddsOnAListOfThreeLandAtFourAndFive) {
    open(oneOfEach(1) + oneOfEach(2) + oneOfEach(3));
    for (const char* text : {"fourth", "fifth"}) {
        EXPECT_TRUE(clickWithDialog("BitBtn9", [&](TForm2& d) {
            EXPECT_EQ(d.windowTitle(), "Add Comment");
            EXPECT_EQ(d.Edit1->text(), "");
            EXPECT_EQ(d.ComboBox1->currentIndex(), -1);
            store(d, text, "French", text);
        }));
    }
    const auto& comments = form->session().ID3v241.Comments();
    ASSERT_EQ(comments.count(), 5);
    EXPECT_EQ(comments[4], (tag::LangEntry{"fourth", "fra", std::string("fourth\0", 7)}));
    EXPECT_EQ(comments[5], (tag::LangEntry{"fifth", "fra", std::string("fifth\0", 6)}));
    EXPECT_EQ(rows(view(ListKind::Comments)).mid(3),
              QStringList({"4|fourth|French|fourth", "5|fifth|French|fifth"}));
    EXPECT_EQ(form->session().ID3v241.Lyrics().count(), 3); // no other list changed
}

TEST_F(EntryListsTest, AddOnAFullListSaysSoAndStoresNothing) {
    Bytes frames;
    for (int i = 1; i <= 100; ++i)
        frames += oneOfEach(i);
    open(frames);
    for (const ListCase& c : Lists) {
        SCOPED_TRACE(c.add);
        dialogs.messages.clear();
        EXPECT_EQ(count(c.kind), 100);
        EXPECT_FALSE(clicked(c.add, c));
        EXPECT_EQ(dialogs.messages, Boxes({{c.full, "Warning!", Icon::Warning}}));
        EXPECT_EQ(count(c.kind), 100);
        EXPECT_EQ(view(c.kind)->topLevelItemCount(), 100);
        EXPECT_EQ(view(c.kind)->topLevelItem(99)->text(0), "100");
    }
    // The image dialog refuses on its own too: the 100th picture is stored,
    // another one is not, and the dialog stays open.
    form->session().ID3v241.DeletePicture(100);
    dialogs.messages.clear();
    form3->setMode(ImageDialogMode::AddPicture);
    form3->show();
    form3->Edit1->setText("hundredth");
    form3->BitBtn2->click();
    EXPECT_EQ(count(ListKind::Pictures), 100);
    EXPECT_EQ(form->session().ID3v241.Pictures()[100].description, withZero("hundredth"));
    form3->show();
    form3->BitBtn2->click();
    EXPECT_TRUE(form3->isVisible());
    EXPECT_EQ(count(ListKind::Pictures), 100);
    EXPECT_EQ(dialogs.messages, Boxes({{TForm3::FullListMessage, "Warning!", Icon::Warning}}));
    form3->hide();
}

// Remove takes the list's selected row away without a question and numbers
// the rest anew; without a selected row (also in the list rebuilt after a
// removal) it does nothing; the last removal leaves no current list item.
TEST_F(EntryListsTest, RemoveTakesTheSelectedRowAndRenumbers) {
    open(oneOfEach(1) + oneOfEach(2) + oneOfEach(3));
    for (const ListCase& c : Lists) {
        SCOPED_TRACE(c.remove);
        EXPECT_FALSE(clicked(c.remove, c)); // no row of the list selected
        EXPECT_EQ(count(c.kind), 3);
        view(c.kind)->selectRow(1);
        EXPECT_FALSE(clicked(c.remove, c));
        const QStringList r = rows(view(c.kind));
        ASSERT_EQ(r.size(), 2);
        EXPECT_TRUE(r[0].startsWith("1|")) << r[0].toStdString();
        EXPECT_TRUE(r[1].startsWith("2|") &&
                    (r[1].endsWith("3") || r[1].contains(QStringLiteral("|picture3|"))))
            << r[1].toStdString();
        EXPECT_EQ(count(c.kind), 2);
        button(c.remove)->click(); // the rebuilt list has no selection
        EXPECT_EQ(count(c.kind), 2);
    }
    EXPECT_EQ(rows(view(ListKind::TermsOfUse)),
              QStringList({"1|French|terms 1", "2|French|terms 3"}));
    EXPECT_EQ(form->session().ID3v241.Pictures()[2].description, withZero("picture3"));
    // The preview keeps the picture last loaded: the one removed.
    EXPECT_EQ(form->editorPage()->pictures()->Image2->picture().size(), QSize(20, 20));
    for (const ListCase& c : Lists) {
        for (int i = 0; i < 2; ++i) {
            view(c.kind)->selectRow(0);
            button(c.remove)->click();
        }
        EXPECT_EQ(count(c.kind), 0) << c.remove;
        EXPECT_EQ(view(c.kind)->topLevelItemCount(), 0);
        EXPECT_EQ(form->session().currentListItemPosition(view(c.kind)), 0);
        button(c.remove)->click(); // nothing selected any more
    }
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_TRUE(dialogs.questions.empty()); // no question before removing
}

TEST_F(EntryListsTest, RemoveWithARowOfAnotherListCurrentChangesNoList) {
    open(oneOfEach(1) + oneOfEach(2) + oneOfEach(3));
    view(ListKind::Comments)->selectRow(2);
    view(ListKind::Lyrics)->selectRow(0);
    const tag::TagData before = form->session().ID3v241.model();
    button("BitBtn11")->click();
    const tag::TagData& after = form->session().ID3v241.model();
    EXPECT_EQ(after.comments.count(), 3);
    EXPECT_TRUE(std::equal(before.comments.begin(), before.comments.end(), after.comments.begin()));
    EXPECT_TRUE(std::equal(before.lyrics.begin(), before.lyrics.end(), after.lyrics.begin()));
    EXPECT_EQ(after.lyrics.count(), 3);
    EXPECT_EQ(view(ListKind::Comments)->topLevelItemCount(), 3);
    EXPECT_EQ(view(ListKind::Comments)->selectedRow(), -1); // rebuilt
    EXPECT_EQ(view(ListKind::Lyrics)->selectedRow(), 0);    // untouched
}

TEST_F(EntryListsTest, CancelStoresNothing) {
    open(oneOfEach(1));
    const tag::TagData before = form->session().ID3v241.model();
    EXPECT_TRUE(clickWithDialog("BitBtn6", [](TForm2& d) {
        d.Edit1->setText("new");
        d.Memo1->setPlainText("new");
        d.BitBtn2->click();
        EXPECT_FALSE(d.isVisible());
    }));
    view(ListKind::Lyrics)->selectRow(0);
    EXPECT_TRUE(clickWithDialog("BitBtn7", [](TForm2& d) {
        d.Edit1->setText("changed");
        d.BitBtn2->click();
    }));
    EXPECT_EQ(form->session().ID3v241.Lyrics().count(), 1);
    EXPECT_EQ(form->session().ID3v241.Lyrics()[1], before.lyrics[1]);
    EXPECT_EQ(rows(view(ListKind::Lyrics)), QStringList({"1|verse1|German|la la 1"}));
}

TEST_F(EntryListsTest, MultiLineTextsShowOnOneLineWithTheWholeTextAsTooltip) {
    open(comm("USLT", "eng", "song", "one\r\ntwo\n\nthree\r"));
    auto* row = view(ListKind::Lyrics)->topLevelItem(0);
    EXPECT_EQ(row->text(3), "one / two / three");
    EXPECT_EQ(row->toolTip(3), "one\r\ntwo\n\nthree\r");
    EXPECT_EQ(row->toolTip(1), "");
}

// Comments, lyrics and pictures added in the window reach the file: mutagen
// reads them back.
TEST_F(EntryListsTest, WhatIsAddedInTheWindowReachesTheFile) {
    ASSERT_EQ(run("/usr/bin/python3 -c 'import mutagen.id3' 2>/dev/null").status, 0)
        << "mutagen is not installed for /usr/bin/python3 (scripts/deps.sh)";
    using picture_files::JpegKind;
    const std::string path = addFile("song.mp3", tag24(frame24("TIT2", latin1("Song"))) + audio());
    const std::string cover = dir.file("cover.jpg");
    const std::string back = dir.file("back.jpeg");
    writeFile(cover, picture_files::jpeg(120, 90, JpegKind::Colour, QColor(10, 200, 30)));
    writeFile(back, picture_files::jpeg(64, 64, JpegKind::Cmyk, QColor(200, 10, 30)));
    edit(0);
    EXPECT_TRUE(clickWithDialog("BitBtn9", [](TForm2& d) {
        store(d, "Intro", "German", QString::fromUtf8("Hallo\nWelt ä"));
    }));
    EXPECT_TRUE(
        clickWithDialog("BitBtn6", [](TForm2& d) { store(d, "Verse", "French", "la la"); }));
    // Pictures through the image dialog, as the user adds them.
    addPicture(cover, "Front", 3);
    addPicture(back, "Back", 4);
    ASSERT_EQ(form->session().ID3v241.Pictures().count(), 2);
    widget<QAbstractButton>("BitBtn19")->click();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();

    constexpr const char* script = R"py(
import sys
from mutagen.id3 import ID3
tag = ID3(sys.argv[1])
for f in tag.getall("COMM") + tag.getall("USLT"):
    text = f.text if f.FrameID == "USLT" else "\n".join(f.text)
    print(f.FrameID, int(f.encoding), f.lang, repr(f.desc), text.encode("latin1").hex())
for n, p in enumerate(tag.getall("APIC")):
    print("APIC", int(p.encoding), p.mime, int(p.type), p.desc)
    open(sys.argv[2] + str(n), "wb").write(p.data)
)py";
    const std::string out = dir.path() + "data";
    const ProcessResult r =
        run("/usr/bin/python3 - " + shellQuote(path) + " " + shellQuote(out), script);
    ASSERT_EQ(r.status, 0) << r.out;
    // Latin-1 text, the description without its terminating zero, lines
    // separated by CR LF; the pictures' bytes as their files hold them.
    EXPECT_EQ(r.out, "COMM 0 deu 'Intro' " + std::string("48616c6c6f0d0a57656c7420e4") +
                         "\nUSLT 0 fra 'Verse' 6c61206c61\n"
                         "APIC 0 image/jpg 3 Front\n"
                         "APIC 0 image/jpeg 4 Back\n");
    EXPECT_EQ(readFile(out + "0"), readFile(cover));
    EXPECT_EQ(readFile(out + "1"), readFile(back));
}

} // namespace
