// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <string>
#include <string_view>

// ID3v2.3 and ID3v2.2 keep a recording date in three frames (TYER, TDAT, TIME;
// TYE, TDA, TIM); ID3v2.4 has one time stamp, TDRC, which is what the model's
// RecordTime holds.
namespace recordtime {

// The time stamp of the texts of the three frames (empty when a frame is
// missing): "YYYY" when the year text is four digits, then "-MM-DD" when the
// date is four digits DDMM of a valid day and month, then "THH:MM" when the
// time is four digits HHMM of a valid time of day. A terminating zero after a
// part does not count against it. How many parts it took shows in its length:
// 4, 10 or 16 characters.
std::string fromParts(std::string_view year, std::string_view date, std::string_view time);

// Whether the text is an ID3v2.4 time stamp: yyyy, yyyy-MM, yyyy-MM-dd,
// yyyy-MM-ddTHH, yyyy-MM-ddTHH:mm or yyyy-MM-ddTHH:mm:ss.
bool isTimeStamp(std::string_view text);

} // namespace recordtime
