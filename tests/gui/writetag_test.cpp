// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Writing from the editor: Write Tag, Write for all, and the date fields'
// time stamps, checked in the bytes of the files written.
#include "widgets/maskedit.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>

using namespace testing_support;

namespace {

// The trailer Write Tag writes for empty ID3v1.1 fields: track 0, no genre.
Bytes emptyTrailer() {
    return bytes("TAG") + repeat(0, 124) + Bytes{255};
}

class WriteFromEditor : public WindowFixture {
protected:
    Bytes taggedFile(uint32_t size = 1000) {
        Bytes frames = frame24("TIT2", latin1("Old title")) +
                       frame24("COMM", latin1("eng") + Bytes{0} + bytes("old comment"));
        return header(4, size) + frames + repeat(0, size - frames.size()) + audio();
    }
    void clearEverything() {
        form->editorPage()->cleaneditboxes();
        while (form->session().ID3v241.Comments().count() > 0)
            form->session().ID3v241.DeleteComment(1);
    }
};

TEST_F(WriteFromEditor, EmptyEditorWritesNoFrameAtAll) {
    const std::string path = addFile("song.mp3", taggedFile());
    edit(0);
    clearEverything();
    click("BitBtn19");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(readFile(path), header(4, 1000) + repeat(0, 1000) + audio() + emptyTrailer());
    EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
    EXPECT_EQ(page(), TForm1::SelectionPageIndex);
}

TEST_F(WriteFromEditor, FieldsBecomeFramesInTheirOrder) {
    const std::string path = addFile("song.mp3", taggedFile());
    edit(0);
    clearEverything();
    widget<QLineEdit>("Edit1")->setText("Song");
    widget<QLineEdit>("Edit27")->setText("http://pub");
    widget<QLineEdit>("Edit37")->setText("Pub");
    widget<QComboBox>("ComboBox2")->setCurrentText("German");
    widget<QComboBox>("ComboBox3")->setCurrentText("F#m");
    widget<DateMaskEdit>("MaskEdit1")->setDateText("06.05.2004");
    widget<DateMaskEdit>("MaskEdit2")->setDateText("  .05.2004");
    widget<DateMaskEdit>("MaskEdit3")->setDateText("  .  .2004");
    widget<DateMaskEdit>("MaskEdit4")->setDateText("06.  .2004");
    widget<DateMaskEdit>("MaskEdit5")->setDateText("06.05.20  "); // no complete year: no frame
    widget<QLineEdit>("Edit43")->setText("v1 title");
    widget<QLineEdit>("Edit42")->setText("3/12");
    widget<QComboBox>("ComboBox4")->setCurrentText("Rock");
    click("BitBtn19");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();

    // Declaration order, with the time stamps as the longest valid form they hold.
    Bytes frames = frame24("TKEY", latin1("F#m")) + frame24("TLAN", latin1("deu")) +
                   frame24("TDOR", latin1("2004")) + frame24("TPUB", latin1("Pub")) +
                   frame24("WPUB", bytes("http://pub")) + frame24("TDRC", latin1("2004-05-06")) +
                   frame24("TDRL", latin1("2004-05")) + frame24("TIT2", latin1("Song"));
    Bytes expectedTag = header(4, 1000) + frame24("TDEN", latin1("2004")) + frames;
    expectedTag.resize(1010, 0);
    Bytes trailer = bytes("TAG") + bytes("v1 title") + repeat(0, 22) + repeat(0, 93) + Bytes{3, 17};
    EXPECT_EQ(readFile(path), expectedTag + audio() + trailer);

    // Reading it back shows the same fields.
    edit(0);
    EXPECT_EQ(widget<DateMaskEdit>("MaskEdit2")->dateText(), "  .05.2004");
    EXPECT_EQ(widget<DateMaskEdit>("MaskEdit4")->dateText(), "  .  .2004");
    EXPECT_EQ(widget<DateMaskEdit>("MaskEdit5")->dateText(), "  .  .    ");
    EXPECT_EQ(widget<QComboBox>("ComboBox2")->currentText(), "German");
}

// Every file of the selection list gets the edited file's tags, whatever it
// had (a larger tag, none, an ID3v2.3 tag); the bar steps file by file,
// rounded half to even.
TEST_F(WriteFromEditor, WriteForAllGivesEveryFileTheSameTags) {
    // Each file and the audio it holds.
    std::vector<std::pair<std::string, Bytes>> files = {
        {addFile("a.mp3", taggedFile(1000)), audio()},
        {addFile("b.mp3", audio()), audio()},
        {addFile("c.mp3", tag23(frame23("TALB", latin1("Own album")), 20) + audio()), audio()}};
    for (int i = 3; i < 8; ++i)
        files.push_back({addFile("f" + std::to_string(i) + ".mp3", audio(100)), audio(100)});
    edit(0);
    widget<QLineEdit>("Edit1")->setText("Shared");
    auto* progress = widget<QProgressBar>("ProgressBar1");
    QSignalSpy steps(progress, &QProgressBar::valueChanged);

    click("Button2"); // answered No
    EXPECT_EQ(dialogs.questions.last(),
              "Do you realy want to tag all files in the selection list?");
    EXPECT_EQ(readFile(files[0].first), taggedFile(1000));

    dialogs.answers = {true};
    click("Button2");
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(widget<QLabel>("Label74")->text(), "8 of 8");
    EXPECT_EQ(progress->value(), 100);
    QList<int> values;
    for (const auto& s : steps)
        values << s.at(0).toInt();
    EXPECT_EQ(values, (QList<int>{12, 25, 38, 50, 62, 75, 88, 100}));
    EXPECT_EQ(tabs()->currentIndex(), TForm1::Mp3FileTab);
    EXPECT_EQ(page(), TForm1::SelectionPageIndex);

    for (const auto& [path, sound] : files) {
        auto check = std::make_unique<ID3v24>();
        check->FileName = path;
        check->ReadTag(dir.path() + "Temp", false);
        EXPECT_EQ(check->Version, "2.4") << path;
        EXPECT_EQ(check->text(tag::Prop::Title), "Shared") << path;
        EXPECT_EQ(check->text(tag::Prop::Album), "") << path;
        ASSERT_EQ(check->Comments().count(), 1) << path;
        EXPECT_EQ(check->Comments()[1].text, "old comment");
        // The audio is untouched, followed by the new trailer.
        const Bytes all = readFile(path);
        const Bytes tail(all.end() - 128 - std::ptrdiff_t(sound.size()), all.end() - 128);
        EXPECT_EQ(tail, sound) << path;
    }
}

} // namespace
