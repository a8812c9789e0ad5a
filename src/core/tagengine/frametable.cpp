// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/frametable.h"

namespace tag {

std::optional<Prop> propByName(std::string_view name) {
    for (const PropInfo& p : PropTable)
        if (p.name == name) return p.prop;
    return std::nullopt;
}

} // namespace tag
