#include "app/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

namespace {
QString& overridden() {
    static QString folder;
    return folder;
}

QString withSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

// Asked with the effective rights: the ones the program's writes will have.
bool writable(const QString& folder) {
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK, AT_EACCESS) == 0;
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
    if (!installed(executableFolder) && writable(executableFolder))
        return withSlash(executableFolder);
    return withSlash(userDataFolder);
}

QString programFolder() {
    if (!overridden().isEmpty()) return overridden();
    static const QString folder = [] {
        const QString chosen =
            chooseProgramFolder(QCoreApplication::applicationDirPath(),
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
