// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <string>
#include <string_view>

// The editor's date fields show day.month.year; the tag holds ID3v2.4 time
// stamps (yyyy, yyyy-MM or yyyy-MM-dd, possibly followed by a time of day).
namespace timestamp {

struct DateParts {
    std::string year, month, day; // each empty or complete, as far as the stamp reaches
};

// Splits a stamp into its date parts. The stamp ends at its first zero
// character; a stamp of at most 10 characters is cut by position (yyyy-MM-dd),
// a longer one only where it begins with yyyy, yyyy-MM or yyyy-MM-dd. Parts
// that are not digits stay empty, so nothing but this stamp's date is shown.
DateParts DecodeTimeStamp(const std::string& stamp);

// The field text "dd.MM.yyyy" (blanks in unfilled positions) as the longest
// valid time stamp it holds: empty without a complete year, then yyyy,
// yyyy-MM or yyyy-MM-dd as far as month and day are complete.
std::string fieldToTimeStamp(const std::string& field);

// The field text for a stamp: day "." month "." year, blanks where a part is missing.
std::string timeStampToField(const std::string& stamp);

// The days of a month (1 to 12) of a year of the Gregorian calendar.
int daysInMonth(int month, int year);

// Whether a stamp that begins with yyyy-MM or yyyy-MM-dd names a date the
// calendar does not have: a month beyond 01..12, a day beyond its month. A
// stamp of another shape (a year alone, the free text of an older tag) names
// no such date.
bool impossibleDate(std::string_view stamp);

} // namespace timestamp
