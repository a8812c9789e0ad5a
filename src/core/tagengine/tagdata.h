// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/frametable.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

// A frame of a file's tag that the model does not hold and a write carries
// over (see keptframes.h): its header as it is written and where its data lies.
namespace kept {

struct KeptFrame {
    // The frame header as it is written: the ID3v2.4 ID (an older frame's
    // twin), a syncsafe size, the status flags in their ID3v2.4 bits, and the
    // format flags of what the data still holds (a group byte, or data that
    // is encrypted or does not inflate).
    std::array<uint8_t, 10> header;
    uint64_t data; // offset of the frame's data in the file it was found in, or in store
    uint32_t size; // bytes of data
    // The bytes the data lies in when they are not the file's as they stand
    // (unsynchronisation undone, a frame inflated or converted).
    std::shared_ptr<const std::vector<uint8_t>> store;

    std::string_view id() const { return {reinterpret_cast<const char*>(header.data()), 4}; }
    // The data, where it lies in memory: in store, or in fileBytes (the whole
    // file it was found in).
    const uint8_t* bytes(const uint8_t* fileBytes) const {
        return (store ? store->data() : fileBytes) + data;
    }
};

} // namespace kept

namespace tag {

inline constexpr int MaxEntries = 100;

// All texts are Unicode in UTF-8, zero characters included. Descriptions and
// MIME types end with their terminating zero character.
struct LangEntry { // COMM and USLT
    std::string text, language, description;
    bool operator==(const LangEntry&) const = default;
};
struct UserUrlEntry { // WXXX
    std::string description, url;
    bool operator==(const UserUrlEntry&) const = default;
};
struct TermsEntry { // USER
    std::string text, language;
    bool operator==(const TermsEntry&) const = default;
};
// Bytes held in memory, shared with what owns them: a picture a read took
// without writing it into a file (the tag's bytes as read), or a picture file
// read once for a whole run.
struct HeldBytes {
    std::shared_ptr<const void> owner;
    const uint8_t* data = nullptr;
    uint64_t size = 0;

    explicit operator bool() const { return owner != nullptr; }
    bool operator==(const HeldBytes& other) const {
        return size == other.size &&
               (data == other.data || size == 0 ||
                (data && other.data && std::memcmp(data, other.data, size) == 0));
    }
};
struct PictureEntry { // APIC
    PictureEntry() = default;
    PictureEntry(std::string mime, std::string type, std::string desc, std::string file,
                 HeldBytes bytes = {})
        : mimeType(std::move(mime)), pictureType(std::move(type)), description(std::move(desc)),
          pictureFile(std::move(file)), held(std::move(bytes)) {}

    std::string mimeType, pictureType, description, pictureFile;
    // The picture's bytes, when they are held in memory: a write takes them
    // in place of the picture file's (which may then be empty).
    HeldBytes held;
    bool operator==(const PictureEntry&) const = default;
};
struct UserTextEntry { // TXXX
    std::string description, value;
    bool operator==(const UserTextEntry&) const = default;
};

// The text columns an entry of a list can have, in the order the window shows
// them. A description and a MIME type end with their zero character.
enum class Column : uint8_t { Description, Language, Text, MimeType, PictureType, PictureFile };
inline constexpr size_t ColumnCount = 6;
using EntryColumns = std::array<std::string, ColumnCount>; // by Column, "" where a list has none

constexpr bool zeroEnded(Column c) {
    return c == Column::Description || c == Column::MimeType;
}
// Columns the format keeps in ISO-8859-1 whatever a frame's encoding: the
// language, the MIME type and a user URL.
constexpr bool latin1Only(ListKind list, Column c) {
    return c == Column::Language || c == Column::MimeType ||
           (list == ListKind::UserUrls && c == Column::Text);
}
// A text with the one zero character that ends a description or MIME type in
// the model: appended when it is missing.
inline std::string withTerminator(std::string text) {
    if (text.empty() || text.back() != '\0') text.push_back('\0');
    return text;
}

// A list of up to 100 entries, indexed from 1. Entries above the count keep
// whatever they held (a Set past count + 1 leaves the ones in between as they
// were), exactly as the model's users expect. Storage grows to the highest
// index ever stored, so an empty list costs nothing to make or copy.
template <class Entry> class EntryList {
public:
    int count() const { return m_count; }
    bool full() const { return m_count >= MaxEntries; }

    const Entry& operator[](int index) const {
        check(index);
        static const Entry never{};
        return static_cast<size_t>(index) <= m_entries.size() ? at(index) : never;
    }

    Entry& edit(int index) {
        check(index);
        grow(index);
        return at(index);
    }

    // Stores entry at index and raises the count to it; an index outside
    // 1..100 changes nothing.
    bool set(int index, Entry entry) {
        if (index < 1 || index > MaxEntries) return false;
        grow(index);
        at(index) = std::move(entry);
        if (m_count < index) m_count = index;
        return true;
    }

    // Moves the later entries down by one; an index outside 1..count changes
    // nothing. The old last entry stays beyond the count.
    bool remove(int index) {
        if (index < 1 || index > m_count) return false;
        for (int k = index; k < m_count; ++k)
            at(k) = at(k + 1);
        --m_count;
        return true;
    }

    // Count 0; the stale entries stay where they are.
    void reset() { m_count = 0; }

    // Copies entries 1..count of other (moving them out) and takes its count.
    void takeFrom(EntryList& other) {
        grow(other.m_count);
        for (int k = 1; k <= other.m_count; ++k)
            at(k) = std::move(other.at(k));
        m_count = other.m_count;
    }

    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.begin() + m_count; }

private:
    static void check(int index) {
        if (index < 1 || index > MaxEntries) throw std::out_of_range("entry index");
    }
    void grow(int index) {
        if (m_entries.size() < static_cast<size_t>(index))
            m_entries.resize(static_cast<size_t>(index));
    }
    Entry& at(int index) { return m_entries[static_cast<size_t>(index - 1)]; }
    const Entry& at(int index) const { return m_entries[static_cast<size_t>(index - 1)]; }

