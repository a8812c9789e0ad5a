// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QStringList>
#include <QWidget>

class QFileSystemModel;
class QTreeView;

// The selection page's folder tree and the view of the chosen folder's
// "*.mp3" files (the extension in any letter case), names as they are on disk.
class FileBrowser : public QWidget {
    Q_OBJECT
public:
    explicit FileBrowser(QWidget* parent = nullptr);

    QTreeView* folderTree() const { return m_folders; }
    QTreeView* fileView() const { return m_files; }

    // The folder the file view lists.
    QString currentFolder() const { return m_folder; }
    void setFolder(const QString& folder);
    // The selected file names, in the view's order.
    QStringList selectedNames() const;
    // Lists the folder again.
    void refresh();

signals:
    void folderChanged(const QString& folder);
    void filesLoaded();
    // The file view has a new model (the folder is listed anew).
    void fileModelChanged();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFolderFiles(const QString& folder);
    void revealFolder();

    QFileSystemModel* m_folderModel;
    QFileSystemModel* m_fileModel = nullptr;
    QTreeView* m_folders;
    QTreeView* m_files;
    QString m_folder;
    bool m_revealing = false;
    bool m_revealed = false; // the chosen folder has been seen in the tree's view
    // The user has scrolled, expanded or collapsed the tree since the folder
    // was chosen: it is no longer brought back into view as the tree fills.
    bool m_userMoved = false;
};
