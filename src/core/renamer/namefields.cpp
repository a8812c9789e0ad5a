// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "renamer/namefields.h"

#include <algorithm>

namespace renamer {

namespace {

// The template as a pattern: runs of literal text, and fields between them.
struct Piece {
    const FrameName* field = nullptr; // none: literal text
    std::string text;
};

std::vector<Piece> pattern(const Template& rows) {
    std::vector<Piece> pieces;
    const auto literal = [&](const std::string& text) {
        if (text.empty()) return;
        if (!pieces.empty() && !pieces.back().field)
            pieces.back().text += text;
        else
            pieces.push_back({nullptr, text});
    };
    for (const TemplateRow& row : rows) {
        literal(row.prefix);
        if (const FrameName* field = findFrameName(row.frameName)) pieces.push_back({field, {}});
        literal(row.suffix);
    }
    return pieces;
}

class Matcher {
public:
    Matcher(const std::vector<Piece>& pieces, std::string_view name)
        : m_pieces(pieces), m_name(name) {}

    // Whether pieces from `piece` on match the name from `at` on; the values
    // of the fields matched so far are in m_values.
    bool match(size_t piece, size_t at) {
        if (piece == m_pieces.size()) return at == m_name.size();
        const Piece& p = m_pieces[piece];
        if (!p.field)
            return m_name.substr(at).starts_with(p.text) && match(piece + 1, at + p.text.size());
        if (piece + 1 == m_pieces.size()) return take(p.field, at, m_name.size(), piece);
        // The next piece is literal text (or another field): try each place
        // it could start, nearest first.
        const Piece& next = m_pieces[piece + 1];
        for (size_t end = at; end <= m_name.size(); ++end) {
            if (!next.field) {
                end = m_name.find(next.text, end);
                if (end == std::string_view::npos) return false;
            }
            if (take(p.field, at, end, piece)) return true;
        }
        return false;
    }

    std::vector<FieldValue> values() && { return std::move(m_values); }

private:
    // Gives field the text [from, to) and matches the rest after it.
    bool take(const FrameName* field, size_t from, size_t to, size_t piece) {
        const std::string_view text = m_name.substr(from, to - from);
        const auto same = std::find_if(m_values.begin(), m_values.end(),
                                       [&](const FieldValue& v) { return v.field == field; });
        if (same != m_values.end()) return same->value == text && match(piece + 1, to);
        m_values.push_back({field, std::string(text)});
        if (match(piece + 1, to)) return true;
        m_values.pop_back();
        return false;
    }

    const std::vector<Piece>& m_pieces;
    std::string_view m_name;
    std::vector<FieldValue> m_values;
};

} // namespace

std::optional<std::vector<FieldValue>> fieldsFromName(const Template& rows, std::string_view name) {
    const std::vector<Piece> pieces = pattern(rows);
    Matcher matcher(pieces, name);
    if (!matcher.match(0, 0)) return std::nullopt;
    return std::move(matcher).values();
}

std::string_view withoutExtension(std::string_view fileName) {
    constexpr std::string_view Extension = ".mp3";
    if (fileName.size() < Extension.size()) return fileName;
    const std::string_view tail = fileName.substr(fileName.size() - Extension.size());
    const bool mp3 = std::equal(tail.begin(), tail.end(), Extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a + 32) : a) == b;
    });
    return mp3 ? fileName.substr(0, fileName.size() - Extension.size()) : fileName;
}

std::vector<std::string> trackNumbers(size_t n, bool ofTotal) {
    std::vector<std::string> numbers;
    for (size_t i = 1; i <= n; ++i)
        numbers.push_back(std::to_string(i) + (ofTotal ? "/" + std::to_string(n) : ""));
    return numbers;
}

} // namespace renamer
