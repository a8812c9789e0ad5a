#pragma once

#include <string>
#include <string_view>

// Writes one compact JSON line as it goes, without building a tree first: the
// dump of hundreds of files spends most of its time in JSON otherwise. Keys
// are the program's own ASCII names; every string value that needs escaping
// goes through the JSON library, so the line is exactly the library's.
namespace tagjson {

class LineWriter {
public:
    LineWriter() { m_out.reserve(2048); }
    LineWriter& beginObject();
    LineWriter& endObject();
    LineWriter& beginArray();
    LineWriter& endArray();
    LineWriter& key(std::string_view asciiKey);
    LineWriter& string(std::string_view utf8);
    LineWriter& text(std::string_view latin1); // one character per byte
    LineWriter& boolean(bool value);
    LineWriter& number(long long value);
    // The members "key": text for the same key and text.
    LineWriter& member(std::string_view asciiKey, std::string_view latin1) {
        return key(asciiKey).text(latin1);
    }

    const std::string& str() const { return m_out; }

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::string m_out;
    bool m_needComma = false;
    bool m_afterKey = false;
};

} // namespace tagjson
