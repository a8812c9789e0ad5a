// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag write and set: the editor's two ways of writing tags, from the
// command line. write puts one tag (JSON on standard input) into every file,
// as "Write for all" does; set changes text properties of each file's own tag,
// and entries of its lists, as an edit of one file in the editor does.
#include "commands.h"
#include "edits.h"
#include "id3v1/id3.h"
#include "id3v1json.h"
#include "io/file.h"
#include "io/ioerror.h"
#include "runfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/batch.h"
#include "tagjson.h"
#include "text/charset.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace cli {

namespace {

writetag::Loss loss(const Args& args) {
    return args.allowLoss ? writetag::Loss::Allow : writetag::Loss::Refuse;
}

using tagjson::Json;

int inputError(const std::string& message) {
    std::fprintf(stderr, "quillet-tag: %s\n", message.c_str());
    return ExitUsage;
}

// A JSON string as tag text; absent or null is empty.
std::string textOf(const Json& object, std::string_view name, const std::string& where) {
    const std::string key(name);
    const auto it = object.find(key);
    if (it == object.end() || it->is_null()) return {};
    if (!it->is_string()) throw InputError(where + ": \"" + key + "\" must be a string");
    return it->get_ref<const std::string&>();
}

// The format keeps URLs, MIME types and languages in ISO-8859-1.
std::string latin1Only(std::string text, const std::string& where) {
    if (!charset::fitsLatin1(text))
        throw InputError(where + ": holds a character beyond ISO-8859-1");
    return text;
}

// The value of a text property: URLs are ISO-8859-1.
std::string propertyValue(tag::Prop prop, std::string value, const std::string& where) {
    return tag::info(prop).kind == tag::FrameKind::Url ? latin1Only(std::move(value), where)
                                                       : value;
}

// Calls add(entry, index) for the entries of one list (absent: none).
template <class HasMember, class Add>
void forEachEntry(const Json& v2, std::string_view name, HasMember&& hasMember, Add&& add) {
    const std::string list(name);
    const auto it = v2.find(list);
    if (it == v2.end() || it->is_null()) return;
    if (!it->is_array()) throw InputError(std::string("\"") + list + "\" must be a list");
    if (it->size() > static_cast<size_t>(tag::MaxEntries))
        throw InputError(std::string("\"") + list + "\" holds more than " +
                         std::to_string(tag::MaxEntries) + " entries");
    int index = 0;
    for (const Json& entry : *it) {
        const std::string where = list + "[" + std::to_string(index) + "]";
        if (!entry.is_object()) throw InputError(where + " must be an object");
        for (const auto& [key, value] : entry.items())
            if (key != "size" && !hasMember(key))
                throw InputError(where + ": \"" + key + "\" is no member of its entries");
        add(entry, ++index, where);
    }
}

// A picture's file as the writer will open it: a relative one is taken from
// pictureFolder when one is given, so that the names dump printed for its
// --temp folder work. Checked here, so that a missing picture is reported as
// such and not as a failure of every MP3 file.
std::string pictureFile(std::string file, const std::string& pictureFolder, const std::string& at) {
    if (!pictureFolder.empty() && !file.empty() && file[0] != '/')
        file = (std::filesystem::path(pictureFolder) / file).string();
    try {
        io::File(file, io::File::Mode::Read).close();
    } catch (const io::IoError& error) {
        throw InputError(at + ": picture file \"" + file + "\": " + error.what());
    }
    return file;
}

// What dump prints about a tag that a write does not take: it is what a
// read found, not what is to be written.
constexpr std::string_view ReadOnlyMembers[] = {"present", "version", "tagSize", "kept", "dropped"};

bool isTagMember(std::string_view key) {
    if (key == "texts" || std::find(std::begin(ReadOnlyMembers), std::end(ReadOnlyMembers), key) !=
                              std::end(ReadOnlyMembers))
        return true;
    bool list = false;
    tag::forEachList([&](const auto& l) { list |= l.name == key; });
    return list;
}

// Refuses what is not a tag: the error line of a file that failed, or an
// object with members of neither the tag nor a dump line, so that a pipe
// from a failed dump never blanks the files it writes.
void requireTagShape(const Json& input) {
    if (const auto error = input.find("error"); error != input.end())
        throw InputError("standard input is the error line of a file that failed (" +
                         tagjson::line(*error) + "), not a tag");
    const bool dumpLine = input.contains("id3v2");
    for (const auto& [key, value] : input.items()) {
        const bool known =
            dumpLine ? key == "file" || key == "id3v2" || key == "id3v1" || key == "dropped"
                     : key == "id3v1" || isTagMember(key);
        if (!known)
            throw InputError("standard input: \"" + key +
                             "\" is no member of a tag (\"texts\" and the six lists) nor of a "
                             "dump line");
    }
    if (!dumpLine) return;
    const Json& v2 = input["id3v2"];
    if (!v2.is_object()) throw InputError("\"id3v2\" must be an object");
    for (const auto& [key, value] : v2.items())
        if (!isTagMember(key))
            throw InputError("\"id3v2\": \"" + key +
                             "\" is no member of a tag (\"texts\" and the six lists)");
}

// Loads the "id3v2" shape of dump ("texts" and the six lists) into the model.
// A whole dump line is taken too: then its "id3v2" member is the tag.
void loadModel(const Json& input, const std::string& pictureFolder, ID3v24& tag) {
    requireTagShape(input);
    const Json& v2 = input.contains("id3v2") ? input["id3v2"] : input;
    if (const auto texts = v2.find("texts"); texts != v2.end() && !texts->is_null()) {
        if (!texts->is_object()) throw InputError("\"texts\" must be an object");
        for (const auto& [name, value] : texts->items()) {
            const auto prop = tag::propByName(name);
            if (!prop) throw InputError("\"texts\": unknown property " + name);
            tag.setText(*prop,
                        propertyValue(*prop, textOf(*texts, name, "texts"), "\"texts\": " + name));
        }
    }
    // Descriptions and MIME types end with their zero character in the model;
    // one typed without it gets it, as the editor's dialogs add it.
    tag::forEachList([&](const auto& list) {
        const auto hasMember = [&](const std::string& key) {
            for (const auto& c : list.columns)
                if (c.name == key) return true;
            return false;
        };
        forEachEntry(v2, list.name, hasMember, [&](const Json& e, int i, const std::string& at) {
            tag::EntryColumns columns;
            for (const auto& c : list.columns) {
                std::string value = textOf(e, c.name, at);
                if (tag::latin1Only(list.kind, c.column))
                    value = latin1Only(std::move(value), at + ": \"" + std::string(c.name) + "\"");
                if (tag::zeroEnded(c.column)) value = tag::withTerminator(std::move(value));
                if (c.column == tag::Column::PictureFile)
                    value = pictureFile(value, pictureFolder, at);
                columns[size_t(c.column)] = std::move(value);
            }
            tag.SetEntry(list.kind, columns, i);
        });
    });
}

// The optional "id3v1" member (dump's shape), taken before any file is
// touched; written into each file after its ID3v2 tag, as "Write Tag" does.
std::unique_ptr<Id3v1> id3v1Member(const Json& input) {
    const auto it = input.find("id3v1");
    if (it == input.end() || it->is_null()) return nullptr;
    auto trailer = std::make_unique<Id3v1>();
    try {
        tagjson::applyId3v1(*it, *trailer);
    } catch (const std::invalid_argument& e) {
        throw InputError(std::string("\"id3v1\": ") + e.what());
    }
    return trailer;
}

} // namespace