    std::vector<Entry> m_entries; // never shorter than the count
    int m_count = 0;
};

// The 44 texts and six lists of a tag: the model's content, and the shape of
// the records the readers fill and the writer reads.
struct TagData {
    std::array<std::string, PropCount> texts;
    EntryList<LangEntry> comments;
    EntryList<LangEntry> lyrics;
    EntryList<UserUrlEntry> userUrls;
    EntryList<TermsEntry> termsOfUse;
    EntryList<PictureEntry> pictures;
    EntryList<UserTextEntry> userTexts;

    std::string& text(Prop p) { return texts[static_cast<size_t>(p)]; }
    const std::string& text(Prop p) const { return texts[static_cast<size_t>(p)]; }

    // Every list at count 0.
    void resetCounts();
    // Copies every list of other (moving its entries out) and takes its counts.
    void takeListsFrom(TagData& other);

    // Any list by its kind, its entries as columns (see Lists below).
    int count(ListKind kind) const;
    bool full(ListKind kind) const { return count(kind) >= MaxEntries; }
    // Entry index (1..100) of the list, the columns it lacks empty.
    EntryColumns entry(ListKind kind, int index) const;
    // EntryList::set and EntryList::remove of the list; the columns it lacks are ignored.
    bool setEntry(ListKind kind, int index, EntryColumns columns);
    bool removeEntry(ListKind kind, int index);
};

// One text column of an entry: what it holds, its name in quillet-tag's JSON,
// and the member that keeps it.
template <class Entry> struct ColumnInfo {
    Column column;
    std::string_view name;
    std::string Entry::*member;
};

// One list of repeated frames: its kind, its name (the model's and the JSON's),
// its frame ID (the same in ID3v2.3 and ID3v2.4), the model's member that
// holds it, and its columns in the order quillet-tag writes them.
template <class Entry, size_t N> struct ListInfo {
    using EntryType = Entry;
    ListKind kind;
    std::string_view name;
    std::string_view frame;
    EntryList<Entry> TagData::*member;
    std::array<ColumnInfo<Entry>, N> columns;

    constexpr bool has(Column c) const {
        for (const auto& info : columns)
            if (info.column == c) return true;
        return false;
    }
};

