// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "io/file.h"

#include "io/ioerror.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace io {

void throwErrno() {
    throw IoError(errno);
}

static int flagsFor(File::Mode mode) {
    switch (mode) {
    case File::Mode::Read:
        return O_RDONLY;
    case File::Mode::ReadWrite:
        return O_RDWR;
    case File::Mode::CreateTruncate:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case File::Mode::CreateNew:
        return O_RDWR | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

File::File(const std::string& path, Mode mode, unsigned permissions, int extraFlags)
    : m_path(path) {
    do {
        m_fd = ::open(path.c_str(), flagsFor(mode) | O_CLOEXEC | extraFlags, permissions);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) throwErrno();
}

File::~File() {
    if (m_fd >= 0) ::close(m_fd);
}

File::File(File&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

uint64_t File::size() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) throwErrno();
    return static_cast<uint64_t>(st.st_size);
}

size_t File::readAt(void* buffer, size_t n, uint64_t offset) const {
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < n) {
        ssize_t got = ::pread(m_fd, out + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            throwErrno();
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

void File::readExactAt(void* buffer, size_t n, uint64_t offset) const {
    if (readAt(buffer, n, offset) != n) throw IoError(IoError::ShortRead);
}

void File::writeAt(const void* buffer, size_t n, uint64_t offset) {
    const auto* in = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < n) {
        ssize_t put = ::pwrite(m_fd, in + done, n - done, static_cast<off_t>(offset + done));
        if (put < 0) {
            if (errno == EINTR) continue;
            throwErrno();
        }
        if (put == 0) throw IoError(ENOSPC);
        done += static_cast<size_t>(put);
    }
}

void File::appendAt(const void* buffer, size_t n, uint64_t length) {
    try {
        writeAt(buffer, n, length);
    } catch (const IoError&) {
        try {
            truncate(length);
        } catch (const IoError&) {
        }
        throw;
    }
}

void File::sync() {
    if (::fsync(m_fd) != 0) throwErrno();
}

void File::datasync() {
    if (::fdatasync(m_fd) != 0) throwErrno();
}

void File::truncate(uint64_t length) {
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0) throwErrno();
}

void File::close() {
    if (m_fd < 0) return;
    int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0 && errno != EINTR) throwErrno();
}

static void copyByBlocks(const File& from, uint64_t fromOffset, File& to, uint64_t toOffset,
                         uint64_t length) {
    constexpr size_t Block = 0x80000;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(Block, length)));
    for (uint64_t done = 0; done < length;) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(buffer.size(), length - done));
        from.readExactAt(buffer.data(), chunk, fromOffset + done);
        to.writeAt(buffer.data(), chunk, toOffset + done);
        done += chunk;
    }
}

void copyRange(const File& from, uint64_t fromOffset, File& to, uint64_t toOffset, uint64_t length,
               CopyMethod method) {
    uint64_t done = 0;
    while (method == CopyMethod::Kernel && done < length) {
        auto in = static_cast<loff_t>(fromOffset + done);
        auto out = static_cast<loff_t>(toOffset + done);
        // One call moves at most about 2 GiB; the loop takes the rest.
        const size_t ask = static_cast<size_t>(std::min<uint64_t>(length - done, 1u << 30));
        const ssize_t moved = ::copy_file_range(from.fd(), &in, to.fd(), &out, ask, 0);
        if (moved > 0) {
            done += static_cast<uint64_t>(moved);
            continue;
        }
        if (moved < 0 && errno == EINTR) continue;
        // File systems and kernels without the call (or without it between these
        // two files) say so with one of these; a 0 before the end can also mean
        // a file system that cannot tell. The block copy below decides then.
        if (moved == 0 || errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
            errno == EOPNOTSUPP)
            break;
        throwErrno();
    }
    copyByBlocks(from, fromOffset + done, to, toOffset + done, length - done);
}

void removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) throwErrno();
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

uint64_t fileLength(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throwErrno();
    return static_cast<uint64_t>(st.st_size);
}

void makeFolders(const std::string& path) {
    // Usually the folder exists already: one call then.
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return;
    if (errno != ENOENT) throwErrno();
    std::string partial;
    partial.reserve(path.size());
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == '/' && i > 0)) {
            if (!partial.empty() && ::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
                throwErrno();
        }
        if (i < path.size()) partial += path[i];
    }
}

} // namespace io