int write(const Args& args) {
    // One model for every file, as "Write for all" has it.
    auto tag = std::make_unique<ID3v24>();
    Json input;
    std::unique_ptr<Id3v1> id3v1;
    try {
        const std::string text{std::istreambuf_iterator<char>(std::cin),
                               std::istreambuf_iterator<char>()};
        // One value: a dump of several files is several lines, not one tag.
        std::istringstream in(text);
        in >> input;
        if ((in >> std::ws).peek() != std::char_traits<char>::eof())
            throw InputError("standard input holds more than one JSON value: write takes one "
                             "tag (one line of dump)");
        if (!input.is_object()) throw InputError("standard input must hold one JSON object");
        loadModel(input, args.temp, *tag);
        id3v1 = id3v1Member(input);
    } catch (const Json::parse_error& e) {
        return inputError(std::string("standard input is not JSON: ") + e.what());
    } catch (const InputError& e) {
        return inputError(e.what());
    }
    std::unique_ptr<RunJournal> journal;
    if (!startJournal(args, journal::Kind::Write, journal)) return ExitFailed;
    bool allWritten = inBatches(args, journal->recording(), [&](tagfile::Batch& batch, size_t i) {
        batch.planWrite(*tag, args.files[i], id3v1.get(), {args.force, loss(args)}, i);
    });
    allWritten &= journal->finish();
    return allWritten ? ExitOk : ExitFailed;
}

int editEach(const Args& args, bool withTrailer, const FileChange& change) {
    std::unique_ptr<RunJournal> journal;
    if (!startJournal(args, journal::Kind::Write, journal)) return ExitFailed;
    auto tag = std::make_unique<ID3v24>();
    bool allWritten = inBatches(args, journal->recording(), [&](tagfile::Batch& batch, size_t i) {
        const std::string& file = args.files[i];
        Id3v1 trailer;
        // The write reads the file's own tag, through its own open file, and
        // keeps its pictures from the bytes it read.
        batch.planWrite(*tag, file, withTrailer ? &trailer : nullptr, {args.force, loss(args)}, i,
                        [&](ID3v24& t, Id3v1& v1) { change(i, file, t, v1); });
    });
    allWritten &= journal->finish();
    return allWritten ? ExitOk : ExitFailed;
}

int set(const Args& args) {
    std::vector<Edit> edits;
    try {
        edits = parseEdits(args.assignments);
    } catch (const InputError& e) {
        return inputError(std::string("set: ") + e.what());
    }
    return editEach(args, false, [&](size_t, const std::string&, ID3v24& tag, Id3v1&) {
        applyEdits(edits, tag);
    });
}

} // namespace cli
