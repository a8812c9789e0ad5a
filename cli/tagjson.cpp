// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagjson.h"

#include "id3v1json.h"
#include "io/file.h"
#include "io/ioerror.h"
#include "linewriter.h"
#include "tagengine/writetag.h"
#include "tagengine/zurur24.h"

#include <stdexcept>

namespace tagjson {

namespace {

std::string_view baseName(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void writeHeader(LineWriter& w, const ID3v24& tag) {
    w.key("present").boolean(tag.Id3v2present);
    w.key("version").string(tag.Version);
    w.key("tagSize").number(tag.TagSize());
}

// A picture's size: what the reader extracted, or for a picture file set
// otherwise its length (-1 when it cannot be measured).
long long pictureSize(const ID3v24& tag, int n) {
    const tag::PictureEntry& picture = tag.Pictures()[n];
    if (const uint64_t extracted = tag.extractedSize(n)) return static_cast<long long>(extracted);
    try {
        return static_cast<long long>(io::fileLength(picture.pictureFile));
    } catch (const io::IoError&) {
        return -1;
    }
}

// One list as an array of objects, the columns in their order; a picture file
// by its name in the picture folder, followed by the picture's size.
template <class List> void writeList(LineWriter& w, const ID3v24& tag, const List& list) {
    w.key(list.name).beginArray();
    int n = 0;
    for (const auto& entry : tag.model().*list.member) {
        ++n;
        w.beginObject();
        for (const auto& c : list.columns) {
            const std::string_view value = entry.*c.member;
            w.member(c.name, c.column == tag::Column::PictureFile ? baseName(value) : value);
        }
        if (list.kind == tag::ListKind::Pictures) w.key("size").number(pictureSize(tag, n));
        w.endObject();
    }
    w.endArray();
}

} // namespace

std::string headerLine(const std::string& file, const ID3v24& tag) {
    LineWriter w;
    w.beginObject().key("file").string(file).key("id3v2").beginObject();
    writeHeader(w, tag);
    w.endObject().endObject();
    return w.take();
}

std::string dumpLine(const std::string& file, const ID3v24& tag, const Id3v1& trailer) {
    LineWriter w;
    w.beginObject().key("file").string(file).key("id3v2").beginObject();
    writeHeader(w, tag);
    w.key("texts").beginObject();
    for (const auto& p : tag::PropTable)
        w.member(p.name, tag.text(p.prop));
    w.endObject();
    tag::forEachList([&](const auto& list) { writeList(w, tag, list); });
    w.key("kept").beginArray();
    for (const kept::KeptFrame& k : tag.KeptFrames())
        w.beginObject().key("id").string(k.id()).key("size").number(k.size).endObject();
    w.endArray();
    w.key("dropped").beginArray();
    for (const std::string& id : tag.DroppedFrames())
        w.string(id);
    w.endArray();
    w.endObject().key("id3v1");
    writeId3v1(w, trailer);
    w.endObject();
    return w.take();
}

Json errorLine(const std::string& file, const std::string& message) {
    return Object(2).add("file", file).add("error", message).take();
}

Json lossLine(const std::string& file, const writetag::LossError& error) {
    return Object(3)
        .add("file", file)
        .add("error", std::string(error.what()) + " (--allow-loss writes it all the same)")
        .add("dropped", error.frames())
        .take();
}

} // namespace tagjson
