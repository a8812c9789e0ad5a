// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagdata.h"

#include <optional>
#include <string_view>

namespace tag {

// What a frame of a given tag version becomes in the model or in a write.
enum class FrameRole : uint8_t {
    Text,           // a text property
    Url,            // a URL property
    List,           // an entry of one of the six lists
    DatePart,       // year, date or time of the recording (ID3v2.3 and ID3v2.2)
    RecordingDates, // TRDA, TRD: free text, a time stamp only by chance
    Chapter,        // an ID3v2.3 CHAP or CTOC, whose own frames are ID3v2.3 frames
    Renamed,        // kept under its ID3v2.4 twin (an ID3v2.2 frame, IPLS)
    NoTwin,         // ID3v2.4 has no frame for it: a write cannot keep it
};

struct FrameTarget {
    FrameRole role;
    Prop prop = Prop::Album;            // Text, Url
    ListKind list = ListKind::Comments; // List
    uint8_t part = 0;                   // DatePart: 0 year, 1 date (DDMM), 2 time (HHMM)
    std::string_view twin;              // the ID3v2.4 ID a kept frame is written under
};

// What the ID stands for in a tag of this version; nothing for a frame the
// model does not hold, which a write keeps as it is (ID3v2.3, 2.4) or cannot
// keep (an ID3v2.2 frame without a known twin).
std::optional<FrameTarget> lookupFrame(TagVersion version, std::string_view id);

} // namespace tag
