// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "support/testfiles.h"

#include <string>

namespace testing_support {

// The start of a shell line running quillet-tag inside a folder.
inline std::string quilletTagIn(const TempDir& dir) {
    return "cd " + shellQuote(dir.path()) + " && " + QUILLET_TAG_BIN;
}

} // namespace testing_support
