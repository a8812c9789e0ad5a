// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "id3v1json.h"

#include "id3v1/id3.h"
#include "linewriter.h"

#include <stdexcept>

namespace tagjson {

Json id3v1(const Id3v1& tag) {
    Object j(1 + id3::Fields.size());
    j.add("present", tag.ID3v1Present);
    for (const id3::Field& f : id3::Fields)
        j.add(f.name, tag.*f.member);
    return j.take();
}

void writeId3v1(LineWriter& w, const Id3v1& tag) {
    w.beginObject().key("present").boolean(tag.ID3v1Present);
    for (const id3::Field& f : id3::Fields)
        w.member(f.name, tag.*f.member);
    w.endObject();
}

void applyId3v1(const Json& member, Id3v1& tag) {
    if (!member.is_object()) throw std::invalid_argument("\"id3v1\" is not an object");
    // Check everything first, so that a bad member changes no field.
    Id3v1 staged = tag;
    for (auto it = member.begin(); it != member.end(); ++it) {
        if (it.key() == "present") continue;
        const id3::Field* f = id3::field(it.key());
        if (!f) throw std::invalid_argument("\"id3v1\" has no member \"" + it.key() + "\"");
        if (!it->is_string())
            throw std::invalid_argument("\"id3v1\" member \"" + it.key() + "\" is not a string");
        staged.*f->member = it->get_ref<const std::string&>();
    }
    tag = std::move(staged);
}

} // namespace tagjson
