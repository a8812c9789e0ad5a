// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QWidget>

class FileBrowser;
class QTreeView;
class Session;

// Page 0: the folder tree and file view, and the session's selection list of
// files to edit, rename or tag all at once.
class SelectionPage : public QWidget {
    Q_OBJECT
public:
    SelectionPage(Session& session, QWidget* parent);

    QTreeView* ListView1; // shows the session's selection list
    FileBrowser* browser() const { return m_browser; }

    // A folder path with exactly one trailing separator.
    static QString makerealpath(const QString& folder);

    // Files and folders handed over by the desktop: their MP3 files are
    // appended in the order given (a folder's own, not its subfolders'), and one
    // warning lists the names skipped. Returns the folder of the first taken.
    QString addPaths(const QStringList& paths);
    // The same, and the file view shows the folder of the first of them.
    void openPaths(const QStringList& paths);

public slots:
    void BitBtn1Click();  // Add to list
    void BitBtn2Click();  // Remove form list
    void BitBtn30Click(); // Remove all from list

private:
    Session& m_session;
    FileBrowser* m_browser;
};
