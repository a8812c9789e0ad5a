// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/v23.h"

#include "tagengine/framereader.h"
#include "tagengine/syncsafe.h"

namespace v23 {

void ReadV23Frames(tag::ReadContext& ctx) {
    static constexpr tag::Dialect dialect{
        tag::TagVersion::V23, 4, 10, syncsafe::bigEndian32, 0x80, 0x80, {"TYER", "TDAT", "TIME"}};
    tag::walkFrames(ctx, dialect);
}

} // namespace v23
