#include "linewriter.h"

#include "tagjson.h"

namespace tagjson {

namespace {

// Text the library would write unchanged between quotes.
bool plain(std::string_view s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') return false;
    return true;
}

} // namespace

void LineWriter::beforeValue() {
    if (m_needComma && !m_afterKey) m_out += ',';
    m_afterKey = false;
    m_needComma = true;
}

void LineWriter::open(char bracket) {
    beforeValue();
    m_out += bracket;
    m_needComma = false;
}

void LineWriter::close(char bracket) {
    m_out += bracket;
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
    if (m_needComma) m_out += ',';
    m_out += '"';
    m_out += asciiKey;
    m_out += "\":";
    m_afterKey = true;
    return *this;
}

LineWriter& LineWriter::string(std::string_view utf8) {
    beforeValue();
    if (plain(utf8)) {
        m_out += '"';
        m_out += utf8;
        m_out += '"';
    } else {
        // File names need not be UTF-8; never let one stop the output.
        m_out += Json(std::string(utf8)).dump(-1, ' ', false, Json::error_handler_t::replace);
    }
    return *this;
}

LineWriter& LineWriter::text(std::string_view latin1) {
    if (!plain(latin1)) return string(fromLatin1(latin1));
    beforeValue();
    m_out += '"';
    m_out += latin1;
    m_out += '"';
    return *this;
}

LineWriter& LineWriter::boolean(bool value) {
    beforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

LineWriter& LineWriter::number(long long value) {
    beforeValue();
    m_out += std::to_string(value);
    return *this;
}

} // namespace tagjson
