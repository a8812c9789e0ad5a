// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "settings/profile.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "io/replacement.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <vector>

namespace settings {

namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

std::string_view withoutQuotes(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// One line of a profile, as the lookups see it.
struct Line {
    enum class Kind { Blank, Comment, Section, Entry };
    std::string_view raw;   // without its line break
    std::string_view whole; // with the carriage return of its line break, if any
    Kind kind = Kind::Blank;
    std::string_view name;  // the section's or the key's
    std::string_view value; // an entry's, blanks around it removed
};

Line parseLine(std::string_view raw) {
    Line line;
    line.raw = raw;
    const std::string_view t = trim(raw);
    if (t.empty()) return line;
    if (t.front() == ';') {
        line.kind = Line::Kind::Comment;
        return line;
    }
    if (t.front() == '[') {
        const size_t close = t.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = Line::Kind::Section;
            line.name = trim(t.substr(1, close - 1));
            return line;
        }
    }
    line.kind = Line::Kind::Entry;
    const size_t eq = t.find('=');
    line.name = trim(t.substr(0, eq));
    if (eq != std::string_view::npos) line.value = trim(t.substr(eq + 1));
    return line;
}

std::vector<Line> parseLines(std::string_view text) {
    // A byte order mark in front of the first line is not part of it.
    if (text.starts_with(Bom)) text.remove_prefix(Bom.size());
    std::vector<Line> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view whole = text.substr(0, end);
        std::string_view raw = whole;
        if (raw.ends_with('\r')) raw.remove_suffix(1);
        lines.push_back(parseLine(raw));
        lines.back().whole = whole;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// Where key lives: the index of its line, or the index after which a new
// line for it goes; npos for both when its section is missing too.
struct Place {
    size_t entry = std::string_view::npos;
    size_t insertAfter = std::string_view::npos;
};

Place locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place place;
    bool inSection = false;
    bool firstSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Kind::Section) {
            inSection = equalIgnoringCase(line.name, section);
            firstSection = inSection && place.insertAfter == std::string_view::npos;
            if (firstSection) place.insertAfter = i;
            continue;
        }
        if (!inSection) continue;
        if (line.kind == Line::Kind::Entry && equalIgnoringCase(line.name, key)) {
            place.entry = i;
            return place;
        }
        if (firstSection && line.kind != Line::Kind::Blank) place.insertAfter = i;
    }
    return place;
}

std::string storedValue(std::string_view value) {
    value = value.substr(0, value.find_first_of(std::string_view("\0\r\n", 3)));
    if (withoutQuotes(trim(value)) == value) return std::string(value);
    return '"' + std::string(value) + '"';
}

} // namespace

std::optional<std::string> findValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
    const std::vector<Line> lines = parseLines(text);
    const Place place = locate(lines, section, key);
    if (place.entry == std::string_view::npos) return std::nullopt;
    return std::string(withoutQuotes(lines[place.entry].value).substr(0, MaxValueLength));
}

std::string withValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
    const std::vector<Line> lines = parseLines(text);
    const Place place = locate(lines, section, key);
    const std::string stored = storedValue(value);
    std::string out;
    out.reserve(text.size() + key.size() + stored.size() + section.size() + 8);
    // The byte order mark stays: without it the next read would take the bytes
    // after it (a second mark, say) as part of the first line no longer.
    if (text.starts_with(Bom)) out += Bom;
    auto add = [&out](std::string_view line) {
        out += line;
        out += '\n';
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == place.entry) {
            add(std::string(lines[i].name) + '=' + stored);
            continue;
        }
        // As it was, line break included: a CRLF file stays one, and a value
        // that ends in a carriage return of its own keeps it.
        add(lines[i].whole);
        if (i == place.insertAfter && place.entry == std::string_view::npos)
            add(std::string(key) + '=' + stored);
    }
    if (place.insertAfter == std::string_view::npos) {
        // A blank line between sections, as the classic writers keep them.
        if (!lines.empty() && lines.back().kind != Line::Kind::Blank) add("");
        add('[' + std::string(section) + ']');
        add(std::string(key) + '=' + stored);
    }
    return out;
}

std::optional<int> parseInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint64_t value = 0;
        for (char c : text.substr(2)) {
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return std::nullopt;
            value = value * 16 + uint64_t(digit);
            if (value > UINT32_MAX) return std::nullopt;
        }
        // Eight hex digits fill the 32 bits: 0xFFFFFFFF is -1.
        return static_cast<int>(static_cast<uint32_t>(value));
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > int64_t(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

std::string Profile::text() const {
    try {
        io::File file(m_path, io::File::Mode::Read);
        std::string text(file.size(), '\0');
        text.resize(file.readAt(text.data(), text.size(), 0));
        return text;
    } catch (const std::exception&) {
        return {};
    }
}

std::string Profile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    std::optional<std::string> value = findValue(text(), section, key);
    return value ? *value : std::string(defaultValue);
}

int Profile::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string> value = findValue(text(), section, key);
    if (!value) return defaultValue;
    return parseInteger(*value).value_or(defaultValue);
}

void Profile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void Profile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    try {
        std::string current;
        try {
            // A file that exists but cannot be read must not be replaced by one
            // holding only this value, nor a read-only one: replacing it through
            // a rename would get round what its owner asked for.
            io::File file(m_path, io::File::Mode::Read);
            current.resize(file.size());
            current.resize(file.readAt(current.data(), current.size(), 0));
            io::File writable(m_path, io::File::Mode::ReadWrite);
        } catch (const io::IoError& e) {
            // Only a file that is not there starts empty: one that could not
            // be looked at (a failed stat, say) is not known to be empty.
            if (e.code() != ENOENT || !current.empty()) throw;
        }
        const std::string updated = withValue(current, section, key, value);
        io::ReplacementFile replacement(m_path);
        replacement.file().writeAt(updated.data(), updated.size(), 0);
        replacement.commit();
    } catch (const std::exception&) {
        throw WriteError(m_path);
    }
}

} // namespace settings
