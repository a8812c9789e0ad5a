// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag names and number: fields from the files' names, read by a
// rename template, and track numbers in the order the files are given. Each
// writes only those fields; every file keeps everything else.
#include "commands.h"
#include "edits.h"
#include "id3v1/id3.h"
#include "renamer/namefields.h"
#include "runfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/tagchanges.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace cli {

namespace {

// A field of the template by its display name ("Track Num.", "Title(ID3v1)")
// or by the name of its text property ("TrackNum").
const renamer::FrameName* fieldByName(std::string_view name) {
    if (const renamer::FrameName* row = renamer::findFrameName(name)) return row;
    const auto prop = tag::propByName(name);
    for (const renamer::FrameName& row : renamer::FrameNameTable)
        if (prop && !row.v1 && row.prop == *prop) return &row;
    return nullptr;
}

// The template of the command line: text with fields in braces, as
// "{Track Num.} - {Artist} - {Title}"; each field makes a row with the text
// before it as its prefix, and the text after the last one is its suffix.
renamer::Template parseTemplate(std::string_view text) {
    renamer::Template rows;
    std::string literal;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            if (i + 1 == text.size() || std::strchr("{}\\", text[i + 1]) == nullptr)
                throw InputError("a backslash in the template stands only before \"{\", \"}\" "
                                 "or \"\\\"");
            literal += text[++i];
        } else if (c == '{') {
            const size_t close = text.find('}', i);
            if (close == std::string_view::npos)
                throw InputError("the template's \"{\" at " + std::to_string(i + 1) +
                                 " has no \"}\"");
            const std::string_view name = text.substr(i + 1, close - i - 1);
            const renamer::FrameName* field = fieldByName(name);
            if (!field)
                throw InputError("the template names no field \"" + std::string(name) +
                                 "\": the renamer's frame names and dump's texts are fields");
            rows.push_back({std::move(literal), std::string(field->name), {}});
            literal.clear();
            i = close;
        } else if (c == '}') {
            throw InputError("the template's \"}\" at " + std::to_string(i + 1) +
                             " closes no \"{\"");
        } else {
            literal += c;
        }
    }
    if (rows.empty()) throw InputError("the template names no field: {Title}, {Track Num.}, ...");
    rows.back().suffix = std::move(literal);
    return rows;
}

} // namespace

int names(const Args& args) {
    renamer::Template rows;
    try {
        rows = parseTemplate(args.pattern);
    } catch (const InputError& e) {
        std::fprintf(stderr, "quillet-tag: names: %s\n", e.what());
        return ExitUsage;
    }
    bool v1 = false;
    for (const renamer::TemplateRow& row : rows)
        v1 |= renamer::findFrameName(row.frameName)->v1 != nullptr;
    return editEach(args, v1, [&](size_t, const std::string& file, ID3v24& tag, Id3v1& trailer) {
        const std::string name = std::filesystem::path(file).filename().string();
        const auto values = renamer::fieldsFromName(rows, renamer::withoutExtension(name));
        if (!values) throw std::runtime_error("the name does not match the template");
        tagfile::TagChanges::fromName(*values).applyTo(tag, trailer);
    });
}

int number(const Args& args) {
    const std::vector<std::string> numbers = renamer::trackNumbers(args.files.size(), args.total);
    return editEach(args, false, [&](size_t i, const std::string&, ID3v24& tag, Id3v1&) {
        tag.setText(tag::Prop::TrackNum, numbers[i]);
    });
}

} // namespace cli
