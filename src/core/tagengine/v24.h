// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagbytes.h"
#include "tagengine/v24pictures.h"

// The ID3v2.4 reader; the picture names and extraction it shares with the
// other readers are in v24pictures.h.
namespace v24 {

void ReadV24Frames(tag::ReadContext& ctx);

} // namespace v24
