// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/selectionpage.h"

#include "browser/filebrowser.h"
#include "browser/mp3files.h"
#include "renamer/namefields.h"
#include "services/userdialogs.h"
#include "session/albumwrite.h"
#include "session/session.h"
#include "tagfile/tagchanges.h"
#include "widgets/filedrop.h"
#include "widgets/loopprogress.h"
#include "widgets/reportview.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

SelectionPage::SelectionPage(Session& session, QWidget* parent)
    : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("TabSheet3"));
    setAccessibleName(tr("File selection"));
    m_browser = new FileBrowser(this);
    keepAccessibleRowsConsistent(m_browser->folderTree());
    keepAccessibleRowsConsistent(m_browser->fileView());
    connect(m_browser, &FileBrowser::fileModelChanged, this,
            [this] { keepAccessibleRowsConsistent(m_browser->fileView()); });

    auto* add = new QPushButton(QStringLiteral("Add to list"), this);
    add->setObjectName(QStringLiteral("BitBtn1"));
    auto* remove = new QPushButton(QStringLiteral("Remove form list"), this);
    remove->setObjectName(QStringLiteral("BitBtn2"));
    auto* removeAll = new QPushButton(QStringLiteral("Remove all from list"), this);
    removeAll->setObjectName(QStringLiteral("BitBtn30"));

    ListView1 = new QTreeView(this);
    ListView1->setModel(&session.selection);
    // The selection is the list's own, so that whoever reads it agrees with
    // the view.
    QItemSelectionModel* own = ListView1->selectionModel();
    ListView1->setSelectionModel(session.selection.selectionModel());
    delete own;
    makeReport(ListView1, QStringLiteral("ListView1"), QStringLiteral("Selection List"),
               {30, 320, 200});
    auto* label = new QLabel(QStringLiteral("Selection List:"), this);
    label->setObjectName(QStringLiteral("Label2"));
    label->setBuddy(ListView1);

    NumberTracksButton = new QPushButton(tr("Number tracks"), this);
    NumberTracksButton->setObjectName(QStringLiteral("NumberTracksButton"));
    NumberTracksButton->setToolTip(tr("Give the files of the selection list the track numbers "
                                      "1 to n in the list's order; each keeps all else"));
    NumberOfTotalBox = new QCheckBox(tr("As 1/n"), this);
    NumberOfTotalBox->setObjectName(QStringLiteral("NumberOfTotalBox"));
    NumberOfTotalBox->setToolTip(tr("Track numbers with the number of tracks: 1/12 to 12/12"));
    NumberOfTotalBox->setAccessibleName(tr("Track numbers as 1/n"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(removeAll);
    buttons->addStretch();
    buttons->addWidget(NumberTracksButton);
    buttons->addWidget(NumberOfTotalBox);

    NumberProgressRow = new QWidget(this);
    NumberProgress =
        makeLoopBar(NumberProgressRow, QStringLiteral("NumberProgress"), tr("Numbering progress"));
    NumberCounter = makeLoopCounter(NumberProgressRow, QStringLiteral("NumberCounter"));
    auto* stop = new QPushButton(tr("Stop"), NumberProgressRow);
    stop->setObjectName(QStringLiteral("NumberStopButton"));
    stop->setToolTip(tr("Stop numbering after the file in hand (Esc)"));
    stop->hide();
    auto* progress = new QHBoxLayout(NumberProgressRow);
    progress->setContentsMargins(0, 0, 0, 0);
    progress->addWidget(NumberProgress, 1);
    auto* done = new QLabel(QStringLiteral("Done:"), NumberProgressRow);
    done->setBuddy(NumberProgress);
    progress->addWidget(done);
    progress->addWidget(NumberCounter);
    progress->addWidget(stop);
    NumberProgressRow->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_browser, 5);
    layout->addLayout(buttons);
    layout->addWidget(label);
    layout->addWidget(ListView1, 4);
    layout->addWidget(NumberProgressRow);

    connect(add, &QPushButton::clicked, this, &SelectionPage::BitBtn1Click);
    connect(remove, &QPushButton::clicked, this, &SelectionPage::BitBtn2Click);
    connect(removeAll, &QPushButton::clicked, this, &SelectionPage::BitBtn30Click);
    connect(NumberTracksButton, &QPushButton::clicked, this, &SelectionPage::NumberTracksClick);
    connect(stop, &QPushButton::clicked, this, [this] { m_session.run.requestStop(); });
    session.reportSelections(ListView1);
    // A run walks the list row by row: it keeps its rows until the run ends.
    connect(&session.run, &LoopRun::activeChanged, this,
            [this, add, remove, removeAll, stop](bool running) {
                for (QPushButton* b : {add, remove, removeAll, NumberTracksButton})
                    b->setEnabled(!running);
                stop->setVisible(running);
            });

    // Files dragged from a file manager: onto the selection list they are added
    // as "Add to list" adds; onto the file view they open their folder.
    connect(new FileDrop(ListView1->viewport()), &FileDrop::dropped, this,
            &SelectionPage::addPaths);
    connect(new FileDrop(m_browser->fileView()->viewport()), &FileDrop::dropped, this,
            [this](const QStringList& paths) {
                const QFileInfo first(paths.first());
                m_browser->setFolder(first.isDir() ? first.absoluteFilePath()
                                                   : first.absolutePath());
            });
}

