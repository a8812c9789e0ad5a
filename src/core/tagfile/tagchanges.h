// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "id3v1/id3.h"
#include "renamer/namefields.h"
#include "tagengine/tagdata.h"
#include "tagengine/zurur24.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// What an edit of one file changed, done to other files that keep everything
// else of their own: the album of twelve songs fixed at once, the fields
// their names give, their track numbers.
namespace tagfile {

// One file's values as an edit sees them: the ID3v2 tag's texts and lists,
// and the ID3v1.1 trailer's fields (in id3::Fields order).
struct TagValues {
    tag::TagData tag;
    std::array<std::string, id3::Fields.size()> trailer{};
};

// Whether two entries of list have the same key, what tells one entry from
// the others in the format: a comment or lyric by its language and
// description, terms of use by language, the others by description.
// Descriptions count up to their zero, languages in any letter case.
bool sameKey(tag::ListKind list, const tag::EntryColumns& a, const tag::EntryColumns& b);

class TagChanges {
public:
    // What after changed of before: each text and trailer field that differs,
    // and in each list the entries added, changed and removed. An entry that
    // stands in both (wherever) is no change; one whose key stands in both is
    // changed; the others are added or removed.
    static TagChanges between(const TagValues& before, const TagValues& after);
    // The fields a file's name gives: each text and trailer field set. Raises
    // std::runtime_error for a value the window would not take (a TrackNum
    // "abc", a genre of no list), naming the field and the value.
    static TagChanges fromName(const std::vector<renamer::FieldValue>& values);

    void setText(tag::Prop prop, std::string value);
    void setTrailerField(size_t field, std::string value);

    bool empty() const;
    bool changed(tag::Prop prop) const { return m_texts[size_t(prop)].has_value(); }
    bool changed(tag::ListKind list) const;
    bool trailerChanged(size_t field) const { return m_trailer[field].has_value(); }
    bool touchesTrailer() const;

    // Makes the changes in another file's tag and trailer: the texts and
    // fields set, in each list the entries of a removed key removed, and a
    // changed or added entry put in place of the first of its key, or after
    // the last. Raises std::runtime_error, the file to be left alone, when a
    // list would hold more than 100 entries.
    void applyTo(ID3v24& tag, Id3v1& trailer) const;

private:
    struct ListChange {
        std::vector<tag::EntryColumns> removed, put;
        bool empty() const { return removed.empty() && put.empty(); }
    };
    std::array<std::optional<std::string>, tag::PropCount> m_texts;
    std::array<ListChange, tag::ListKindCount> m_lists;
    std::array<std::optional<std::string>, id3::Fields.size()> m_trailer;
};

} // namespace tagfile
