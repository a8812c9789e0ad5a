// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/v23.h"

#include "tagengine/framereader.h"

namespace v23 {

void ReadV23Frames(tag::ReadContext& ctx) {
    tag::walkFrames(ctx);
}

} // namespace v23
