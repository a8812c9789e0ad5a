// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// What the desktop hands the window: names on the command line and files or
// folders dropped from a file manager.
#include "app/commandline.h"
#include "browser/filebrowser.h"
#include "windowfixture.h"

#include <QMimeData>
#include <QTreeView>
#include <QUrl>
#include <filesystem>

using namespace testing_support;

namespace {

TEST(CommandLineTest, ActionsAndPaths) {
    using A = CommandLine::Action;
    const struct {
        QStringList arguments;
        A action;
        QStringList paths;
    } cases[] = {
        {{}, A::Run, {}},
        {{"a.mp3", "music"}, A::Run, {"a.mp3", "music"}},
        {{"a.mp3", "--help"}, A::Help, {}},
        {{"--version", "--help"}, A::Version, {}},
        {{"--bogus", "--help"}, A::Help, {}},
        {{"--bogus", "a.mp3"}, A::Usage, {"a.mp3"}},
        {{"-", "--", "--help", "-x"}, A::Run, {"-", "--help", "-x"}},
    };
    for (const auto& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action) << c.arguments.join(' ').toStdString();
        if (c.action == A::Run || c.action == A::Usage) {
            EXPECT_EQ(line.paths, c.paths);
        }
    }
}

class OpenFiles : public WindowFixture {
protected:
    // music/ holds three MP3 files (the extension in any case), a text file, a
    // hidden MP3 file and a subfolder with one of its own.
    QString music;
    QString single;

    void SetUp() override {
        WindowFixture::SetUp();
        const std::string root = dir.path() + "music/";
        std::filesystem::create_directories(root + "sub");
        for (const char* name :
             {"b.mp3", "A.MP3", "c.mp3", "notes.txt", ".hidden.mp3", "sub/d.mp3"})
            writeFile(root + name, audio());
        writeFile(dir.file("single.mp3"), audio());
        music = QString::fromStdString(root);
        single = QString::fromStdString(dir.file("single.mp3"));
    }

    // The selection list's rows as "No. Path+File" lines, readable in a failure.
    std::string rows() const {
        QStringList out;
        for (int r = 0; r < selectionList()->rowCount(); ++r)
            out << cell(r, 0) + ' ' + cell(r, 2) + cell(r, 1);
        return out.join('\n').toStdString();
    }
    // What rows() gives for these paths in this order.
    static std::string numbered(QStringList paths) {
        for (int r = 0; r < paths.size(); ++r)
            paths[r].prepend(QString::number(r + 1) + ' ');
        return paths.join('\n').toStdString();
    }
    FileBrowser* browser() const { return form->selectionPage()->browser(); }

    // A drop from a file manager onto a view, offering the given actions.
    bool drop(QAbstractItemView* view, const QStringList& paths,
              Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        const QPoint at = view->viewport()->rect().center();
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &dropped);
        EXPECT_NE(dropped.dropAction(), Qt::MoveAction);
        return dropped.isAccepted();
    }
};

TEST_F(OpenFiles, NamesGoIntoTheListInTheirOrderAndOneWarningListsTheRest) {
    const QString missing = QString::fromStdString(dir.file("missing.mp3"));
    form->selectionPage()->openPaths({single, music, missing, music + "notes.txt"});
    EXPECT_EQ(rows(), numbered({single, music + "A.MP3", music + "b.mp3", music + "c.mp3"}));
    EXPECT_EQ(browser()->currentFolder(), QString::fromStdString(dir.path()).chopped(1));
    EXPECT_EQ(dialogs.messages,
              Boxes({{"These are not MP3 files or do not exist, and were skipped:\n" + missing +
                          '\n' + music + "notes.txt",
                      "Warning", Icon::Warning}}));

    // A folder first: the file view shows that folder; nothing skipped, no warning.
    form->selectionPage()->BitBtn30Click();
    form->selectionPage()->openPaths({music + "sub", single});
    EXPECT_EQ(rows(), numbered({music + "sub/d.mp3", single}));
    EXPECT_EQ(browser()->currentFolder(), music + "sub");
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(OpenFiles, DropsAddToTheListOrMoveTheFileViewAndNeverMoveAFile) {
    QAbstractItemView* list = selectionView();
    const QString before = browser()->currentFolder();
    EXPECT_TRUE(drop(list, {music, single}));
    EXPECT_EQ(rows(), numbered({music + "A.MP3", music + "b.mp3", music + "c.mp3", single}));
    EXPECT_EQ(browser()->currentFolder(), before); // as "Add to list": the view stays
    EXPECT_TRUE(dialogs.messages.empty());

    // A drag that could only move the files is refused, so the source keeps them.
    EXPECT_FALSE(drop(list, {single}, Qt::MoveAction));
    EXPECT_EQ(selectionList()->rowCount(), 4);

    EXPECT_TRUE(drop(browser()->fileView(), {music + "sub"}));
    EXPECT_EQ(browser()->currentFolder(), music + "sub");
    EXPECT_TRUE(drop(browser()->fileView(), {single}));
    EXPECT_EQ(browser()->currentFolder(), QString::fromStdString(dir.path()).chopped(1));
    EXPECT_EQ(selectionList()->rowCount(), 4);
}

TEST_F(OpenFiles, AFolderDroppedGivesTheRowsAddToListGivesForItsFiles) {
    const std::string mixed = dir.path() + "mixed/";
    std::filesystem::create_directories(mixed);
    for (const char* name : {"10 x.mp3", "9 y.MP3", "B.mp3", "a.mp3", "_z.mp3"})
        writeFile(mixed + name, audio());
    EXPECT_TRUE(drop(selectionView(), {QString::fromStdString(mixed)}));
    const std::string dropped = rows();
    QStringList names;
    for (int r = 0; r < selectionList()->rowCount(); ++r)
        names << selectionList()->file(r);
    form->selectionPage()->BitBtn30Click();

    browser()->setFolder(QString::fromStdString(mixed));
    QTreeView* view = browser()->fileView();
    const auto shown = [view] {
        QStringList out;
        for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
            out << view->model()->index(r, 0, view->rootIndex()).data().toString();
        return out;
    };
    // The view sorts its rows a moment after it has listed them.
    QTRY_COMPARE(shown(), names);
    view->selectAll();
    click("BitBtn1");
    EXPECT_EQ(rows(), dropped);
}

} // namespace
