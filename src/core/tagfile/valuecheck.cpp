// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagfile/valuecheck.h"

#include "languages/languages.h"
#include "tagengine/timestamp.h"

#include <array>

namespace tagfile {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number of n digits at text[at], or -1 when they are not all there.
int digitsAt(std::string_view text, size_t at, size_t n) {
    if (text.size() < at + n) return -1;
    int value = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (!isDigit(text[i])) return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool numberOrNumberOfTotal(std::string_view text) {
    const size_t slash = text.find('/');
    const auto digits = [](std::string_view part) {
        if (part.empty()) return false;
        for (char c : part)
            if (!isDigit(c)) return false;
        return true;
    };
    return slash == std::string_view::npos
               ? digits(text)
               : digits(text.substr(0, slash)) && digits(text.substr(slash + 1));
}

bool isTime(tag::Prop prop) {
    using enum tag::Prop;
    return prop == RecordTime || prop == RelaseTime || prop == OrigTime || prop == EncodingTime ||
           prop == TagTime;
}

} // namespace

bool validTimeStamp(std::string_view text) {
    // Each part after the year: the character before its two digits, and their range.
    struct Part {
        char separator;
        int low, high;
    };
    constexpr std::array<Part, 5> Parts{
        {{'-', 1, 12}, {'-', 1, 31}, {'T', 0, 23}, {':', 0, 59}, {':', 0, 59}}};
    const int year = digitsAt(text, 0, 4);
    if (year < 0) return false;
    int month = 0;
    size_t at = 4;
    for (size_t i = 0; i < Parts.size() && at < text.size(); ++i, at += 3) {
        const int value = digitsAt(text, at + 1, 2);
        if (text[at] != Parts[i].separator || value < Parts[i].low || value > Parts[i].high)
            return false;
        if (i == 0) month = value;
        if (i == 1 && value > timestamp::daysInMonth(month, year)) return false;
    }
    return at == text.size();
}

std::string valueProblem(tag::Prop prop, std::string_view value) {
    if (value.empty()) return {};
    if (isTime(prop) && !validTimeStamp(value))
        return "is not a time stamp yyyy[-MM[-dd[THH[:mm[:ss]]]]] of a real date";
    if ((prop == tag::Prop::TrackNum || prop == tag::Prop::PartOfSet) &&
        !numberOrNumberOfTotal(value))
        return "is not a number n or n/m";
    if (prop == tag::Prop::Language && languages::LanguageName(value).empty())
        return "is not a code of the language table (eng, deu, fra, ...)";
    return {};
}

} // namespace tagfile
