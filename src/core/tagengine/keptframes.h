// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagdata.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace io {
class File;
}

// The frames of a tag that the model does not hold, which a write carries over
// unchanged: ratings, identifiers, private data and whatever else other
// programs put there. Only ID3v2.3 and ID3v2.4 frames are kept; ID3v2.2
// frames have no ID3v2.4 form.
namespace kept {

// Whether the model holds frames of this ID in a tag of this version: the 44
// text and URL frames the writer writes and the six list frames, and in an
// ID3v2.3 tag also those whose values the model takes over (TORY, TRDA, TYER,
// TDAT, TIME) and those without an ID3v2.4 form (TSIZ, RVAD, EQUA, IPLS).
bool held(tag::TagVersion version, std::string_view id);

// The frame as kept, or nothing when a write drops it: an ID the model holds,
// an ID that is not four of A-Z and 0-9, an ID3v2.4 frame marked to be
// discarded when the tag is altered, an ID3v2.3 frame so marked or
// compressed, encrypted or grouped. rawHeader is the 10-byte frame header.
std::optional<KeptFrame> keep(tag::TagVersion version, const uint8_t* rawHeader, uint64_t data,
                              uint32_t size);

// The frames a write into file keeps from the tag at its start, in the order
// they stand, found by the walk the readers make (it ends at an all-zero ID,
// or at a frame that reaches past the tag's end). The tag's header is read
// again, so what counts is the file as it is now; regionEnd (10 + the size
// of the tag the write replaces) bounds the walk, and lies within the file.
// Reads frame headers only.
std::vector<KeptFrame> scan(const io::File& file, uint64_t regionEnd);

} // namespace kept
