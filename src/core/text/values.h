// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <string>
#include <string_view>

// A text of several values (two artists, say) holds them joined by one zero
// character each, as the tag frames do. Where a user reads and types them in
// one line, they are joined by a visible separator instead: two backslashes,
// as a widespread tagger writes them and no title does.
namespace values {

inline constexpr std::string_view Separator = "\\\\";

// The values of text joined by the separator.
std::string joined(std::string_view text);
// The line split at each separator into values.
std::string split(std::string_view line);

} // namespace values
