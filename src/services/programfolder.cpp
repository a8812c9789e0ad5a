// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "services/programfolder.h"

#include "folders/programfolder.h"
#include "services/nativepath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
QString& overridden() {
    static QString folder;
    return folder;
}

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}
} // namespace

void setProgramFolder(const QString& folder) {
    overridden() = withSlash(folder);
}

// The rule is the core's, so that quillet-tag finds the same folder.
QString chooseProgramFolder(const QString& executableFolder, const QString& userDataFolder) {
    return fromNativePath(
        folders::chooseProgramFolder(nativePath(executableFolder), nativePath(userDataFolder)));
}

QString programFolder() {
    if (!overridden().isEmpty()) return overridden();
    static const QString folder = [] {
        const QString chosen = chooseProgramFolder(QCoreApplication::applicationDirPath(),
                                                   fromNativePath(folders::userDataFolder()));
        QDir().mkpath(chosen);
        return chosen;
    }();
    return folder;
}

QString homeFolder() {
    return withSlash(QDir::homePath());
}

void createProgramFolders() {
    const QString folder = programFolder();
    // A folder that cannot be made shows later, as the error of whatever
    // needs it; starting the program is not the moment to refuse.
    QDir().mkpath(folder + QStringLiteral("Temp"));
    QDir().mkpath(folder + QStringLiteral("Export Images"));
}
