// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "edits.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "languages/languages.h"
#include "tagengine/v24pictures.h"
#include "tagengine/zurur24.h"
#include "tagfile/valuecheck.h"
#include "text/charset.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <span>
#include <string_view>

namespace cli {

namespace {

using tag::Column;
using tag::ListKind;

// How set writes the entries of one list: ENTRY's fields in order (the last
// takes the rest of the argument), and KEY's, the fields that tell one entry
// from the others in the format (a comment by language and description, a
// picture by description, ...). VALUE is ENTRY without KEY's fields.
struct ListSyntax {
    ListKind kind;
    std::array<Column, 3> fields;
    size_t fieldCount;
    std::array<Column, 2> keys;
    size_t keyCount;
    size_t required; // fields an ENTRY must give; a picture's type and description may be left out
    std::string_view fieldNames; // for the help and messages
    std::string_view keyNames;
    std::string_view valueNames;
    std::span<const Column> entryFields() const { return {fields.data(), fieldCount}; }
    std::span<const Column> keyFields() const { return {keys.data(), keyCount}; }
};

// clang-format off
constexpr ListSyntax Syntax[] = {
    {ListKind::Comments, {Column::Language, Column::Description, Column::Text}, 3,
     {Column::Language, Column::Description}, 2, 3, "LANGUAGE:DESCRIPTION:TEXT", "LANGUAGE:DESCRIPTION", "TEXT"},
    {ListKind::Lyrics, {Column::Language, Column::Description, Column::Text}, 3,
     {Column::Language, Column::Description}, 2, 3, "LANGUAGE:DESCRIPTION:TEXT", "LANGUAGE:DESCRIPTION", "TEXT"},
    {ListKind::UserUrls, {Column::Description, Column::Text}, 2,
     {Column::Description}, 1, 2, "DESCRIPTION:URL", "DESCRIPTION", "URL"},
    {ListKind::TermsOfUse, {Column::Language, Column::Text}, 2,
     {Column::Language}, 1, 2, "LANGUAGE:TEXT", "LANGUAGE", "TEXT"},
    {ListKind::Pictures, {Column::PictureFile, Column::PictureType, Column::Description}, 3,
     {Column::Description}, 1, 1, "FILE[:TYPE[:DESCRIPTION]]", "DESCRIPTION", "FILE[:TYPE]"},
    {ListKind::UserTexts, {Column::Description, Column::Text}, 2,
     {Column::Description}, 1, 2, "DESCRIPTION:VALUE", "DESCRIPTION", "VALUE"},
};
// clang-format on

constexpr bool syntaxInListOrder() {
    for (size_t i = 0; i < std::size(Syntax); ++i)
        if (size_t(Syntax[i].kind) != i) return false;
    return std::size(Syntax) == tag::ListKindCount;
}
static_assert(syntaxInListOrder());

constexpr std::string_view DefaultPictureType = "Cover (front)";

const ListSyntax* listByName(std::string_view name) {
    for (const ListSyntax& s : Syntax)
        if (tag::info(s.kind).name == name) return &s;
    return nullptr;
}

std::string quoted(const std::string& argument) {
    return "'" + argument + "'";
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char p, char q) {
        return std::tolower(static_cast<unsigned char>(p)) ==
               std::tolower(static_cast<unsigned char>(q));
    });
}

// Splits text at each ":" into at most max fields, the last taking the rest;
// "\:", "\\" and "\]" stand for the character after the backslash.
std::vector<std::string> splitFields(std::string_view text, size_t max,
                                     const std::string& argument) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            if (i + 1 == text.size() || std::strchr(":\\]", text[i + 1]) == nullptr)
                throw InputError(quoted(argument) +
                                 ": a backslash stands only before \":\", \"\\\" or \"]\"");
            fields.back() += text[++i];
        } else if (c == ':' && fields.size() < max) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// The MIME type of a picture by its first bytes; empty when it is none of these.
