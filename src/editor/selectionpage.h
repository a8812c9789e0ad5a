// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QWidget>

class FileBrowser;
class ReportView;
class Session;

// Page 0: the folder tree and file view, and the selection list of files to
// edit, rename or tag all at once.
class SelectionPage : public QWidget {
    Q_OBJECT
public:
    SelectionPage(Session& session, QWidget* parent);

    ReportView* ListView1;
    FileBrowser* browser() const { return m_browser; }

    // The row's folder followed by its file name.
    QString rowPath(int row) const;
    QString rowFile(int row) const;
    QString rowFolder(int row) const;
    void setRowFile(int row, const QString& name);
    int rowCount() const;
    void appendRow(const QString& file, const QString& folder);

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
    void renumber();

    Session& m_session;
    FileBrowser* m_browser;
};
