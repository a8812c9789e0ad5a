// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

// quillet-tag prints one JSON object per line; the tests read them back.
using Json = nlohmann::ordered_json;

inline std::vector<Json> lines(const std::string& out) {
    std::vector<Json> result;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        result.push_back(Json::parse(line));
    return result;
}

inline std::vector<std::string> keys(const Json& j) {
    std::vector<std::string> k;
    for (auto it = j.begin(); it != j.end(); ++it)
        k.push_back(it.key());
    return k;
}
