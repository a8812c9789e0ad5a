// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/v22.h"

#include "tagengine/framereader.h"

namespace v22 {

void ReadV22Frames(tag::ReadContext& ctx) {
    tag::walkFrames(ctx);
}

} // namespace v22
