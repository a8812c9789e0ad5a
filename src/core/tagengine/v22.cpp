// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/v22.h"

#include "tagengine/framereader.h"
#include "tagengine/syncsafe.h"

namespace v22 {

void ReadV22Frames(tag::ReadContext& ctx) {
    static constexpr tag::Dialect dialect{tag::TagVersion::V22, 3, 6, syncsafe::bigEndian24, 0, 0,
                                          {"TYE", "TDA", "TIM"}};
    tag::walkFrames(ctx, dialect);
}

} // namespace v22
