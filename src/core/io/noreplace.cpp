// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "io/noreplace.h"

#include "io/file.h"
#include "io/ioerror.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool noHardLinks(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == ENOSYS;
}

} // namespace

void renameNoReplace(const std::string& from, const std::string& to) {
    if (from == to) {
        // Nothing to do, but a file that is gone still fails as a rename would.
        struct stat st {};
        if (::lstat(from.c_str(), &st) != 0) throwErrno();
        return;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
    const int err = errno;
    if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP) return renameByLink(from, to);
    // On a file system that ignores letter case, "a.mp3" to "A.mp3" finds the
    // file itself as the target; a plain rename only changes the spelling.
    if (err == EEXIST && sameFile(from, to)) {
        if (::rename(from.c_str(), to.c_str()) != 0) throwErrno();
        return;
    }
    throw IoError(err);
}

void renameByLink(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) != 0) {
            const int err = errno;
            ::unlink(to.c_str());
            throw IoError(err);
        }
        return;
    }
    const int err = errno;
    if (!noHardLinks(err)) throw IoError(err);
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) throw IoError(EEXIST);
    if (errno != ENOENT) throwErrno();
    if (::rename(from.c_str(), to.c_str()) != 0) throwErrno();
}

} // namespace io
