// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

// The JSON value type of quillet-tag's lines, and a builder for objects of a
// fixed shape.
namespace tagjson {

using Json = nlohmann::ordered_json;

// Builds an object of a fixed shape: members are appended in order, without
// the key search and regrowth of Json's operator[] (keys never repeat here).
class Object {
public:
    explicit Object(size_t members);
    Object& add(std::string_view key, Json value);
    Json take() { return std::move(m_json); }

private:
    Json m_json;
};

// One output line: the value as compact JSON.
std::string line(const Json& j);

} // namespace tagjson
