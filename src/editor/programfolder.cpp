#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& overridden() {
    static QString folder;
    return folder;
}

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

bool installed(const QString& executableFolder) {
    return QFileInfo::exists(executableFolder +
                             QStringLiteral("/../share/applications/quillet.desktop"));
}
} // namespace

void setProgramFolder(const QString& folder) {
    overridden() = withSlash(folder);
}

QString chooseProgramFolder(const QString& executableFolder, const QString& userDataFolder) {
    if (!installed(executableFolder) && QFileInfo(executableFolder).isWritable())
        return withSlash(executableFolder);
    return withSlash(userDataFolder);
}

QString programFolder() {
    if (!overridden().isEmpty()) return overridden();
    static const QString folder = [] {
        const QString chosen = chooseProgramFolder(
            QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
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
