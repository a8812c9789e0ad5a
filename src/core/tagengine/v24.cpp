// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/v24.h"

#include "tagengine/framereader.h"

namespace v24 {

void ReadV24Frames(tag::ReadContext& ctx) {
    tag::walkFrames(ctx);
}

} // namespace v24
