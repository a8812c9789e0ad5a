// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "linewriter.h"

#include "json.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace tagjson {

namespace {

// A character the library writes unchanged between quotes.
bool plain(unsigned char c) {
    return c >= 0x20 && c <= 0x7E && c != '"' && c != '\\';
}

bool plain(std::string_view s) {
    for (unsigned char c : s)
        if (!plain(c)) return false;
    return true;
}

// The longest form the library writes for one character ("\u001f").
constexpr size_t LongestForm = 6;

// What the library writes for one ASCII character between the quotes (it
// writes the bytes of every other character of valid UTF-8 as they are). The
// escaping of a character does not depend on its neighbours, so a text is the
// run of its characters' forms; each is asked of the library once. Most tag
// texts end with a zero, and a library call per text cost more than the read.
const std::string& escaped(unsigned char c) {
    static std::array<std::string, 128> forms;
    std::string& form = forms[c];
    if (form.empty()) {
        const char ch = static_cast<char>(c);
        const std::string quoted = Json(std::string(1, ch)).dump();
        form = quoted.substr(1, quoted.size() - 2);
        if (form.size() > LongestForm) throw std::logic_error("unexpected JSON escape");
    }
    return form;
}

} // namespace

void LineWriter::beforeValue() {
    if (m_needComma && !m_afterKey) put(',');
    m_afterKey = false;
    m_needComma = true;
}

void LineWriter::open(char bracket) {
    beforeValue();
    put(bracket);
    m_needComma = false;
}

void LineWriter::close(char bracket) {
    put(bracket);
    m_needComma = true;
}

LineWriter& LineWriter::beginObject() {
    open('{');
    return *this;
}
LineWriter& LineWriter::endObject() {
    close('}');
    return *this;
}
LineWriter& LineWriter::beginArray() {
    open('[');
    return *this;
}
LineWriter& LineWriter::endArray() {
    close(']');
    return *this;
}

LineWriter& LineWriter::key(std::string_view asciiKey) {
    // One of the commonest pieces of a line: written in one go.
    room(asciiKey.size() + 4);
    char* p = m_out.data() + m_length;
    if (m_needComma) *p++ = ',';
    *p++ = '"';
    std::memcpy(p, asciiKey.data(), asciiKey.size());
    p += asciiKey.size();
    *p++ = '"';
    *p++ = ':';
    m_length = static_cast<size_t>(p - m_out.data());
    m_afterKey = true;
    return *this;
}

LineWriter& LineWriter::string(std::string_view utf8) {
    beforeValue();
    if (plain(utf8)) {
        put('"');
        put(utf8);
        put('"');
    } else {
        // File names need not be UTF-8; never let one stop the output.
        put(Json(std::string(utf8)).dump(-1, ' ', false, Json::error_handler_t::replace));
    }
    return *this;
}

LineWriter& LineWriter::text(std::string_view utf8) {
    beforeValue();
    // Room for the longest form of every byte: no checks in the loop.
    room(2 + LongestForm * utf8.size());
    char* o = m_out.data() + m_length;
    *o++ = '"';
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (plain(c) || c >= 0x80) {
            *o++ = ch;
        } else {
            const std::string& form = escaped(c);
            std::memcpy(o, form.data(), form.size());
            o += form.size();
        }
    }
    *o++ = '"';
    m_length = static_cast<size_t>(o - m_out.data());
    return *this;
}

LineWriter& LineWriter::boolean(bool value) {
    beforeValue();
    put(value ? "true" : "false");
    return *this;
}

LineWriter& LineWriter::number(long long value) {
    beforeValue();
    put(std::to_string(value));
    return *this;
}

} // namespace tagjson
