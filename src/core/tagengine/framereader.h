// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagbytes.h"

// The walk the three readers share: every frame of the tag goes into the
// record, into the frames a write keeps, or into the list of those it cannot.
namespace tag {
void walkFrames(ReadContext& ctx);
} // namespace tag
