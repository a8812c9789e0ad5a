// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/recordtime.h"

#include <algorithm>
#include <iterator>

namespace recordtime {

namespace {

bool digits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Four digits, as two numbers of two digits; false for anything else.
bool twoPairs(std::string_view s, int& first, int& second) {
    while (!s.empty() && s.back() == '\0')
        s.remove_suffix(1);
    if (s.size() != 4 || !digits(s)) return false;
    first = (s[0] - '0') * 10 + (s[1] - '0');
    second = (s[2] - '0') * 10 + (s[3] - '0');
    return true;
}

bool validDay(int day, int month) {
    static constexpr int Days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 && day >= 1 && day <= Days[month - 1];
}

} // namespace

std::string fromParts(std::string_view year, std::string_view date, std::string_view time) {
    while (!year.empty() && year.back() == '\0')
        year.remove_suffix(1);
    if (year.size() != 4 || !digits(year)) return {};
    std::string stamp(year);
    int day = 0, month = 0, hours = 0, minutes = 0;
    if (!twoPairs(date, day, month) || !validDay(day, month)) return stamp;
    stamp += '-';
    stamp += date.substr(2, 2);
    stamp += '-';
    stamp += date.substr(0, 2);
    if (!twoPairs(time, hours, minutes) || hours > 23 || minutes > 59) return stamp;
    stamp += 'T';
    stamp += time.substr(0, 2);
    stamp += ':';
    stamp += time.substr(2, 2);
    return stamp;
}

bool isTimeStamp(std::string_view text) {
    // The separators every longer form has, at their places.
    static constexpr std::string_view Form = "dddd-dd-ddTdd:dd:dd";
    static constexpr size_t Lengths[] = {4, 7, 10, 13, 16, 19};
    if (std::find(std::begin(Lengths), std::end(Lengths), text.size()) == std::end(Lengths))
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (Form[i] == 'd' ? text[i] < '0' || text[i] > '9' : text[i] != Form[i]) return false;
    return true;
}

} // namespace recordtime
