// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "browser/mp3files.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
} // namespace

QStringList mp3NamesIn(const QString& folder) {
    // QDir matches name filters without regard to case, as the file view does.
    QStringList names = QDir(folder).entryList({QStringLiteral("*.mp3")}, QDir::Files);
    // The file view sorts names naturally ("2" before "10"), letter case aside.
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return names;
}

Mp3Files mp3FilesOf(const QStringList& names) {
    Mp3Files found;
    for (const QString& given : names) {
        const QFileInfo info(given);
        QString folder;
        if (info.isDir()) {
            folder = withSlash(QDir::cleanPath(info.absoluteFilePath()));
            for (const QString& name : mp3NamesIn(folder))
                found.files.append({folder, name});
        } else if (info.isFile() &&
                   info.suffix().compare(QLatin1String("mp3"), Qt::CaseInsensitive) == 0) {
            folder = withSlash(QDir::cleanPath(info.absolutePath()));
            found.files.append({folder, info.fileName()});
        } else {
            found.skipped << given;
            continue;
        }
        if (found.folder.isEmpty()) found.folder = folder;
    }
    return found;
}
