// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "services/tempfolder.h"

#include "services/programfolder.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
const QString LockName = QStringLiteral(".lock");

enum class Claim { Held, Taken, Failed };

// A lock lives as long as its open file description: a claim that holds
// keeps its descriptor unless asked for it back, and the kernel lets the
// lock go when the process ends, however it ends.
Claim claim(const QString& folder, int* descriptor = nullptr) {
    const int fd = ::open(QFile::encodeName(folder + LockName).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Claim::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        if (descriptor) *descriptor = fd;
        return Claim::Held;
    }
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? Claim::Taken : Claim::Failed;
}

// Only what the program puts there goes: the pictures and the lock.
void removePrivateFolder(const QString& folder) {
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
    QDir().rmdir(folder);
}

bool isPrivateName(const QString& name) {
    bool number = false;
    name.toUInt(&number);
    return number;
}

// A private folder whose lock can be taken belongs to no running program.
void removeLeftovers(const QString& shared) {
    const QStringList names = QDir(shared).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!isPrivateName(name)) continue;
        const QString folder = shared + name + QLatin1Char('/');
        int fd = -1;
        if (claim(folder, &fd) != Claim::Held) continue;
        removePrivateFolder(folder);
        ::close(fd);
    }
}

QString claimFor(const QString& programFolder) {
    const QString shared = programFolder + QStringLiteral("Temp/");
    QDir().mkpath(shared);
    // A folder the lock cannot be made in is used as it is: its errors show
    // later, as those of whatever needs it.
    const Claim held = claim(shared);
    removeLeftovers(shared);
    if (held != Claim::Taken) return shared;
    const QString own = shared + QString::number(::getpid()) + QLatin1Char('/');
    QDir().mkpath(own);
    return claim(own) == Claim::Held ? own : shared;
}

QHash<QString, QString>& claimed() {
    static QHash<QString, QString> folders; // program folder -> this process's
    return folders;
}
} // namespace

QString tempFolder() {
    const QString program = programFolder();
    auto found = claimed().constFind(program);
    if (found != claimed().cend()) return *found;
    return claimed()[program] = claimFor(program);
}

void leaveTempFolder(const QString& folder) {
    const QString shared = programFolder() + QStringLiteral("Temp/");
    if (folder == shared) return;
    removePrivateFolder(folder);
    claimed().remove(programFolder());
}
