// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagbytes.h"

// The ID3v2.3 reader: plain 32-bit frame sizes, the flags and frames ID3v2.4
// changed.
namespace v23 {
void ReadV23Frames(tag::ReadContext& ctx);
} // namespace v23
