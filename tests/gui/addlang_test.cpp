// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The text entry dialog: its look per mode, the language list, what it stores
// on confirming, any character in texts (ISO-8859-1 in URLs) and Import.
#include "editor/entrylists.h"
#include "languages/languages.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <set>
#include <string>

using namespace testing_support;

namespace {

class AddLangTest : public WindowFixture {
protected:
    EntryLists* lists() const { return form->editorPage()->lists(); }

    void open(const Bytes& frames) {
        addFile("song.mp3", tag24(frames) + audio());
        edit(0);
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    }
    // Shows the dialog (not modally) for mode; Edit modes work on row of
    // the target list, which becomes the current list item.
    void show(EntryDialogMode mode, int row = 0) {
        if (isEditMode(mode)) lists()->view(entryList(mode))->selectRow(row);
        form2->setMode(mode, isEditMode(mode) ? row + 1 : 0);
        form2->hide();
        form2->show();
    }
    QString memo() const { return form2->Memo1->toPlainText(); }
    std::string importFile(const Bytes& content) {
        const std::string path = dir.file("text.txt");
        writeFile(path, content);
        dialogs.files.push_back(QString::fromStdString(path));
        form2->BitBtn3->click();
        return path;
    }
};

// One entry of each kind, comment description "Intro" with its zero.
Bytes entries() {
    return frame24("COMM", latin1("eng") + bytes("Intro") + Bytes{0} + bytes("Hello")) +
           frame24("USLT", latin1("ger") + bytes("Verse") + Bytes{0} + bytes("la\r\nla")) +
           frame24("TXXX", latin1("key") + Bytes{0} + bytes("value")) +
           frame24("WXXX", latin1("home") + Bytes{0} + bytes("http://h")) +
           frame24("USER", latin1("fre") + bytes("no copies"));
}

TEST_F(AddLangTest, EachModeHasItsCaptionLabelsAndControls) {
    struct Case {
        EntryDialogMode mode;
        const char *caption, *textLabel, *confirm;
        bool language, description;
        const char *text, *shownDescription, *shownLanguage;
    };
    using M = EntryDialogMode;
    const Case cases[] = {
        {M::EditLyric, "Edit Lyric", "Lyric:", "Edit", true, true, "la\nla", "Verse", "German"},
        {M::EditComment, "Edit Comment", "Comment:", "Edit", true, true, "Hello", "Intro",
         "English"},
        {M::EditUserText, "Edit User Defined Text", "Text:", "Edit", false, true, "value", "key",
         nullptr},
        {M::EditUserUrl, "Edit User Defined URL", "Url:", "Edit", false, true, "http://h", "home",
         nullptr},
        {M::EditTermsOfUse, "Edit Terms Of Use", "Terms OF Use:", "Edit", true, false, "no copies",
         nullptr, "French"},
        {M::AddLyric, "Add Lyric", "Lyric:", "Add", true, true, "", "", ""},
        {M::AddComment, "Add Comment", "Commet:", "Add", true, true, "", "", ""},
        {M::AddUserText, "Add User Defined Text", "Text:", "Add", false, true, "", "", nullptr},
        {M::AddUserUrl, "Add User Defined URL", "URL:", "Add", false, true, "", "", nullptr},
        {M::AddTermsOfUse, "Add Terms Of Use", "Terms Of Use:", "Add", true, false, "", nullptr,
         ""},
    };
    open(entries());
    for (const Case& c : cases) {
        // Leftovers from an earlier showing, to be overwritten where the mode fills.
        form2->Edit1->setText("stale");
        form2->ComboBox1->setCurrentIndex(5);
        form2->Memo1->setPlainText("stale");
        show(c.mode);
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(form2->windowTitle(), c.caption);
        EXPECT_EQ(form2->Label3->text(), c.textLabel);
        EXPECT_EQ(form2->BitBtn1->text(), c.confirm);
        EXPECT_EQ(form2->Label2->isVisible(), c.language);
        EXPECT_EQ(form2->ComboBox1->isVisible(), c.language);
        EXPECT_EQ(form2->Label1->isVisible(), c.description);
        EXPECT_EQ(form2->Edit1->isVisible(), c.description);
        EXPECT_EQ(memo(), c.text);
        if (c.shownDescription) {
            EXPECT_EQ(form2->Edit1->text(), c.shownDescription);
        }
        if (c.shownLanguage) {
            EXPECT_EQ(form2->ComboBox1->currentText(), c.shownLanguage);
        }
        if (!c.language) {
            EXPECT_EQ(form2->ComboBox1->currentIndex(), 5); // hidden: kept
        }
        EXPECT_EQ(form2->Label1->text(), "Description:");
        EXPECT_EQ(form2->Label2->text(), "Language:");
        EXPECT_EQ(form2->BitBtn2->text(), "Cancel");
        EXPECT_EQ(form2->BitBtn3->text(), "Import");
        form2->reject();
    }
}

TEST_F(AddLangTest, LanguageListIsPickOnlyWithAll427NamesSortedAlphabetically) {
    QComboBox* combo = form2->ComboBox1;
    EXPECT_FALSE(combo->isEditable());
    ASSERT_EQ(combo->count(), 427);
    std::multiset<std::string> shown,
        table(languages::DisplayOrder.begin(), languages::DisplayOrder.end());
    for (int i = 0; i < combo->count(); ++i) {
        shown.insert(combo->itemText(i).toStdString());
        if (i > 0) {
            ASSERT_LE(combo->itemText(i - 1).compare(combo->itemText(i), Qt::CaseInsensitive), 0)
                << i;
        }
    }
    EXPECT_EQ(shown, table);
    // Not the main window's order, where the "Ch" names follow "Hupa".
    EXPECT_LT(combo->findText("Chuvash"), combo->findText("Hupa"));
    const int german = combo->findText("German");
    EXPECT_EQ(combo->itemText(german + 1), "German"); // duplicates kept
    EXPECT_EQ(form2->Label2->buddy(), combo);
    EXPECT_EQ(form2->Label1->buddy(), form2->Edit1);
    EXPECT_EQ(form2->Label3->buddy(), form2->Memo1);
}

// Confirming an Edit without changes stores each kind's entry as it was:
// the comment's description keeps exactly one zero, lines their CR LF, and a
// language its first code.
TEST_F(AddLangTest, EditUnchangedKeepsEachKindsEntry) {
    open(entries());
    const tag::TagData before = form->session().ID3v241.model();
    for (EntryDialogMode mode :
         {EntryDialogMode::EditComment, EntryDialogMode::EditLyric, EntryDialogMode::EditUserText,
          EntryDialogMode::EditUserUrl, EntryDialogMode::EditTermsOfUse}) {
        show(mode);
        if (mode == EntryDialogMode::EditComment) {
            EXPECT_EQ(form2->Edit1->text(), "Intro");
        }
        form2->BitBtn1->click();
        EXPECT_FALSE(form2->isVisible());
        EXPECT_EQ(form->session().ID3v241.model().count(entryList(mode)), 1);
    }
    const tag::TagData& after = form->session().ID3v241.model();
    EXPECT_EQ(after.comments[1], (tag::LangEntry{"Hello", "eng", withZero("Intro")}));
    EXPECT_EQ(after.lyrics[1], (tag::LangEntry{"la\r\nla", "deu", withZero("Verse")}));
    EXPECT_EQ(after.userTexts[1], before.userTexts[1]);
    EXPECT_EQ(after.userUrls[1], before.userUrls[1]);
    EXPECT_EQ(after.termsOfUse[1], (tag::TermsEntry{"no copies", "fra"}));
}

TEST_F(AddLangTest, AddWithoutLanguageStoresAnEmptyCode) {
    open(entries());
    show(EntryDialogMode::AddComment);
    form2->Edit1->setText("second");
    form2->BitBtn1->click();
    ASSERT_EQ(form->session().ID3v241.Comments().count(), 2);
    EXPECT_EQ(form->session().ID3v241.Comments()[2], (tag::LangEntry{"", "", withZero("second")}));
    auto* row = lists()->view(tag::ListKind::Comments)->topLevelItem(1);
    EXPECT_EQ(row->text(0), "2");
    EXPECT_EQ(row->text(2), ""); // no language name
}

TEST_F(AddLangTest, ATwoLineUrlIsStoredWithCrLf) {
    open({});
    show(EntryDialogMode::AddUserUrl);
    QTest::keyClicks(form2->Edit1, "two");
    QTest::keyClicks(form2->Memo1, "http://a");
    QTest::keyClick(form2->Memo1, Qt::Key_Return);
    QTest::keyClicks(form2->Memo1, "http://b");
    form2->BitBtn1->click();
    ASSERT_EQ(form->session().ID3v241.UserUrls().count(), 1);
    EXPECT_EQ(form->session().ID3v241.UserUrls()[1],
              (tag::UserUrlEntry{withZero("two"), "http://a\r\nhttp://b"}));
}

TEST_F(AddLangTest, AddTermsOfUseNeitherShowsNorStoresADescription) {
    open({});
    show(EntryDialogMode::AddTermsOfUse);
    EXPECT_FALSE(form2->Edit1->isVisible());
    form2->ComboBox1->setCurrentIndex(form2->ComboBox1->findText("English"));
    form2->Memo1->setPlainText("terms");
    form2->BitBtn1->click();
    EXPECT_EQ(form->session().ID3v241.TermsOfUse()[1], (tag::TermsEntry{"terms", "eng"}));
    EXPECT_EQ(lists()->view(tag::ListKind::TermsOfUse)->topLevelItem(0)->text(1), "English");
}

TEST_F(AddLangTest, TextsTakeAnyCharacterAndAUrlOnlyISO88591) {
    show(EntryDialogMode::AddLyric);
    type(form2->Edit1, QString::fromUtf8("a€ä"));
    EXPECT_EQ(form2->Edit1->text(), QString::fromUtf8("a€ä"));
    type(form2->Memo1, QString::fromUtf8("b€ß🎵"));
    EXPECT_EQ(form2->memoText(), "b€ß🎵");
    form2->BitBtn1->click();
    EXPECT_EQ(form->session().ID3v241.Lyrics()[1].description, withZero("a€ä"));

    show(EntryDialogMode::AddUserUrl);
    type(form2->Edit1, QString::fromUtf8("№"));
    type(form2->Memo1, QString::fromUtf8("http://€é"));
    EXPECT_EQ(form2->memoText(), "http://é");
    form2->BitBtn1->click();
    EXPECT_EQ(form->session().ID3v241.UserUrls()[1],
              (tag::UserUrlEntry{withZero("№"), "http://é"}));
}

TEST_F(AddLangTest, ImportReadsUtf8OrLatin1AndSplitsLines) {
    show(EntryDialogMode::AddLyric);
    const QString folder = form2->textFolder;
    // Valid UTF-8, with a byte order mark and every kind of line break.
    const std::string path = importFile(bytes("\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F\x65\r\nzwei\rdrei\n"
                                              "\xC2\xA0vier"));
    EXPECT_EQ(form2->memoText(), "Grüße\r\nzwei\r\ndrei\r\n\u00A0vier");
    EXPECT_EQ(dialogs.lastOpenFolder, folder);
    EXPECT_EQ(dialogs.lastFilter, ""); // all files
    EXPECT_EQ(form2->lastTextFile.toStdString(), path);
    EXPECT_EQ(form2->textFolder.toStdString() + "/", dir.path());

    // Not UTF-8: one ISO-8859-1 character per byte; a final line break kept.
    importFile(bytes("Gr\xFC\xDF\x65\n\n"));
    EXPECT_EQ(form2->memoText(), "Grüße\r\n\r\n");
    EXPECT_EQ(dialogs.lastOpenFolder.toStdString() + "/", dir.path());
    EXPECT_TRUE(dialogs.messages.empty());

    form2->BitBtn1->click();
    EXPECT_EQ(form->session().ID3v241.Lyrics()[1].text, "Grüße\r\n\r\n");
}

// An Import cancelled, or of a file that cannot be read (whose error is
// reported), keeps the memo and the dialog as they were.
TEST_F(AddLangTest, AnImportThatReadsNothingKeepsTheMemo) {
    show(EntryDialogMode::AddComment);
    form2->Memo1->setPlainText("typed");
    form2->BitBtn3->click(); // no file chosen
    EXPECT_EQ(memo(), "typed");
    EXPECT_TRUE(form2->lastTextFile.isEmpty());
    const std::string path = importFile(bytes("imported"));
    form2->BitBtn3->click();
    EXPECT_EQ(memo(), "imported");
    EXPECT_EQ(form2->lastTextFile.toStdString(), path);
    EXPECT_TRUE(dialogs.messages.empty());

    dialogs.files.push_back(QString::fromStdString(dir.file("missing.txt")));
    form2->BitBtn3->click();
    EXPECT_EQ(memo(), "imported");
    EXPECT_EQ(dialogs.messages, Boxes({FakeDialogs::reported("File not found")}));
    EXPECT_TRUE(form2->isVisible());
}

TEST_F(AddLangTest, ImportKeepsEveryCharacterButAUrlsAndSaysSo) {
    show(EntryDialogMode::AddLyric);
    importFile(bytes("it\xE2\x80\x99s \xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(form2->memoText(), "it’s été");
    EXPECT_TRUE(dialogs.messages.empty());
    show(EntryDialogMode::AddUserUrl);
    importFile(bytes("http://\xE2\x80\x99\xC3\xA9"));
    EXPECT_EQ(form2->memoText(), "http://é");
    EXPECT_EQ(dialogs.messages,
              Boxes({{"This file holds characters that a URL cannot store (URLs hold ISO-8859-1 "
                      "text only); they were left out.",
                      "Warning!", Icon::Warning}}));
}

TEST(AddLangText, SplitLinesAtCrLfCrAndLf) {
    using addlang::splitLines;
    EXPECT_EQ(splitLines(""), QStringList({""}));
    EXPECT_EQ(splitLines("a\r\nb"), QStringList({"a", "b"}));
    EXPECT_EQ(splitLines("a\rb\nc"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(splitLines("a\n\rb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(splitLines("a\r\r\n"), QStringList({"a", "", ""}));
    EXPECT_EQ(addlang::decodeTextFile(QByteArray("\xC3\xA9")), QString::fromUtf8("é"));
    EXPECT_EQ(addlang::decodeTextFile(QByteArray("\xC3(")), QString::fromLatin1("\xC3("));
    EXPECT_EQ(addlang::decodeTextFile(QByteArray("\xED\xA0\x80")).size(), 3); // no surrogates
}

} // namespace