// The six lists, in ListKind order.
inline constexpr std::tuple Lists{
    ListInfo<LangEntry, 3>{ListKind::Comments,
                           "Comments",
                           "COMM",
                           &TagData::comments,
                           {{{Column::Text, "text", &LangEntry::text},
                             {Column::Language, "language", &LangEntry::language},
                             {Column::Description, "description", &LangEntry::description}}}},
    ListInfo<LangEntry, 3>{ListKind::Lyrics,
                           "Lyrics",
                           "USLT",
                           &TagData::lyrics,
                           {{{Column::Text, "text", &LangEntry::text},
                             {Column::Language, "language", &LangEntry::language},
                             {Column::Description, "description", &LangEntry::description}}}},
    ListInfo<UserUrlEntry, 2>{ListKind::UserUrls,
                              "UserUrls",
                              "WXXX",
                              &TagData::userUrls,
                              {{{Column::Description, "description", &UserUrlEntry::description},
                                {Column::Text, "url", &UserUrlEntry::url}}}},
    ListInfo<TermsEntry, 2>{ListKind::TermsOfUse,
                            "TermsOfUse",
                            "USER",
                            &TagData::termsOfUse,
                            {{{Column::Text, "text", &TermsEntry::text},
                              {Column::Language, "language", &TermsEntry::language}}}},
    ListInfo<PictureEntry, 4>{ListKind::Pictures,
                              "Pictures",
                              "APIC",
                              &TagData::pictures,
                              {{{Column::MimeType, "mimeType", &PictureEntry::mimeType},
                                {Column::PictureType, "pictureType", &PictureEntry::pictureType},
                                {Column::Description, "description", &PictureEntry::description},
                                {Column::PictureFile, "pictureFile", &PictureEntry::pictureFile}}}},
    ListInfo<UserTextEntry, 2>{ListKind::UserTexts,
                               "UserTexts",
                               "TXXX",
                               &TagData::userTexts,
                               {{{Column::Description, "description", &UserTextEntry::description},
                                 {Column::Text, "value", &UserTextEntry::value}}}},
};
static_assert(std::tuple_size_v<decltype(Lists)> == ListKindCount);

// Calls f with every list's ListInfo, in ListKind order.
template <class F> constexpr void forEachList(F&& f) {
    std::apply([&](const auto&... list) { (f(list), ...); }, Lists);
}

// Returns f(the ListInfo of kind); f gives the same type for every list.
template <class F, size_t I = 0> constexpr decltype(auto) visitList(ListKind kind, F&& f) {
    static_assert(size_t(std::get<I>(Lists).kind) == I, "Lists are in ListKind order");
    if constexpr (I + 1 == ListKindCount) {
        return f(std::get<I>(Lists));
    } else {
        if (size_t(kind) == I) return f(std::get<I>(Lists));
        return visitList<F, I + 1>(kind, std::forward<F>(f));
    }
}

// What every list has, whatever its entries: for tables and messages.
struct ListName {
    ListKind kind;
    std::string_view name;
    std::string_view frame;
};
constexpr ListName info(ListKind kind) {
    return visitList(kind, [](const auto& l) { return ListName{l.kind, l.name, l.frame}; });
}
constexpr bool hasColumn(ListKind kind, Column c) {
    return visitList(kind, [c](const auto& l) { return l.has(c); });
}

inline void TagData::resetCounts() {
    forEachList([this](const auto& l) { (this->*l.member).reset(); });
}

inline void TagData::takeListsFrom(TagData& other) {
    forEachList([&](const auto& l) { (this->*l.member).takeFrom(other.*l.member); });
}

inline int TagData::count(ListKind kind) const {
    return visitList(kind, [this](const auto& l) { return (this->*l.member).count(); });
}

inline EntryColumns TagData::entry(ListKind kind, int index) const {
    return visitList(kind, [&](const auto& l) {
        EntryColumns columns;
        const auto& entry = (this->*l.member)[index];
        for (const auto& c : l.columns)
            columns[size_t(c.column)] = entry.*c.member;
        return columns;
    });
}

inline bool TagData::setEntry(ListKind kind, int index, EntryColumns columns) {
    return visitList(kind, [&](const auto& l) {
        typename std::decay_t<decltype(l)>::EntryType entry;
        for (const auto& c : l.columns)
            entry.*c.member = std::move(columns[size_t(c.column)]);
        return (this->*l.member).set(index, std::move(entry));
    });
}

inline bool TagData::removeEntry(ListKind kind, int index) {
    return visitList(kind, [&](const auto& l) { return (this->*l.member).remove(index); });
}

// What a reader fills: the tag, the number of bytes extracted for each
// picture (index n - 1 for picture n), the frames a write would keep, and the
// IDs of those it could not keep (an ID that is not a frame ID spelled with
// its bytes in hex).
struct ReaderResult : TagData {
    std::vector<uint64_t> extractedSizes;
    std::vector<kept::KeptFrame> kept;
    std::vector<std::string> dropped;
};

struct WriterInput : TagData {
    bool Id3v2present = false;
};

} // namespace tag
