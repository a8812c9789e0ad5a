// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "io/copyfile.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "io/replacement.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <vector>

namespace io {

namespace {

bool sameFile(const File& open, const std::string& path) {
    struct stat a {
    }, b{};
    if (::fstat(open.fd(), &a) != 0 || ::stat(path.c_str(), &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

uint64_t copyFile(const std::string& source, const std::string& target) {
    File in(source, File::Mode::Read);
    const uint64_t size = in.size();
    // Truncating the target would empty the source too.
    if (sameFile(in, target)) return size;
    // A file that is there must be one the user may write: replacing it by a
    // rename would get round its read-only bit.
    try {
        File(target, File::Mode::ReadWrite);
    } catch (const IoError& e) {
        if (e.code() != ENOENT) throw;
    }
    // The copy goes to a new file that takes the target's place only when it
    // is complete: a full disk or a failed read leaves no part of a copy, and
    // a file that was there stays as it was.
    ReplacementFile out(target);
    std::vector<char> block(static_cast<size_t>(std::min<uint64_t>(size, CopyBlock)));
    uint64_t done = 0;
    while (done < size) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(CopyBlock, size - done));
        in.readExactAt(block.data(), n, done);
        out.file().writeAt(block.data(), n, done);
        done += n;
    }
    in.close();
    out.commit();
    return done;
}

} // namespace io
