// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagdata.h"

#include <optional>
#include <string_view>

namespace tag {

// What a frame ID of a given tag version stands for.
struct FrameTarget {
    bool isList;
    Prop prop;     // when !isList
    ListKind list; // when isList
};
std::optional<FrameTarget> lookupFrame(TagVersion version, std::string_view id);

} // namespace tag