QString SelectionPage::addPaths(const QStringList& paths) {
    // A run keeps the list's rows until it ends, dropped files included.
    if (m_session.run.active()) return {};
    const Mp3Files found = mp3FilesOf(paths);
    QList<SelectionList::Row> rows;
    for (const Mp3Files::File& file : found.files)
        rows.append({file.name, file.folder});
    m_session.selection.append(rows);
    if (!found.skipped.isEmpty())
        m_session.dialogs().message(
            this,
            QStringLiteral("These are not MP3 files or do not exist, and were skipped:\n") +
                found.skipped.join(QLatin1Char('\n')),
            QStringLiteral("Warning"), UserDialogs::Icon::Warning);
    return found.folder;
}

void SelectionPage::openPaths(const QStringList& paths) {
    const QString folder = addPaths(paths);
    if (!folder.isEmpty()) m_browser->setFolder(folder);
}

QString SelectionPage::makerealpath(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void SelectionPage::BitBtn1Click() {
    const QString folder = makerealpath(m_browser->currentFolder());
    QList<SelectionList::Row> rows;
    for (const QString& name : m_browser->selectedNames())
        rows.append({name, folder});
    m_session.selection.append(rows);
}

void SelectionPage::BitBtn2Click() {
    m_session.selection.remove(m_session.selection.selectedRow());
}

void SelectionPage::BitBtn30Click() {
    m_session.selection.clear();
}

void SelectionPage::NumberTracksClick() {
    guarded(m_session.dialogs(), this, [&] {
        const int n = m_session.selection.rowCount();
        if (m_session.run.active() || n == 0) return;
        const std::vector<std::string> numbers =
            renamer::trackNumbers(size_t(n), NumberOfTotalBox->isChecked());
        if (!m_session.dialogs().question(
                this,
                tr("Do you want to number the tracks of the %n files of the selection list, "
                   "%1 to %2 in the list's order?",
                   "", n)
                    .arg(QString::fromStdString(numbers.front()),
                         QString::fromStdString(numbers.back())),
                QStringLiteral("Caution")))
            return;
        std::vector<tagfile::TagChanges> changes(numbers.size());
        std::vector<AlbumWrite::Target> targets;
        for (int row = 0; row < n; ++row) {
            changes[size_t(row)].setText(tag::Prop::TrackNum, numbers[size_t(row)]);
            targets.push_back({m_session.selection.path(row), &changes[size_t(row)]});
        }
        NumberProgressRow->show();
        AlbumWrite(m_session, this).run(targets, NumberProgress, NumberCounter);
    });
}
