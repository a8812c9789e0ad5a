// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "browser/filebrowser.h"

#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

FileBrowser::FileBrowser(QWidget* parent) : QWidget(parent) {
    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folderModel->setRootPath(QDir::rootPath());

    m_folders = new QTreeView(this);
    m_folders->setObjectName(QStringLiteral("FolderTree"));
    m_folders->setAccessibleName(tr("Folders"));
    m_folders->setModel(m_folderModel);
    m_folders->setHeaderHidden(true);
    for (int c = 1; c < m_folderModel->columnCount(); ++c)
        m_folders->hideColumn(c);
    m_folders->setRootIndex(m_folderModel->index(QDir::rootPath()));
    m_folders->setSortingEnabled(true);
    m_folders->sortByColumn(0, Qt::AscendingOrder);

    // A one-column tree without header: a plain list view over this model is
    // reported wrongly to assistive technology.
    m_files = new QTreeView(this);
    m_files->setObjectName(QStringLiteral("FileListBox1"));
    m_files->setAccessibleName(tr("MP3 files"));
    m_files->setHeaderHidden(true);
    m_files->setRootIsDecorated(false);
    m_files->setItemsExpandable(false);
    m_files->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_files->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_files->setSortingEnabled(true);

    // The two starting points of the tree, and listing the folder again (F5).
    auto* home = new QToolButton(this);
    home->setObjectName(QStringLiteral("HomeButton"));
    home->setText(tr("Home"));
    home->setToolTip(tr("Your home folder"));
    home->setAccessibleName(tr("Home folder"));
    auto* root = new QToolButton(this);
    root->setObjectName(QStringLiteral("RootButton"));
    root->setText(tr("File system"));
    root->setToolTip(tr("The root of the file system"));
    root->setAccessibleName(tr("File system root"));
    auto* reread = new QToolButton(this);
    reread->setObjectName(QStringLiteral("RefreshButton"));
    reread->setText(tr("Refresh"));
    reread->setToolTip(tr("List the folder again (F5)"));
    reread->setShortcut(QKeySequence(Qt::Key_F5));
    connect(home, &QToolButton::clicked, this, [this] { setFolder(QDir::homePath()); });
    connect(root, &QToolButton::clicked, this, [this] { setFolder(QDir::rootPath()); });
    connect(reread, &QToolButton::clicked, this, &FileBrowser::refresh);

    auto* places = new QHBoxLayout;
    places->setSpacing(2);
    places->addWidget(home);
    places->addWidget(root);
    places->addStretch();
    places->addWidget(reread);
    auto* views = new QHBoxLayout;
    views->setSpacing(4);
    views->addWidget(m_folders, 1);
    views->addWidget(m_files, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(places);
    layout->addLayout(views, 1);

    // The tree fills and sorts itself asynchronously, and folders come and go
    // above the chosen one: it is shown again whenever its ancestors are
    // listed, sorted or change, and when the tree's size changes, until the
    // user scrolls the tree.
    auto again = [this] {
        if (!m_revealed || !m_userMoved) revealFolder();
    };
    connect(m_folderModel, &QFileSystemModel::directoryLoaded, this,
            [this, again](const QString& loaded) {
                if (m_folder.startsWith(loaded)) again();
            });
    connect(m_folderModel, &QFileSystemModel::layoutChanged, this, again);
    // Rows come and go in an ancestor: the chosen folder moves.
    auto changedAbove = [this, again](const QModelIndex& parent) {
        const QString above = m_folderModel->filePath(parent);
        if (above.isEmpty() || above == QDir::rootPath() || m_folder == above ||
            m_folder.startsWith(above + QLatin1Char('/')))
            again();
    };
    connect(m_folderModel, &QFileSystemModel::rowsInserted, this, changedAbove);
    connect(m_folderModel, &QFileSystemModel::rowsRemoved, this, changedAbove);
    connect(m_folders->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { m_userMoved = true; });
    for (auto signal : {&QTreeView::expanded, &QTreeView::collapsed})
        connect(m_folders, signal, this, [this] {
            if (!m_revealing) m_userMoved = true;
        });
    m_folders->viewport()->installEventFilter(this);
    connect(m_folders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && !m_revealing) setFolder(m_folderModel->filePath(current));
            });
    setFolder(QDir::homePath());
}

void FileBrowser::setFolder(const QString& folder) {
    const QString path = QDir::cleanPath(folder);
    if (path == m_folder && m_fileModel) {
        // Chosen again (Home, say): at least bring it back into view.
        revealFolder();
        return;
    }
    m_folder = path;
    m_revealed = false;
    m_userMoved = false;
    revealFolder();
    showFolderFiles(path);
    emit folderChanged(path);
}

void FileBrowser::revealFolder() {
    const QModelIndex index = m_folderModel->index(m_folder);
    if (!index.isValid()) return;
    m_revealing = true;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        m_folders->expand(parent);
    if (m_folders->currentIndex() != index) m_folders->setCurrentIndex(index);
    m_revealing = false;
    m_folders->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_revealed = m_folders->isVisible() &&
                 m_folders->viewport()->rect().contains(m_folders->visualRect(index));
}

void FileBrowser::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only a view with its size can scroll a row into the middle.
    if (!m_revealed) QTimer::singleShot(0, this, &FileBrowser::revealFolder);
}

bool FileBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && !m_userMoved) revealFolder();
    return QWidget::eventFilter(watched, event);
}

void FileBrowser::showFolderFiles(const QString& folder) {
    // A fresh model lists the folder anew; the old one goes with its cache.
    auto* model = new QFileSystemModel(this);
    model->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    model->setNameFilters({QStringLiteral("*.mp3")}); // matched without regard to case
    model->setNameFilterDisables(false);
    connect(model, &QFileSystemModel::directoryLoaded, this, [this, model] {
        if (model == m_fileModel) emit filesLoaded();
    });
    QFileSystemModel* old = m_fileModel;
    m_fileModel = model;
    m_files->setModel(model);
    for (int c = 1; c < model->columnCount(); ++c)
        m_files->hideColumn(c);
    m_files->setRootIndex(model->setRootPath(folder));
    m_files->sortByColumn(0, Qt::AscendingOrder);
    if (old) old->deleteLater();
    emit fileModelChanged();
}

QStringList FileBrowser::selectedNames() const {
    QStringList names;
    if (!m_fileModel) return names;
    const QModelIndex root = m_files->rootIndex();
    QItemSelectionModel* selection = m_files->selectionModel();
    const int rows = m_fileModel->rowCount(root);
    // The model's rows are in the order the view shows them (sorted by name).
    for (int r = 0; r < rows; ++r) {
        const QModelIndex index = m_fileModel->index(r, 0, root);
        if (selection->isSelected(index)) names << m_fileModel->fileName(index);
    }
    return names;
}

void FileBrowser::refresh() {
    showFolderFiles(m_folder);
}