std::string_view mimeTypeOf(const uint8_t* b, size_t n) {
    const auto starts = [&](std::string_view magic, size_t at = 0) {
        return n >= at + magic.size() && std::memcmp(b + at, magic.data(), magic.size()) == 0;
    };
    if (starts("\xFF\xD8\xFF")) return "image/jpeg";
    if (starts("\x89PNG\r\n\x1A\n")) return "image/png";
    if (starts("GIF87a") || starts("GIF89a")) return "image/gif";
    if (starts("BM")) return "image/bmp";
    if (starts("RIFF") && starts("WEBP", 8)) return "image/webp";
    return {};
}

std::string pictureMimeType(const std::string& file, const std::string& argument) {
    uint8_t start[12] = {};
    size_t got = 0;
    try {
        io::File f(file, io::File::Mode::Read);
        got = f.readAt(start, sizeof start, 0);
        f.close();
    } catch (const io::IoError& error) {
        throw InputError(quoted(argument) + ": picture file \"" + file + "\": " + error.what());
    }
    const std::string_view type = mimeTypeOf(start, got);
    if (type.empty())
        throw InputError(quoted(argument) + ": \"" + file +
                         "\" is not a JPEG, PNG, GIF, BMP or WebP picture");
    return std::string(type);
}

// A picture type by its name (letter case aside) or its number 0..20.
std::string pictureType(const std::string& given, const std::string& argument) {
    const auto& names = v24::PictureTypeNames;
    for (const std::string_view name : names)
        if (equalIgnoringCase(name, given)) return std::string(name);
    if (!given.empty() && given.size() <= 2 &&
        given.find_first_not_of("0123456789") == std::string::npos &&
        std::stoul(given) < names.size())
        return std::string(names[std::stoul(given)]);
    throw InputError(quoted(argument) + ": \"" + given +
                     "\" is no picture type: a name of dump's \"pictureType\" or 0..20");
}

// One field of an entry as the model keeps it, checked.
void putField(tag::EntryColumns& entry, ListKind list, Column column, std::string value,
              const std::string& argument) {
    if (tag::latin1Only(list, column) && !charset::fitsLatin1(value))
        throw InputError(
            quoted(argument) + ": \"" + value +
            "\" holds a character beyond ISO-8859-1, which the format cannot hold there");
    switch (column) {
    case Column::Language:
        // Codes are lower case; files written elsewhere hold "ENG" too.
        std::transform(value.begin(), value.end(), value.begin(),
                       [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); });
        if (languages::LanguageName(value).empty())
            throw InputError(quoted(argument) + ": \"" + value +
                             "\" is not a code of the language table (eng, deu, fra, ...)");
        break;
    case Column::Description:
        value = tag::withTerminator(std::move(value));
        break;
    case Column::PictureType:
        value = pictureType(value, argument);
        break;
    case Column::PictureFile:
        entry[size_t(Column::MimeType)] = tag::withTerminator(pictureMimeType(value, argument));
        break;
    default:
        break;
    }
    entry[size_t(column)] = std::move(value);
}

// Fills the columns from the fields of text, in the given order.
void putFields(Edit& edit, const ListSyntax& syntax, std::span<const Column> columns,
               size_t required, std::string_view text) {
    const std::vector<std::string> fields = splitFields(text, columns.size(), edit.argument);
    if (fields.size() < required)
        throw InputError(quoted(edit.argument) + ": " + std::string(tag::info(syntax.kind).name) +
                         " takes +=" + std::string(syntax.fieldNames) + " or [" +
                         std::string(syntax.keyNames) + "]=" + std::string(syntax.valueNames));
    for (size_t i = 0; i < fields.size(); ++i) {
        putField(edit.entry, syntax.kind, columns[i], fields[i], edit.argument);
        if (columns[i] == Column::PictureType) edit.typeGiven = true;
    }
    if (syntax.kind == ListKind::Pictures && !edit.typeGiven)
        edit.entry[size_t(Column::PictureType)] = DefaultPictureType;
    // A description left out is empty: its zero character still ends it.
    if (tag::hasColumn(syntax.kind, Column::Description))
        edit.entry[size_t(Column::Description)] =
            tag::withTerminator(std::move(edit.entry[size_t(Column::Description)]));
}

