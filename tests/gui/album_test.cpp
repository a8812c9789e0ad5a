// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// An album at once: only what the user changed written into every file,
// tags from file names, track numbers; each file keeps all else of its own,
// and one Undo brings them all back. And the question when the window closes
// with edits not written.
#include "editor/changemark.h"
#include "editor/editchanges.h"
#include "editor/renamerpage.h"
#include "picturefiles.h"
#include "widgets/maskedit.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <optional>

using namespace testing_support;

namespace {

std::string two(int i) {
    return (i < 10 ? "0" : "") + std::to_string(i);
}

class Album : public WindowFixture {
protected:
    // A song of its own: title, track number, album, year and a picture.
    static Bytes song(int i) {
        const Bytes picture = picture_files::apic("image/jpeg", 8, "Booklet " + std::to_string(i),
                                                  bytes("\xff\xd8\xff page " + std::to_string(i)));
        return tag24(frame24("TIT2", latin1("Title " + std::to_string(i))) +
                     frame24("TRCK", latin1(std::to_string(i))) +
                     frame24("TALB", latin1("Old album")) + frame24("TDRC", latin1("1999")) +
                     frame24("APIC", picture)) +
               audio(1000 + size_t(i));
    }
    std::unique_ptr<ID3v24> read(const std::string& path) const {
        auto tag = std::make_unique<ID3v24>();
        tag->FileName = path;
        tag->ReadTag(dir.path() + "check", false);
        return tag;
    }
    // The marks shown, by what they name.
    QStringList marksShown() const {
        QStringList names;
        for (ChangeMark* mark : form->editorPage()->findChildren<ChangeMark*>())
            if (!mark->isHidden()) names << mark->accessibleName();
        names.sort();
        return names;
    }
    // Adds a picture through the image dialog, as the user does.
    void addCover(const std::string& file) {
        form->editorPage()->showSubPage(4);
        QTimer::singleShot(0, [&] {
            type(form3->Edit1, QStringLiteral("Cover"));
            form3->ComboBox1->setCurrentIndex(3);
            dialogs.files.push_back(QString::fromStdString(file));
            form3->findChild<QAbstractButton*>("BitBtn1")->click();
            form3->BitBtn2->click();
        });
        click("BitBtn12");
    }
};

TEST_F(Album, WriteChangesToAllWritesOnlyWhatChanged) {
    std::vector<std::string> paths;
    std::vector<Bytes> before;
    for (int i = 1; i <= 12; ++i) {
        paths.push_back(addFile("song" + two(i) + ".mp3", song(i)));
        before.push_back(readFile(paths.back()));
    }
    const std::string cover = dir.file("cover.bmp");
    writeFile(cover, picture_files::qtImage(40, 30, "bmp", Qt::blue));
    edit(0);
    EXPECT_EQ(marksShown(), QStringList());
    click("WriteChangesButton");
    EXPECT_EQ(dialogs.messages,
              Boxes({{"Nothing was changed since the file was read: there is nothing to write.",
                      "Write changes to all", Icon::Information}}));
    EXPECT_TRUE(dialogs.questions.isEmpty());
    dialogs.messages.clear();

    widget<QLineEdit>("Edit3")->setText("New album");
    widget<DateMaskEdit>("MaskEdit1")->setDateText("  .  .2026");
    addCover(cover);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    settle();
    EXPECT_EQ(marksShown(),
              QStringList({"Album changed", "Images changed", "Recording Time changed"}));
    EXPECT_EQ(widget<QLineEdit>("Edit3")->accessibleDescription(), "changed");
    // What was typed back as it was read is no change.
    widget<QLineEdit>("Edit1")->setText("Other");
    widget<QLineEdit>("Edit1")->setText("Title 1");
    settle();
    EXPECT_EQ(marksShown().size(), 3);

    dialogs.answers = {true};
    click("WriteChangesButton");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(dialogs.questions.last(),
              "Do you want to write these changes into all 12 files of the selection list?\n\n"
              "Album, Recording Time, Images\n\nEach file keeps everything else of its own.");
    EXPECT_EQ(widget<QLabel>("Label74")->text(), "12 of 12");
    EXPECT_EQ(page(), TForm1::SelectionPageIndex);
    EXPECT_FALSE(form->editorPage()->changes()->any());
    for (int i = 1; i <= 12; ++i) {
        const auto tag = read(paths[size_t(i - 1)]);
        const std::string n = std::to_string(i);
        EXPECT_EQ(tag->text(tag::Prop::Album), "New album") << i;
        EXPECT_EQ(tag->text(tag::Prop::RecordTime), "2026") << i;
        EXPECT_EQ(tag->text(tag::Prop::Title), "Title " + n) << i;
        EXPECT_EQ(tag->text(tag::Prop::TrackNum), n) << i;
        ASSERT_EQ(tag->Pictures().count(), 2) << i;
        EXPECT_EQ(tag->Pictures()[1].description, withZero("Booklet " + n));
        EXPECT_EQ(readFile(tag->Pictures()[1].pictureFile), bytes("\xff\xd8\xff page " + n));
        EXPECT_EQ(tag->Pictures()[2].description, withZero("Cover"));
        EXPECT_EQ(tag->Pictures()[2].pictureType, "Cover (front)");
        EXPECT_EQ(readFile(tag->Pictures()[2].pictureFile), readFile(cover));
    }

    dialogs.answers = {true};
    click("UndoButton");
    EXPECT_EQ(dialogs.questions.last(), "Undo the last write of 12 files?");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(readFile(paths[i]), before[i]) << paths[i];
}

// Twenty files named after their tags, two that are not; then track numbers.
TEST_F(Album, TagsFromNamesAndTrackNumbers) {
    std::vector<std::string> paths;
    for (int i = 1; i <= 20; ++i)
        paths.push_back(addFile(two(i) + " - Artist " + std::to_string(i) + " - Song " +
                                    std::to_string(i) + ".mp3",
                                song(i)));
    const std::string intro = addFile("intro.mp3", song(21)),
                      hidden = addFile("99 - Hidden.mp3", song(22));
    const Bytes leftAlone[] = {readFile(intro), readFile(hidden)};
    auto* renamer = form->renamerPage();
    click("ToolButton8");
    for (const auto& [frame, suffix] :
         {std::pair{"Track Num.", " - "}, {"Artist", " - "}, {"Title(ID3v1)", ""}}) {
        renamer->ComboBox5->setCurrentIndex(renamer->ComboBox5->findText(frame));
        renamer->Edit39->setText(suffix);
        click("BitBtn28");
    }
    dialogs.answers = {true};
    click("TagsFromNamesButton");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(dialogs.questions.last(), "Do you want to write the fields their names give into 20 "
                                        "files of the selection list?\n\n2 files whose names give "
                                        "no fields are left alone.");
    ReportView* preview = renamer->NamesPreview;
    ASSERT_TRUE(preview->isVisible());
    ASSERT_EQ(preview->topLevelItemCount(), 22);
    const auto row = [&](int r) {
        QStringList cells;
        for (int c = 0; c < preview->columnCount(); ++c)
            cells << preview->topLevelItem(r)->text(c);
        return cells;
    };
    EXPECT_EQ(row(2),
              QStringList({"3", "03 - Artist 3 - Song 3.mp3", "", "03", "Artist 3", "Song 3"}));
    EXPECT_EQ(row(20), QStringList({"21", "intro.mp3", "does not match the template", "", "", ""}));
    EXPECT_EQ(renamer->Label80->text(), "20 of 20");
    for (int i = 1; i <= 20; ++i) {
        const auto tag = read(paths[size_t(i - 1)]);
        EXPECT_EQ(tag->text(tag::Prop::TrackNum), two(i));
        EXPECT_EQ(tag->text(tag::Prop::LeadPerformer), "Artist " + std::to_string(i));
        EXPECT_EQ(tag->text(tag::Prop::Title), "Title " + std::to_string(i)); // its own
        EXPECT_EQ(tag->Pictures().count(), 1);
        Id3v1 trailer;
        trailer.FileName = paths[size_t(i - 1)];
        trailer.ReadTag();
        EXPECT_EQ(trailer.Title, "Song " + std::to_string(i));
    }
    EXPECT_EQ(readFile(intro), leftAlone[0]);
    EXPECT_EQ(readFile(hidden), leftAlone[1]);
    // The template changed: the preview would mislead.
    renamer->ListView8->selectRow(0);
    click("BitBtn29");
    EXPECT_FALSE(preview->isVisible());

    click("ToolButton13");
    widget<QCheckBox>("NumberOfTotalBox")->setChecked(true);
    dialogs.answers = {true};
    click("NumberTracksButton");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(dialogs.questions.last(), "Do you want to number the tracks of the 22 files of the "
                                        "selection list, 1/22 to 22/22 in the list's order?");
    EXPECT_EQ(widget<QLabel>("NumberCounter")->text(), "22 of 22");
    for (size_t i = 0; i < 22; ++i) {
        const auto tag = read(i < 20 ? paths[i] : i == 20 ? intro : hidden);
        EXPECT_EQ(tag->text(tag::Prop::TrackNum), std::to_string(i + 1) + "/22");
        EXPECT_EQ(tag->text(tag::Prop::Album), "Old album");
    }
}

TEST_F(Album, ClosingWithEditsNotWrittenAsks) {
    using Answer = UserDialogs::Unwritten;
    const std::string path = addFile("song.mp3", song(1));
    const Bytes before = readFile(path);
    const struct {
        std::optional<Answer> answer; // none: no question is asked
        bool cancelEditing, closes, written;
    } cases[] = {
        {Answer::Cancel, false, false, false},
        {Answer::Discard, false, true, false},
        {Answer::Write, false, true, true},
        {std::nullopt, true, true, false}, // "Cancel editing" discarded them
    };
    for (const auto& c : cases) {
        writeFile(path, before);
        form.reset();
        dialogs.questions.clear();
        start();
        selectionList()->append("song.mp3", QString::fromStdString(dir.path()));
        edit(0);
        widget<QLineEdit>("Edit1")->setText("Edited");
        if (c.cancelEditing) click("Button3");
        if (c.answer) dialogs.unwrittenAnswers = {*c.answer};
        form->close();
        EXPECT_EQ(dialogs.questions, c.answer ? QStringList{"The changes to song.mp3 are not "
                                                            "written yet.\n\nWrite them into the "
                                                            "file before closing?"}
                                              : QStringList());
        EXPECT_EQ(form->isVisible(), !c.closes);
        EXPECT_EQ(read(path)->text(tag::Prop::Title), c.written ? "Edited" : "Title 1");
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    }
}

} // namespace
