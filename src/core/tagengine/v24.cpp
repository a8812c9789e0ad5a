// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/v24.h"

#include "tagengine/framereader.h"
#include "tagengine/syncsafe.h"

namespace v24 {

void ReadV24Frames(tag::ReadContext& ctx) {
    static constexpr tag::Dialect dialect{
        tag::TagVersion::V24, 4, 10, syncsafe::decode, 0xC0, 0xC0, {}};
    tag::walkFrames(ctx, dialect);
}

} // namespace v24