// The fields of syntax.entryFields() that are not KEY's, in order.
std::vector<Column> valueFields(const ListSyntax& syntax) {
    std::vector<Column> rest;
    for (Column c : syntax.entryFields())
        if (std::find(syntax.keyFields().begin(), syntax.keyFields().end(), c) ==
            syntax.keyFields().end())
            rest.push_back(c);
    return rest;
}

void parseListEdit(const ListSyntax& syntax, std::string_view op, std::string_view value,
                   std::vector<Edit>& out, Edit edit) {
    edit.list = syntax.kind;
    if (op == "-=") {
        const bool number = !value.empty() && value.size() <= 3 &&
                            value.find_first_not_of("0123456789") == std::string_view::npos;
        edit.index = number ? std::stoi(std::string(value)) : 0;
        if (edit.index < 1 || edit.index > tag::MaxEntries)
            throw InputError(quoted(edit.argument) +
                             ": -= takes the number of an entry, 1 for the first");
        edit.op = Edit::Op::Remove;
        out.push_back(std::move(edit));
        return;
    }
    if (op.front() == '[') {
        // op is "[KEY]=".
        putFields(edit, syntax, syntax.keyFields(), syntax.keyCount, op.substr(1, op.size() - 3));
        const std::vector<Column> rest = valueFields(syntax);
        edit.op = value.empty() ? Edit::Op::Drop : Edit::Op::Put;
        if (!value.empty()) {
            edit.typeGiven = false;
            putFields(edit, syntax, rest, syntax.kind == ListKind::Pictures ? 1 : rest.size(),
                      value);
        }
        out.push_back(std::move(edit));
        return;
    }
    if (op == "=") {
        Edit clear = edit;
        clear.op = Edit::Op::Clear;
        out.push_back(std::move(clear));
        if (value.empty()) return;
    }
    edit.op = Edit::Op::Add;
    putFields(edit, syntax, syntax.entryFields(), syntax.required, value);
    out.push_back(std::move(edit));
}

// The operator after the name: "=", "+=", "-=" or "[KEY]=" (a "]" in KEY escaped).
std::string_view operatorAt(std::string_view rest) {
    for (std::string_view op : {"=", "+=", "-="})
        if (rest.starts_with(op)) return op;
    if (!rest.starts_with('[')) return {};
    for (size_t i = 1; i + 1 < rest.size(); ++i) {
        if (rest[i] == '\\') {
            ++i;
        } else if (rest[i] == ']') {
            return rest[i + 1] == '=' ? rest.substr(0, i + 2) : std::string_view();
        }
    }
    return {};
}

// Whether two entries have the same KEY: descriptions up to their zero
// character, languages in any letter case (files hold "ENG" too).
bool sameKey(const tag::EntryColumns& a, const tag::EntryColumns& b, const ListSyntax& syntax) {
    for (Column c : syntax.keyFields()) {
        std::string_view x = a[size_t(c)], y = b[size_t(c)];
        x = x.substr(0, x.find('\0'));
        y = y.substr(0, y.find('\0'));
        if (c == Column::Language ? !equalIgnoringCase(x, y) : x != y) return false;
    }
    return true;
}

void add(ID3v24& tag, const Edit& edit) {
    const int count = tag.model().count(edit.list);
    if (count >= tag::MaxEntries)
        throw std::runtime_error(quoted(edit.argument) + ": " +
                                 std::string(tag::info(edit.list).name) + " already holds " +
                                 std::to_string(tag::MaxEntries) + " entries");
    tag.SetEntry(edit.list, edit.entry, count + 1);
}

} // namespace

