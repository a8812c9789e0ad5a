// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// An album at once: only what the user changed written into every file, tags
// from file names, track numbers; each file keeps all else of its own, and
// one Undo brings them all back. And the question when the window closes
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
#include <filesystem>
#include <optional>

using namespace testing_support;

namespace {

std::string two(int i) {
    return (i < 10 ? "0" : "") + std::to_string(i);
}

class Album : public WindowFixture {
protected:
    // A song of its own: title, track number, album, year, a picture and a
    // frame the editor does not show.
    static Bytes song(int i) {
        const std::string n = std::to_string(i);
        return tag24(frame24("TIT2", latin1("Title " + n)) + frame24("TRCK", latin1(n)) +
                     frame24("TALB", latin1("Old album")) + frame24("TDRC", latin1("1999")) +
                     frame24("APIC", picture_files::apic("image/jpeg", 8, "Booklet " + n,
                                                         bytes("\xff\xd8\xff page " + n))) +
                     frame24("PRIV", bytes("owner") + Bytes{0, 1})) +
               audio(1000 + size_t(i));
    }
    QStringList marksShown() const {
        QStringList names;
        for (ChangeMark* mark : form->editorPage()->findChildren<ChangeMark*>())
            if (!mark->isHidden()) names << mark->accessibleName();
        names.sort();
        return names;
    }
    // The songs song01.mp3 to song<n>.mp3 in the selection list: their paths.
    std::vector<std::string> addSongs(int n) {
        std::vector<std::string> paths;
        for (int i = 1; i <= n; ++i)
            paths.push_back(addFile("song" + two(i) + ".mp3", song(i)));
        return paths;
    }
};

TEST_F(Album, WriteChangesToAllWritesOnlyWhatChanged) {
    const std::vector<std::string> paths = addSongs(12);
    std::vector<Bytes> before;
    for (const std::string& path : paths)
        before.push_back(readFile(path));
    const std::string cover = dir.file("cover.bmp");
    writeFile(cover, picture_files::qtImage(40, 30, "bmp", Qt::blue));
    edit(0);
    click("WriteChangesButton");
    EXPECT_EQ(dialogs.messages,
              Boxes({{"Nothing was changed since the file was read: there is nothing to write.",
                      "Write changes to all", Icon::Information}}));
    dialogs.messages.clear();

    widget<QLineEdit>("Edit3")->setText("New album");
    widget<DateMaskEdit>("MaskEdit1")->setDateText("  .  .2026");
    form->editorPage()->showSubPage(4);
    addPicture(cover, "Cover", 3);
    // A text typed back as it was read is no change.
    widget<QLineEdit>("Edit1")->setText("Other");
    widget<QLineEdit>("Edit1")->setText("Title 1");
    settle();
    EXPECT_EQ(marksShown(),
              QStringList({"Album changed", "Images changed", "Recording Time changed"}));
    EXPECT_EQ(widget<QLineEdit>("Edit3")->accessibleDescription(), "changed");

    dialogs.answers = {true};
    click("WriteChangesButton");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(dialogs.questions.last(),
              "Do you want to write these changes into all 12 files of the selection list?\n\n"
              "Album, Recording Time, Images\n\nEach file keeps everything else of its own.");
    EXPECT_EQ(widget<QLabel>("Label74")->text(), "12 of 12");
    EXPECT_FALSE(form->editorPage()->changes()->any());
    for (int i = 1; i <= 12; ++i) {
        const auto tag = readBack(paths[size_t(i - 1)]);
        const std::string n = std::to_string(i);
        EXPECT_EQ(tag->text(tag::Prop::Album) + tag->text(tag::Prop::RecordTime), "New album2026");
        EXPECT_EQ(tag->text(tag::Prop::Title) + tag->text(tag::Prop::TrackNum), "Title " + n + n);
        ASSERT_EQ(tag->Pictures().count(), 2) << i;
        EXPECT_EQ(readFile(tag->Pictures()[1].pictureFile), bytes("\xff\xd8\xff page " + n));
        EXPECT_EQ(tag->Pictures()[2].description + tag->Pictures()[2].pictureType,
                  withZero("Cover") + "Cover (front)");
        EXPECT_EQ(readFile(tag->Pictures()[2].pictureFile), readFile(cover));
        EXPECT_EQ(tag->KeptFrames().size(), 1u);
    }

    dialogs.answers = {true};
    click("UndoButton");
    EXPECT_EQ(dialogs.questions.last(), "Undo the last write of 12 files?");
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(readFile(paths[i]), before[i]) << paths[i];
}

// As in "Write for all": the first file that fails ends the run, named; the
// files before stay written, and the changes stay to be written again.
TEST_F(Album, AFileThatFailsEndsTheRun) {
    const std::vector<std::string> paths = addSongs(3);
    const Bytes last = readFile(paths[2]);
    edit(0);
    widget<QLineEdit>("Edit3")->setText("New album");
    std::filesystem::remove(paths[1]);
    dialogs.answers = {true};
    click("WriteChangesButton");
    EXPECT_TRUE(dialogs.lastMessage().startsWith(QString::fromStdString(paths[1]) + ":\n"))
        << dialogs.lastMessage().toStdString();
    EXPECT_EQ(readBack(paths[0])->text(tag::Prop::Album), "New album");
    EXPECT_EQ(readFile(paths[2]), last);
    EXPECT_TRUE(form->editorPage()->changes()->any());
}

// Twenty files named after their tags, two that are not; then track numbers.
TEST_F(Album, TagsFromNamesAndTrackNumbers) {
    std::vector<std::string> paths;
    for (int i = 1; i <= 22; ++i) {
        const std::string n = std::to_string(i);
        paths.push_back(addFile(i == 21   ? "intro.mp3"
                                : i == 22 ? "22 - Hidden.mp3"
                                          : two(i) + " - Artist " + n + " - Song " + n + ".mp3",
                                song(i)));
    }
    const Bytes leftAlone[] = {readFile(paths[20]), readFile(paths[21])};
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
    for (const auto& [row, cells] :
         {std::pair{2,
                    QStringList{"3", "03 - Artist 3 - Song 3.mp3", "", "03", "Artist 3", "Song 3"}},
          {20, {"21", "intro.mp3", "does not match the template", "", "", ""}}})
        for (int c = 0; c < cells.size(); ++c)
            EXPECT_EQ(preview->topLevelItem(row)->text(c), cells[c]);
    for (int i = 1; i <= 20; ++i) {
        const auto tag = readBack(paths[size_t(i - 1)]);
        EXPECT_EQ(tag->text(tag::Prop::TrackNum), two(i));
        EXPECT_EQ(tag->text(tag::Prop::LeadPerformer), "Artist " + std::to_string(i));
        EXPECT_EQ(tag->text(tag::Prop::Title), "Title " + std::to_string(i)); // its own
        Id3v1 trailer;
        trailer.FileName = paths[size_t(i - 1)];
        trailer.ReadTag();
        EXPECT_EQ(trailer.Title, "Song " + std::to_string(i));
    }
    EXPECT_EQ(readFile(paths[20]), leftAlone[0]);
    EXPECT_EQ(readFile(paths[21]), leftAlone[1]);
    renamer->ListView8->selectRow(0);
    click("BitBtn29");
    EXPECT_FALSE(preview->isVisible()) << "a preview of another template";

    click("ToolButton13");
    widget<QCheckBox>("NumberOfTotalBox")->setChecked(true);
    dialogs.answers = {true};
    click("NumberTracksButton");
    EXPECT_EQ(dialogs.questions.last(), "Do you want to number the tracks of the 22 files of the "
                                        "selection list, 1/22 to 22/22 in the list's order?");
    EXPECT_EQ(widget<QLabel>("NumberCounter")->text(), "22 of 22");
    for (size_t i = 0; i < 22; ++i)
        EXPECT_EQ(readBack(paths[i])->text(tag::Prop::TrackNum), std::to_string(i + 1) + "/22");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
}

TEST_F(Album, ClosingWithEditsNotWrittenAsks) {
    using Answer = UserDialogs::Unwritten;
    const std::string path = addFile("song.mp3", song(1));
    const Bytes before = readFile(path);
    const struct {
        std::optional<Answer> answer; // none: no question
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
        EXPECT_EQ(readBack(path)->text(tag::Prop::Title), c.written ? "Edited" : "Title 1");
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    }
}

} // namespace
