// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <string>

namespace io {

// Renames from to to, failing with EEXIST (as io::IoError) when to exists,
// so a rename never overwrites a file. Uses renameat2(RENAME_NOREPLACE); on a
// file system without it, falls back to renameByLink. Renaming a file to the
// name it already has succeeds and changes nothing.
void renameNoReplace(const std::string& from, const std::string& to);

// The fallback: link the new name (which fails when it exists), then unlink
// the old one. Where hard links are not supported either, it checks that the
// target is free and renames; only there a concurrent creation of the same
// name by another program could still be overwritten.
void renameByLink(const std::string& from, const std::string& to);

} // namespace io
