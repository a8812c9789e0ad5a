// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/frametable.h"

#include <string>
#include <string_view>

// What a text property may hold when the user types it, as the window's
// fields allow it: a time stamp in the five time properties, a number or
// number/total in TrackNum and PartOfSet, a code of the language table in
// Language. Any property may be emptied. Values read from files are not
// checked: a tag written by another program keeps what it holds.
namespace tagfile {

// yyyy[-MM[-dd[THH[:mm[:ss]]]]], a date of the calendar and a time of the day.
bool validTimeStamp(std::string_view text);

// Why value cannot be typed into prop ("is not a time stamp
// yyyy[-MM[-dd[THH[:mm[:ss]]]]]", ...); empty when it can.
std::string valueProblem(tag::Prop prop, std::string_view value);

} // namespace tagfile
