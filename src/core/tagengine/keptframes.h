// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagdata.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace io {
class File;
}

// The frames of a tag that the model does not hold, which a write carries
// over: ratings, identifiers, private data and whatever else other programs
// put there, the older versions' frames under their ID3v2.4 IDs. What a write
// cannot keep (a frame ID3v2.4 has no form for, one that asks to be dropped
// when the tag changes) is named, so that it is never lost unasked.
namespace kept {

struct Scan {
    std::vector<KeptFrame> frames; // in the order they stand
    std::vector<std::string> dropped;
};

// What a write into file keeps from the tag at its start and what it cannot
// keep, found by the walk the readers make: a frame is kept exactly when a
// full read would not take it into the model. The tag's header is read again,
// so what counts is the file as it is now; regionEnd (the end of the region
// the write replaces) bounds the walk, and lies within the file. Reads no
// picture data. Raises io::TagError for a tag that is present but that
// Quillet cannot read.
Scan scan(const io::File& file, uint64_t regionEnd);
// The same over the region's bytes as the file holds them, read whole.
Scan scan(std::span<const uint8_t> region);

// Writes the frame (header and data) at out; fileBytes are read from file
// when they are not in the frame's store. Returns the end of what it wrote.
uint8_t* put(const KeptFrame& frame, const io::File& file, uint8_t* out);
// The same for a frame found by a scan of region's bytes.
uint8_t* put(const KeptFrame& frame, std::span<const uint8_t> region, uint8_t* out);

} // namespace kept
