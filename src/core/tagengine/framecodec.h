// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The two ways other programs store frame data that Quillet writes plain:
// unsynchronisation (a zero byte after every 0xFF, so that no MPEG frame sync
// appears inside the tag) and zlib compression.
namespace framecodec {

// Appends the n bytes at p to out with every 0xFF 0x00 turned back into 0xFF.
void undoUnsync(const uint8_t* p, size_t n, std::vector<uint8_t>& out);
// Whether the bytes hold an 0xFF 0x00 pair that undoUnsync would change.
bool hasUnsyncPair(const uint8_t* p, size_t n);

// The zlib stream at p inflated to exactly size bytes, or nullopt when it
// does not inflate, or inflates to another size. Sizes no stream of n bytes
// can reach are refused before anything is allocated.
std::optional<std::vector<uint8_t>> inflate(const uint8_t* p, size_t n, uint64_t size);

} // namespace framecodec
