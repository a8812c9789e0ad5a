// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagfile/tagchanges.h"

#include "tagengine/zurur24.h"
#include "tagfile/valuecheck.h"
#include "text/charset.h"

#include <algorithm>
#include <stdexcept>

namespace tagfile {

namespace {

using tag::Column;
using tag::ListKind;

// The columns of each list's key, in ListKind order.
struct ListKey {
    ListKind list;
    std::array<Column, 2> columns;
    size_t count;
};
constexpr std::array<ListKey, tag::ListKindCount> Keys{{
    {ListKind::Comments, {Column::Language, Column::Description}, 2},
    {ListKind::Lyrics, {Column::Language, Column::Description}, 2},
    {ListKind::UserUrls, {Column::Description}, 1},
    {ListKind::TermsOfUse, {Column::Language}, 1},
    {ListKind::Pictures, {Column::Description}, 1},
    {ListKind::UserTexts, {Column::Description}, 1},
}};
constexpr bool keysInListOrder() {
    for (size_t i = 0; i < Keys.size(); ++i)
        if (size_t(Keys[i].list) != i) return false;
    return true;
}
static_assert(keysInListOrder());

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view untilZero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

std::vector<tag::EntryColumns> entries(const tag::TagData& tag, ListKind list) {
    std::vector<tag::EntryColumns> all;
    for (int i = 1; i <= tag.count(list); ++i)
        all.push_back(tag.entry(list, i));
    return all;
}

size_t trailerIndex(std::string Id3v1::*member) {
    size_t i = 0;
    while (id3::Fields[i].member != member)
        ++i;
    return i;
}

} // namespace

bool sameKey(ListKind list, const tag::EntryColumns& a, const tag::EntryColumns& b) {
    const ListKey& key = Keys[size_t(list)];
    for (size_t k = 0; k < key.count; ++k) {
        const Column c = key.columns[k];
        const std::string_view x = untilZero(a[size_t(c)]), y = untilZero(b[size_t(c)]);
        if (c == Column::Language ? !equalIgnoringCase(x, y) : x != y) return false;
    }
    return true;
}

TagChanges TagChanges::between(const TagValues& before, const TagValues& after) {
    TagChanges changes;
    for (size_t i = 0; i < tag::PropCount; ++i)
        if (before.tag.texts[i] != after.tag.texts[i]) changes.m_texts[i] = after.tag.texts[i];
    for (size_t i = 0; i < before.trailer.size(); ++i)
        if (before.trailer[i] != after.trailer[i]) changes.m_trailer[i] = after.trailer[i];
    for (size_t l = 0; l < tag::ListKindCount; ++l) {
        const auto list = ListKind(l);
        const auto was = entries(before.tag, list), is = entries(after.tag, list);
        std::vector<bool> kept(was.size()), same(is.size());
        // An entry that stands in both lists is no change, wherever it stands.
        for (size_t a = 0; a < is.size(); ++a)
            for (size_t b = 0; b < was.size() && !same[a]; ++b)
                if (!kept[b] && was[b] == is[a]) kept[b] = same[a] = true;
        ListChange& change = changes.m_lists[l];
        for (size_t a = 0; a < is.size(); ++a) {
            if (same[a]) continue;
            // A changed entry takes the place of the one of its key.
            for (size_t b = 0; b < was.size(); ++b)
                if (!kept[b] && sameKey(list, was[b], is[a])) {
                    kept[b] = true;
                    break;
                }
            change.put.push_back(is[a]);
        }
        for (size_t b = 0; b < was.size(); ++b)
            if (!kept[b]) change.removed.push_back(was[b]);
    }
    return changes;
}

TagChanges TagChanges::fromName(const std::vector<renamer::FieldValue>& values) {
    TagChanges changes;
    for (const renamer::FieldValue& v : values) {
        if (!charset::validUtf8(v.value)) throw std::runtime_error("the name is not UTF-8 text");
        std::string problem;
        if (v.field->v1) {
            if (v.field->v1 == &Id3v1::Genre && !v.value.empty() &&
                Id3v1::GenreNumber(v.value) == id3::NoGenre)
                problem = "is not a genre of the list";
        } else if (tag::info(v.field->prop).kind == tag::FrameKind::Url &&
                   !charset::fitsLatin1(v.value)) {
            problem = "holds a character beyond ISO-8859-1, which a URL cannot";
        } else {
            problem = valueProblem(v.field->prop, v.value);
        }
        if (!problem.empty())
            throw std::runtime_error("the name gives " + std::string(v.field->name) + " \"" +
                                     v.value + "\", which " + problem);
        if (v.field->v1)
            changes.setTrailerField(trailerIndex(v.field->v1), v.value);
        else
            changes.setText(v.field->prop, v.value);
    }
    return changes;
}

void TagChanges::setText(tag::Prop prop, std::string value) {
    m_texts[size_t(prop)] = std::move(value);
}

void TagChanges::setTrailerField(size_t field, std::string value) {
    m_trailer[field] = std::move(value);
}

bool TagChanges::changed(ListKind list) const {
    return !m_lists[size_t(list)].empty();
}

bool TagChanges::touchesTrailer() const {
    return std::any_of(m_trailer.begin(), m_trailer.end(),
                       [](const auto& field) { return field.has_value(); });
}

bool TagChanges::empty() const {
    return !touchesTrailer() &&
           std::none_of(m_texts.begin(), m_texts.end(), [](const auto& t) { return t; }) &&
           std::all_of(m_lists.begin(), m_lists.end(), [](const auto& l) { return l.empty(); });
}

void TagChanges::applyTo(ID3v24& tag, Id3v1& trailer) const {
    for (size_t i = 0; i < tag::PropCount; ++i)
        if (m_texts[i]) tag.setText(tag::Prop(i), *m_texts[i]);
    for (size_t i = 0; i < m_trailer.size(); ++i)
        if (m_trailer[i]) trailer.*id3::Fields[i].member = *m_trailer[i];
    for (size_t l = 0; l < tag::ListKindCount; ++l) {
        const auto list = ListKind(l);
        const ListChange& change = m_lists[l];
        for (int i = tag.model().count(list); i >= 1; --i) {
            const tag::EntryColumns entry = tag.model().entry(list, i);
            if (std::any_of(
                    change.removed.begin(), change.removed.end(),
                    [&](const tag::EntryColumns& gone) { return sameKey(list, gone, entry); }))
                tag.DeleteEntry(list, i);
        }
        for (const tag::EntryColumns& entry : change.put) {
            const int count = tag.model().count(list);
            int at = 1;
            while (at <= count && !sameKey(list, tag.model().entry(list, at), entry))
                ++at;
            if (at > tag::MaxEntries)
                throw std::runtime_error(std::string(tag::info(list).name) + " already holds " +
                                         std::to_string(tag::MaxEntries) + " entries");
            tag.SetEntry(list, entry, at);
        }
    }
}

} // namespace tagfile
