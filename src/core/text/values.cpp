// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "text/values.h"

namespace values {

std::string joined(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\0')
            out += Separator;
        else
            out += c;
    }
    return out;
}

std::string split(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (size_t at = 0; at < line.size();) {
        if (line.compare(at, Separator.size(), Separator) == 0) {
            out += '\0';
            at += Separator.size();
        } else {
            out += line[at++];
        }
    }
    return out;
}

} // namespace values
