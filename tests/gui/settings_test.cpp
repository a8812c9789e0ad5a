// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Start-up and exit around the settings file, on real files in a program
// folder of the test's own; restarts build the whole window again.
#include "editor/picturepage.h"
#include "editor/programsettings.h"
#include "editor/renamerpage.h"
#include "settings/profile.h"
#include "windowfixture.h"

#include <QDir>
#include <QLabel>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace testing_support;

namespace {

class Settings : public WindowFixture {
protected:
    std::string program() const { return dir.path() + "program/"; }
    std::string iniPath() const { return program() + "quillet.ini"; }
    std::string ini() const {
        const Bytes b = readFile(iniPath());
        return std::string(b.begin(), b.end());
    }
    settings::Profile profile() const { return settings::Profile(iniPath()); }
    RenamerPage* renamer() const { return form->renamerPage(); }

    // Ends the program as the user does, by closing the window.
    void quit() {
        form->close();
        form.reset();
    }
    void restart() {
        quit();
        start();
    }
    void startWith(const std::string& iniText) {
        quit();
        writeFile(iniPath(), bytes(iniText));
        start();
    }
    std::vector<QStringList> rows() const {
        std::vector<QStringList> r;
        for (int i = 0; i < renamer()->templateRowCount(); ++i)
            r.push_back(renamer()->templateRow(i));
        return r;
    }
};

TEST_F(Settings, FirstStartTakesTheDefaultsAndExitWritesThem) {
    EXPECT_FALSE(exists(iniPath()));
    EXPECT_EQ(form->pos(), QPoint(73, 56));
    EXPECT_EQ(form->editorPage()->pictures()->exportFolder.toStdString(),
              program() + "Export Images/");
    const QString home = QDir::homePath() + '/';
    EXPECT_EQ(form3->pictureFolder, home);
    EXPECT_EQ(form2->textFolder, home);
    EXPECT_EQ(renamer()->templateRowCount(), 0);
    EXPECT_EQ(renamer()->Label77->text(), ".mp3");
    // The program makes its two folders.
    EXPECT_TRUE(QDir(QString::fromStdString(program() + "Temp")).exists());
    EXPECT_TRUE(QDir(QString::fromStdString(program() + "Export Images")).exists());
    quit();
    EXPECT_EQ(ini(), "[Position]\nLeft=73\nTop=56\n\n[Rename Template]\nNumberOfItems=0\n");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Settings, TemplateRowsSurviveARestart) {
    renamer()->addTemplateRow("", "Track Num.", " - ");
    renamer()->addTemplateRow("\"", "Title", "\" ");
    renamer()->addTemplateRow(QString::fromUtf8("é–"), "", "");
    const auto before = rows();
    restart();
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(renamer()->Label77->text(), QString::fromUtf8("Track Num. - \"Title\" é–.mp3"));
    EXPECT_EQ(profile().readString("Rename Template", "1Framename", ""), "Track Num.");
    EXPECT_NE(ini().find("1Framename=Track Num.\n"), std::string::npos);
}

// The template as the settings file holds it: keys in any letter case, a
// count in hexadecimal, rows past the count ignored; none without a section
// or with a count of 0 or less.
TEST_F(Settings, TheTemplateComesFromTheCountedRows) {
    const struct {
        const char* ini;
        std::vector<QStringList> rows;
        const char* preview;
    } cases[] = {
        {"[RENAME template]\nnumberofitems=0x2\n1prefix=<\n1FRAMENAME=Album\n1suffix=>\n"
         "2Prefix=\n2FrameName=Title\n2Suffix=\n3Prefix=never\n3FrameName=Mood\n",
         {{"<", "Album", ">"}, {"", "Title", ""}},
         "<Album>Title.mp3"},
        {"[Rename Template]\nNumberOfItems=0\n1FrameName=Title\n", {}, ".mp3"},
        {"[Position]\nLeft=10\n", {}, ".mp3"},
        {"[Rename Template]\nNumberOfItems=-3\n", {}, ".mp3"},
    };
    for (const auto& c : cases) {
        startWith(c.ini);
        EXPECT_EQ(rows(), c.rows) << c.ini;
        EXPECT_EQ(renamer()->Label77->text(), c.preview) << c.ini;
    }
}

TEST_F(Settings, AShorterTemplateLeavesTheOldKeys) {
    for (const char* name : {"Album", "Title", "Mood"})
        renamer()->addTemplateRow("p", name, "s");
    restart();
    delete renamer()->ListView8->takeTopLevelItem(2);
    delete renamer()->ListView8->takeTopLevelItem(1);
    quit();
    auto p = profile();
    EXPECT_EQ(p.readInteger("Rename Template", "NumberOfItems", -1), 1);
    EXPECT_EQ(p.readString("Rename Template", "3FrameName", ""), "Mood");
    EXPECT_EQ(p.readString("Rename Template", "2FrameName", ""), "Title");
    start();
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0], QStringList({"p", "Album", "s"}));
}

TEST_F(Settings, WindowPositionComesBack) {
    form->move(120, 90);
    restart();
    EXPECT_EQ(form->pos(), QPoint(120, 90));
    // A position no screen shows any more gives way to the default one.
    startWith("[Position]\nLeft=5000\nTop=-4000\n");
    EXPECT_EQ(form->pos(), QPoint(73, 56));
}

