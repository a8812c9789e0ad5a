// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "renamer/renamer.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The renamer's template read backwards: the fields a file's name gives, for
// tagging files after their names; and track numbers in list order.
namespace renamer {

struct FieldValue {
    const FrameName* field; // a row of FrameNameTable
    std::string value;
    bool operator==(const FieldValue&) const = default;
};

// Matches name (a file name without ".mp3") against the rows' prefix, field
// and suffix, row after row, and returns each field's value, in the order
// the fields first appear; nullopt when the name does not match. Prefixes
// and suffixes match letter for letter; a field takes the shortest text that
// lets the rest of the name match (the last one takes the rest), so two
// fields need some text between them to be told apart. A field named twice
// must take the same text both times. A row whose frame name is none of the
// table's matches its prefix and suffix only, as it gives a name no value.
std::optional<std::vector<FieldValue>> fieldsFromName(const Template& rows, std::string_view name);

// The file name without its ".mp3" (in any letter case), as the renamer
// appended it.
std::string_view withoutExtension(std::string_view fileName);

// The track numbers of n files in list order: "1".."n", or "1/n".."n/n".
std::vector<std::string> trackNumbers(size_t n, bool ofTotal);

} // namespace renamer
