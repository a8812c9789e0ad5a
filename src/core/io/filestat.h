// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"

#include <cstdint>
#include <optional>
#include <string>

namespace io {

// A file's identity and the facts that tell whether it changed.
struct FileStat {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t mtime = 0; // nanoseconds since the epoch
    bool operator==(const FileStat&) const = default;
    bool sameFile(const FileStat& other) const {
        return device == other.device && inode == other.inode;
    }
};

FileStat statOf(const File& file);
FileStat statOf(const std::string& path);
// The name itself, a symbolic link not followed (what a rename moves).
FileStat linkStatOf(const std::string& path);

// Opens path only when the name is a regular file itself: for a symbolic
// link, a folder, a pipe or a device it gives nothing, and the open neither
// follows the link nor waits for a pipe's other end. stat, when given,
// receives the file's facts.
std::optional<File> openRegular(const std::string& path, File::Mode mode, FileStat* stat = nullptr);

} // namespace io
