// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "json.h"

namespace tagjson {

Object::Object(size_t members) : m_json(Json::object()) {
    m_json.get_ref<Json::object_t&>().reserve(members);
}

Object& Object::add(std::string_view key, Json value) {
    auto& members = m_json.get_ref<Json::object_t&>();
    members.Json::object_t::Container::emplace_back(std::string(key), std::move(value));
    return *this;
}

std::string line(const Json& j) {
    // File names need not be UTF-8; never let one stop the output.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace tagjson
