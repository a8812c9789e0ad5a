// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace io {

// The largest block the program reads or writes at once.
inline constexpr size_t CopyBlock = 524288;

// Copies every byte of source into target in blocks of at most CopyBlock
// bytes; returns the number of bytes copied. The copy is written beside the
// target and renamed over it when complete, so a failure leaves no partial
// copy and an existing target as it was; an existing target must be writable.
// The source is only read: a picture in a read-only folder exports as well.
// A target that is the source itself already holds the bytes and is left alone.
uint64_t copyFile(const std::string& source, const std::string& target);

} // namespace io