TEST_F(Settings, DialogFoldersComeFromTheFilesChosen) {
    form->editorPage()->pictures()->lastExportFile = "/music/pics/x.jpg";
    form3->lastPictureFile = "/home/u/Pictures/cover.png";
    quit();
    auto p = profile();
    EXPECT_EQ(p.readString("Path", "ImageSaveDir", ""), "/music/pics/");
    EXPECT_EQ(p.readString("Path", "OpenPictureDir", ""), "/home/u/Pictures/");
    EXPECT_EQ(p.readString("Path", "OpenTextDir", "unset"), "unset"); // not used this run
    start();
    EXPECT_EQ(form->editorPage()->pictures()->exportFolder, "/music/pics/");
    EXPECT_EQ(form3->pictureFolder, "/home/u/Pictures/");
    EXPECT_EQ(form2->textFolder, QDir::homePath() + '/');
    // A later run that chooses no file leaves them as they are.
    restart();
    EXPECT_EQ(profile().readString("Path", "ImageSaveDir", ""), "/music/pics/");
}

TEST_F(Settings, ExitCleansThePicturesOutOfTemp) {
    const std::string temp = program() + "Temp/";
    for (const char* n :
         {"a.jpg", "b.jpeg", "c.png", "d.BMP", "e.wmf", "f.emf", "g.ico", ".jpg", "keep.txt"})
        writeFile(temp + n, bytes("x"));
    io::makeFolders(temp + "folder.jpg");
    writeFile(temp + "folder.jpg/inside.jpg", bytes("x"));
    {
        ReadOnlyGuard guard(temp + "g.ico"); // a read-only file is deleted all the same
        quit();
    }
    auto left = listFolder(temp);
    std::sort(left.begin(), left.end());
    // The lock stays: it tells a second program that this folder is taken.
    EXPECT_EQ(left, (std::vector<std::string>{".lock", "c.png", "folder.jpg", "keep.txt"}));
    EXPECT_TRUE(exists(temp + "folder.jpg/inside.jpg"));
}

// A second program on the same program folder keeps its pictures apart: the
// first one's are neither written over nor deleted, and a folder left by one
// that was killed goes at the next start.
TEST_F(Settings, ASecondProgramKeepsItsPicturesApart) {
    quit();
    const std::string other = dir.path() + "other/";
    const std::string temp = other + "Temp/";
    io::makeFolders(temp + "123");
    writeFile(temp + "123/1image.jpg", bytes("x"));
    writeFile(temp + "1image.jpg", bytes("first's"));
    const int first = ::open((temp + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(first, LOCK_EX), 0);
    setProgramFolder(QString::fromStdString(other));
    start();
    const std::string own = form->session().TempFolder.toStdString();
    EXPECT_EQ(own, temp + std::to_string(::getpid()) + "/");
    EXPECT_FALSE(exists(temp + "123"));
    writeFile(own + "1image.jpg", bytes("x"));
    quit();
    EXPECT_FALSE(exists(own));
    EXPECT_EQ(readFile(temp + "1image.jpg"), bytes("first's"));
    ::close(first);
}

TEST_F(Settings, AFailedWriteIsReportedAndEndsTheExit) {
    const std::string temp = program() + "Temp/";
    writeFile(temp + "a.jpg", bytes("x"));
    io::makeFolders(iniPath()); // a folder where the file should be
    quit();
    EXPECT_EQ(
        dialogs.messages,
        Boxes({FakeDialogs::reported(QString::fromStdString("Unable to write to " + iniPath()))}));
    EXPECT_TRUE(exists(temp + "a.jpg")); // the clean-up did not run
}

TEST(ExtractDialogPath, UpToAndIncludingTheLastSeparator) {
    EXPECT_EQ(extractdialogpath("/music/pics/x.jpg"), "/music/pics/");
    EXPECT_EQ(extractdialogpath("/x.jpg"), "/");
    EXPECT_EQ(extractdialogpath("x.jpg"), "");
    EXPECT_EQ(extractdialogpath("/music/"), "/music/");
}

TEST(ProgramFolderRule, TheExecutablesFolderOnlyWhenWritableAndNotInstalled) {
    TempDir dir;
    const QString root = QString::fromStdString(dir.path());
    const QString data = root + "data";
    io::makeFolders(dir.path() + "build/bin");
    EXPECT_EQ(chooseProgramFolder(root + "build/bin", data), root + "build/bin/");
    // Installed: the prefix holds the desktop entry.
    io::makeFolders(dir.path() + "prefix/bin");
    io::makeFolders(dir.path() + "prefix/share/applications");
    writeFile(dir.path() + "prefix/share/applications/quillet.desktop", bytes("[Desktop Entry]\n"));
    EXPECT_EQ(chooseProgramFolder(root + "prefix/bin", data), data + '/');
    // Read-only.
    ReadOnlyGuard guard(dir.path() + "build/bin");
    EXPECT_EQ(chooseProgramFolder(root + "build/bin", data), data + '/');
}

} // namespace
