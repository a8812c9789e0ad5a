// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/timestamp.h"

#include <algorithm>

namespace timestamp {

namespace {

bool digits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Characters [from, from + n) of s as far as s reaches, kept only when all are digits.
std::string part(const std::string& s, size_t from, size_t n) {
    if (from >= s.size()) return {};
    std::string p = s.substr(from, n);
    return digits(p) ? p : std::string();
}

std::string padded(std::string s, size_t width) {
    s.resize(width, ' ');
    return s;
}

} // namespace

DateParts DecodeTimeStamp(const std::string& stamp) {
    const std::string s = stamp.substr(0, stamp.find('\0'));
    DateParts d;
    if (s.size() <= 10) {
        d.year = part(s, 0, 4);
        d.month = part(s, 5, 2);
        d.day = part(s, 8, 2);
        return d;
    }
    // Longer stamps carry a time of day or free text: only a leading date counts.
    d.year = part(s, 0, 4);
    if (d.year.size() != 4) return {};
    if (s[4] != '-') return d;
    d.month = part(s, 5, 2);
    if (d.month.size() != 2 || s.size() < 8 || s[7] != '-') {
        if (d.month.size() != 2) d.month.clear();
        return d;
    }
    d.day = part(s, 8, 2);
    if (d.day.size() != 2) d.day.clear();
    return d;
}

std::string fieldToTimeStamp(const std::string& field) {
    const std::string f = padded(field, 10);
    const std::string day = f.substr(0, 2), month = f.substr(3, 2), year = f.substr(6, 4);
    if (!digits(year) || year.size() != 4) return {};
    if (!digits(month)) return year;
    if (!digits(day)) return year + "-" + month;
    return year + "-" + month + "-" + day;
}

std::string timeStampToField(const std::string& stamp) {
    const DateParts d = DecodeTimeStamp(stamp);
    return padded(d.day, 2) + "." + padded(d.month, 2) + "." + padded(d.year, 4);
}

int daysInMonth(int month, int year) {
    constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : Days[month - 1];
}

bool impossibleDate(std::string_view stamp) {
    const std::string s(stamp.substr(0, stamp.find('\0')));
    const std::string year = part(s, 0, 4), month = part(s, 5, 2);
    if (year.size() != 4 || s[4] != '-' || month.size() != 2) return false;
    const int m = std::stoi(month);
    if (m < 1 || m > 12) return true;
    const std::string day = s.size() > 7 && s[7] == '-' ? part(s, 8, 2) : std::string();
    if (day.size() != 2) return false;
    const int d = std::stoi(day);
    return d < 1 || d > daysInMonth(m, std::stoi(year));
}

} // namespace timestamp
