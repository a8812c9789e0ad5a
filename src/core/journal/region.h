// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "journal/action.h"
#include "journal/blobkeys.h"

#include <cstdint>
#include <span>
#include <vector>

// A tag region as the journal keeps it: cut into pieces (large frames as
// blobs, the padding as a count, the rest as bytes), hashed as a whole and
// block by block.
namespace journal {

// Frames at least this long are kept as blobs, once per action: the cover of
// an album is the same frame in every file of it.
inline constexpr uint64_t BlobMinimum = 4096;

// Splits a tag region into the pieces the journal keeps: large frames of an
// ID3v2 tag as blobs (their key is filled in), the zero bytes that end the
// region as a run, the rest as literals (at is the offset in region). Any
// split gives back the same bytes; the frames only decide where to cut.
std::vector<Piece> splitRegion(std::span<const uint8_t> region, BlobKeys& keys);

// The hash of a tag region, over its pieces (a blob by its key): the same
// bytes give the same digest, and a large frame met before costs a comparison.
uint64_t regionDigest(std::span<const uint8_t> region, BlobKeys& keys);

// The blocks of a region written in place over oldRegion (of the same
// length), as Change::newBlocks keeps them. known holds the hashes of
// newRegion's blocks worked out before (0: not yet), and takes the new ones.
std::vector<uint32_t> newBlocks(std::span<const uint8_t> oldRegion,
                                std::span<const uint8_t> newRegion, std::vector<uint32_t>& known);
// The hash of one block as newBlocks() gives it (never 0).
uint32_t blockHash(std::span<const uint8_t> block);

} // namespace journal
