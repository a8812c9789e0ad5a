// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "renamer/renamer.h"

#include "io/noreplace.h"
#include "tagengine/zurur24.h"

#include <algorithm>
#include <cctype>

namespace renamer {

namespace {

constexpr std::string_view Extension = ".mp3";

constexpr bool lessIgnoringCase(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i] >= 'a' && a[i] <= 'z' ? a[i] - 32 : a[i]);
        const auto cb = static_cast<unsigned char>(b[i] >= 'a' && b[i] <= 'z' ? b[i] - 32 : b[i]);
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

constexpr bool tableSorted() {
    for (size_t i = 1; i < FrameNameTable.size(); ++i)
        if (!lessIgnoringCase(FrameNameTable[i - 1].name, FrameNameTable[i].name)) return false;
    return true;
}
static_assert(tableSorted(), "the combo lists the names in this order");

constexpr bool id3v1RowsFound() {
    for (const FrameName& row : FrameNameTable)
        if (row.name.ends_with("(ID3v1)") != (row.v1 != nullptr)) return false;
    return true;
}
static_assert(id3v1RowsFound(), "every (ID3v1) name reads a field of the trailer");

std::string_view upToZero(const std::string& text) {
    return std::string_view(text).substr(0, text.find('\0'));
}

// Characters a name may not carry: the three the program always replaced, and
// this platform's path separator, so a value like "AC/DC" or "../x" never
// moves the file out of its folder.
bool replaced(char c) {
    return c == '?' || c == '*' || c == '\\' || c == '/';
}

} // namespace

const FrameName* findFrameName(std::string_view name) {
    for (const FrameName& row : FrameNameTable)
        if (row.name == name) return &row;
    return nullptr;
}

std::string framevalue(std::string_view name, const ID3v24& tag, const Id3v1& v1) {
    const FrameName* row = findFrameName(name);
    if (!row) return {};
    return std::string(upToZero(row->v1 ? v1.*(row->v1) : tag.text(row->prop)));
}

std::string previewname(const Template& rows) {
    std::string name;
    for (const TemplateRow& row : rows)
        name += row.prefix + row.frameName + row.suffix;
    return name += Extension;
}

std::string makenewname(const Template& rows, const ValueLookup& value) {
    std::string name;
    for (const TemplateRow& row : rows) {
        name += row.prefix;
        name += upToZero(value(row.frameName));
        name += row.suffix;
    }
    std::replace_if(name.begin(), name.end(), replaced, '_');
    return name += Extension;
}

std::string makenewname(const Template& rows, const ID3v24& tag, const Id3v1& v1) {
    return makenewname(rows, [&](std::string_view name) { return framevalue(name, tag, v1); });
}

std::string limitName(std::string name) {
    if (name.size() <= MaxNameBytes) return name;
    size_t cut = CutNameBytes;
    // Never end inside a character: step back over UTF-8 continuation bytes.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    name.resize(cut);
    return name += Extension;
}

std::string renamefile(const std::string& folder, const std::string& oldName,
                       const std::string& newName, const std::string& numberText) {
    const std::string from = folder + oldName;
    std::string name = limitName(newName);
    try {
        io::renameNoReplace(from, folder + name);
        return name;
    } catch (const std::exception&) {
        // Taken or refused: the row's number in front makes the name unique
        // within the selection; a second failure is the user's to see.
    }
    name = limitName(numberText + name);
    io::renameNoReplace(from, folder + name);
    return name;
}

} // namespace renamer
