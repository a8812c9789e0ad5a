// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"

#include <string>

namespace io {

// A new version of a file, written beside it under a unique temporary name and
// put in its place with one atomic rename. Until commit() the original is not
// touched; if the replacement is abandoned (an error, an early return) the
// temporary file is removed, so a failure leaves the original exactly as it
// was and nothing beside it. A crash leaves at worst a hidden temporary file,
// never a lost original.
//
// The temporary name holds the process's number, so that the leftovers of a
// process that is gone can be told from a replacement under way.
class ReplacementFile {
public:
    // Creates the temporary file in the folder of target (of the file a symbolic
    // link points to, so the link survives). It is always a new file: an
    // existing name is never opened or truncated.
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    File& file() { return m_file; }
    const std::string& tempPath() const { return m_tempPath; }
    const std::string& targetPath() const { return m_target; }

    // Flushes the new content to the disk, gives it the original's owner and
    // permission bits (or, for a new file, the mode a new file of the user's
    // gets), and renames it over the original. The flush comes first
    // so that no crash can leave the name on a file whose data never reached
    // the disk; the rename itself is as durable as any other (the folder is not
    // flushed): after a crash the name holds the old file or the new one.
    void commit();

private:
    std::string m_target;
    std::string m_tempPath;
    File m_file;
    bool m_committed = false;
};

// Removes the temporary files that replacements of target made by processes
// that are gone (killed in the middle) left beside it; returns how many.
size_t removeStaleReplacements(const std::string& target);

} // namespace io
