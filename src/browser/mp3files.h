// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The MP3 files that names of files and folders stand for, by the file view's
// rules: "*.mp3" in any letter case, hidden files left out, a folder's files in
// the view's order and none of its subfolders'.
struct Mp3Files {
    struct File {
        QString folder; // ends with "/"
        QString name;
    };
    QList<File> files;
    QStringList skipped; // names that are not MP3 files or folders, or do not exist
    QString folder;      // the folder of the first file or folder taken; empty when none
};

Mp3Files mp3FilesOf(const QStringList& names);

// A folder's MP3 file names in the order the file view shows them.
QStringList mp3NamesIn(const QString& folder);
