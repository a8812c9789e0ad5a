// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagbytes.h"

// The ID3v2.2 reader: three-letter IDs, 24-bit sizes, no frame flags; the
// frames with an ID3v2.4 twin become it.
namespace v22 {
void ReadV22Frames(tag::ReadContext& ctx);
} // namespace v22
