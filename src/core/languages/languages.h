// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The three-letter language codes that ID3v2 frames carry (TLAN, COMM, USLT,
// USER) and the English names the user sees and picks in the windows.
namespace languages {

struct Language {
    std::string_view name; // UTF-8, as all text of the program ("Volapük")
    std::string_view code; // three lower-case letters
};

inline constexpr size_t LanguageCount = 427;

// In ascending code order. 25 names have two codes and three codes have two
// names; the lookups take the first row, so the order is part of the meaning.
extern const std::array<Language, LanguageCount> LanguageTable;

// The 427 names (duplicates included, in adjacent rows) in the fixed order of
// the window's language list: alphabetical, letter case ignored, hyphens
// ignored, other punctuation and spaces before digits and letters, and names
// beginning "Ch" sorted as if "Ch" were a letter between "H" and "I".
extern const std::array<std::string_view, LanguageCount> DisplayOrder;

// The code of the first row whose name is exactly `name`; empty when none.
std::string LanguageCode(std::string_view name);
// The name of the first row whose code is exactly `code`; empty when none.
std::string LanguageName(std::string_view code);

} // namespace languages
