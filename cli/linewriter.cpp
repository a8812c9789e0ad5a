#include "linewriter.h"

#include "tagjson.h"

#include <array>

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

// What the library writes for one Latin-1 character between the quotes. The
// escaping of a character does not depend on its neighbours, so a text is the
// run of its characters' forms; each is asked of the library once. Most tag
// texts end with a zero, and a library call per text cost more than the read.
const std::string& escaped(unsigned char c) {
    static std::array<std::string, 256> forms;
    std::string& form = forms[c];
    if (form.empty()) {
        const char ch = static_cast<char>(c);
        const std::string quoted = Json(fromLatin1(std::string_view(&ch, 1))).dump();
        form = quoted.substr(1, quoted.size() - 2);
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
    if (m_needComma) put(',');
    put('"');
    put(asciiKey);
    put("\":");
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

LineWriter& LineWriter::text(std::string_view latin1) {
    beforeValue();
    put('"');
    size_t run = 0; // start of the plain characters not yet written
    for (size_t i = 0; i < latin1.size(); ++i) {
        const auto c = static_cast<unsigned char>(latin1[i]);
        if (plain(c)) continue;
        put(latin1.substr(run, i - run));
        put(escaped(c));
        run = i + 1;
    }
    put(latin1.substr(run));
    put('"');
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
