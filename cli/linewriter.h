// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstring>
#include <string>
#include <string_view>

// Writes one compact JSON line as it goes, without building a tree first: the
// dump of hundreds of files spends most of its time in JSON otherwise. Keys
// are the program's own ASCII names; every string value that needs escaping
// goes through the JSON library, so the line is exactly the library's.
namespace tagjson {

class LineWriter {
public:
    LineWriter() : m_out(2048, '\0') {}
    LineWriter& beginObject();
    LineWriter& endObject();
    LineWriter& beginArray();
    LineWriter& endArray();
    LineWriter& key(std::string_view asciiKey);
    LineWriter& string(std::string_view utf8);
    LineWriter& text(std::string_view utf8); // tag text: valid UTF-8
    LineWriter& boolean(bool value);
    LineWriter& number(long long value);
    // The members "key": text for the same key and text.
    LineWriter& member(std::string_view asciiKey, std::string_view utf8) {
        return key(asciiKey).text(utf8);
    }

    std::string_view str() const { return {m_out.data(), m_length}; }
    // The line; the writer is empty afterwards.
    std::string take() {
        m_out.resize(m_length);
        m_length = 0;
        return std::move(m_out);
    }

private:
    // m_out is kept larger than the line and written through its buffer: a
    // line is some hundreds of small pieces, each a bounds check and a copy.
    void room(size_t n) {
        if (m_length + n > m_out.size()) m_out.resize(2 * (m_length + n));
    }
    void put(char c) {
        room(1);
        m_out[m_length++] = c;
    }
    void put(std::string_view s) {
        room(s.size());
        std::memcpy(m_out.data() + m_length, s.data(), s.size());
        m_length += s.size();
    }

    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::string m_out;
    size_t m_length = 0;
    bool m_needComma = false;
    bool m_afterKey = false;
};

} // namespace tagjson
