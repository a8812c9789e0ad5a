// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// End to end: pictures added in the window reach the file's APIC frames, as
// mutagen reads them.
#include "editor/picturepage.h"
#include "picturefiles.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <sstream>

using namespace testing_support;
using namespace picture_files;

namespace {

class PictureWrite : public WindowFixture {
protected:
    // Adds a picture through the dialog, as the user would.
    void addPicture(const std::string& path, const QString& description, int type) {
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            form3->Edit1->setText(description);
            form3->ComboBox1->setCurrentIndex(type);
            dialogs.files.push_back(QString::fromStdString(path));
            form3->findChild<QAbstractButton*>("BitBtn1")->click();
            form3->findChild<QAbstractButton*>("BitBtn2")->click();
            if (form3->isVisible()) form3->reject();
        });
        timer.start(0);
        click("BitBtn12");
    }
};

TEST_F(PictureWrite, AddedJpegsReachTheApicFrames) {
    const std::string song =
        addFile("song.mp3", tag24(frame24("TIT2", Bytes{0, 'S', 'o', 'n', 'g'})) + audio());
    const std::string cover = dir.file("cover.jpg");
    const std::string back = dir.file("back.jpeg");
    writeFile(cover, jpeg(120, 90, JpegKind::Colour, QColor(10, 200, 30)));
    writeFile(back, jpeg(64, 64, JpegKind::Cmyk, QColor(200, 10, 30)));
    edit(0);
    form->editorPage()->showSubPage(4);
    addPicture(cover, "Front", 3);
    addPicture(back, "Back", 4);
    ASSERT_EQ(form->session().ID3v241.Pictures().count(), 2);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();

    click("BitBtn19"); // Write Tag
    if (!dialogs.messages.empty() &&
        dialogs.lastMessage().startsWith("Writing tags is not available yet"))
        GTEST_SKIP() << "needs the tag writer";
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();

    const std::string script = R"(
import sys
from mutagen.id3 import ID3
pictures = ID3(sys.argv[1]).getall("APIC")
print(len(pictures))
for n, p in enumerate(pictures):
    print(int(p.encoding), p.mime, int(p.type), p.desc)
    open(sys.argv[2] + str(n), "wb").write(p.data)
)";
    const std::string out = dir.path() + "data";
    const ProcessResult r =
        run("/usr/bin/python3 - " + shellQuote(song) + " " + shellQuote(out), script);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "2\n"
                     "0 image/jpg 3 Front\n"
                     "0 image/jpeg 4 Back\n");
    EXPECT_EQ(readFile(out + "0"), readFile(cover));
    EXPECT_EQ(readFile(out + "1"), readFile(back));
}

} // namespace
