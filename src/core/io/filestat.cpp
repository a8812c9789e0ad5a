// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "io/filestat.h"

#include "io/ioerror.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace io {

namespace {

FileStat fromStat(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
            static_cast<uint64_t>(st.st_size),
            int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

} // namespace

FileStat statOf(const File& file) {
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) throwErrno();
    return fromStat(st);
}

FileStat statOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throwErrno();
    return fromStat(st);
}

FileStat linkStatOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) throwErrno();
    return fromStat(st);
}

std::optional<File> openRegular(const std::string& path, File::Mode mode, FileStat* stat) {
    File file;
    try {
        // Non-blocking, so that a pipe's open returns at once; a regular
        // file's reads and writes do not look at the flag.
        file = File(path, mode, 0666, O_NOFOLLOW | O_NONBLOCK);
    } catch (const IoError& e) {
        // A link (ELOOP), or a folder opened for writing (EISDIR).
        if (e.code() == ELOOP || e.code() == EISDIR) return std::nullopt;
        throw;
    }
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) throwErrno();
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    if (stat) *stat = fromStat(st);
    return file;
}

} // namespace io