std::vector<Edit> parseEdits(const std::vector<std::string>& arguments) {
    std::vector<Edit> edits;
    for (const std::string& a : arguments) {
        if (!charset::validUtf8(a)) throw InputError(quoted(a) + ": not UTF-8 text");
        size_t nameEnd = 0;
        while (nameEnd < a.size() && std::isalnum(static_cast<unsigned char>(a[nameEnd])))
            ++nameEnd;
        const std::string name = a.substr(0, nameEnd);
        const std::string_view rest = std::string_view(a).substr(nameEnd);
        const std::string_view op = operatorAt(rest);
        if (name.empty()) throw InputError(quoted(a) + ": no property or list name before \"=\"");
        const auto prop = tag::propByName(name);
        const ListSyntax* list = prop ? nullptr : listByName(name);
        if (!prop && !list) throw InputError(quoted(a) + ": unknown property or list " + name);
        if (op.empty())
            throw InputError(quoted(a) + ": " + name + " must be followed by " +
                             (prop ? "\"=\"" : "\"=\", \"+=\", \"-=\" or \"[KEY]=\""));
        Edit edit;
        edit.argument = a;
        const std::string_view value = rest.substr(op.size());
        if (list) {
            parseListEdit(*list, op, value, edits, std::move(edit));
            continue;
        }
        if (op != "=")
            throw InputError(quoted(a) + ": " + name +
                             " is a text: \"+=\", \"-=\" and \"[KEY]=\" are for the lists");
        edit.prop = *prop;
        edit.text = std::string(value);
        if (tag::info(*prop).kind == tag::FrameKind::Url && !charset::fitsLatin1(edit.text))
            throw InputError(quoted(a) + ": a URL holds no character beyond ISO-8859-1");
        if (const std::string problem = tagfile::valueProblem(*prop, edit.text); !problem.empty())
            throw InputError(quoted(a) + ": \"" + edit.text + "\" " + problem);
        edits.push_back(std::move(edit));
    }
    return edits;
}

void applyEdits(const std::vector<Edit>& edits, ID3v24& tag) {
    for (const Edit& edit : edits) {
        const ListSyntax& syntax = Syntax[size_t(edit.list)];
        const int count = tag.model().count(edit.list);
        switch (edit.op) {
        case Edit::Op::Text:
            tag.setText(edit.prop, edit.text);
            break;
        case Edit::Op::Clear:
            for (int i = count; i >= 1; --i)
                tag.DeleteEntry(edit.list, i);
            break;
        case Edit::Op::Add:
            add(tag, edit);
            break;
        case Edit::Op::Remove:
            if (edit.index > count)
                throw std::runtime_error(quoted(edit.argument) + ": " +
                                         std::string(tag::info(edit.list).name) + " has no entry " +
                                         std::to_string(edit.index));
            tag.DeleteEntry(edit.list, edit.index);
            break;
        case Edit::Op::Put: {
            int found = 0;
            for (int i = 1; i <= count && !found; ++i)
                if (sameKey(tag.model().entry(edit.list, i), edit.entry, syntax)) found = i;
            if (!found) {
                add(tag, edit);
                break;
            }
            tag::EntryColumns changed = tag.model().entry(edit.list, found);
            for (size_t c = 0; c < tag::ColumnCount; ++c)
                if (!edit.entry[c].empty() && (c != size_t(Column::PictureType) || edit.typeGiven))
                    changed[c] = edit.entry[c];
            tag.SetEntry(edit.list, changed, found);
            break;
        }
        case Edit::Op::Drop:
            for (int i = count; i >= 1; --i)
                if (sameKey(tag.model().entry(edit.list, i), edit.entry, syntax))
                    tag.DeleteEntry(edit.list, i);
            break;
        }
    }
}

std::string listSyntaxHelp(int indent) {
    std::string out;
    for (const ListSyntax& s : Syntax) {
        std::string line = "  " + std::string(tag::info(s.kind).name);
        line.append(size_t(std::max<int>(1, indent - int(line.size()))), ' ');
        out += line + "+=" + std::string(s.fieldNames) + "  [" + std::string(s.keyNames) +
               "]=" + std::string(s.valueNames) + "\n";
    }
    return out;
}

} // namespace cli
