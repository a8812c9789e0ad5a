#pragma once

#include "tagengine/frametable.h"

#include <array>
#include <stdexcept>
#include <string>

namespace tag {

inline constexpr int MaxEntries = 100;

// All texts are single-byte strings, one character per byte, zeros included.
// Descriptions and MIME types end with their terminating zero character.
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
struct PictureEntry { // APIC
    std::string mimeType, pictureType, description, pictureFile;
    bool operator==(const PictureEntry&) const = default;
};
struct UserTextEntry { // TXXX
    std::string description, value;
    bool operator==(const UserTextEntry&) const = default;
};

// A list of up to 100 entries, indexed from 1. Entries above the count keep
// whatever they held (a Set past count + 1 leaves the ones in between as they
// were), exactly as the model's users expect.
template <class Entry> class EntryList {
public:
    int count() const { return m_count; }
    bool full() const { return m_count >= MaxEntries; }

    const Entry& operator[](int index) const {
        if (index < 1 || index > MaxEntries) throw std::out_of_range("entry index");
        return m_entries[static_cast<size_t>(index - 1)];
    }

    Entry& edit(int index) {
        if (index < 1 || index > MaxEntries) throw std::out_of_range("entry index");
        return m_entries[static_cast<size_t>(index - 1)];
    }

    // Stores entry at index and raises the count to it; an index outside
    // 1..100 changes nothing.
    bool set(int index, Entry entry) {
        if (index < 1 || index > MaxEntries) return false;
        m_entries[static_cast<size_t>(index - 1)] = std::move(entry);
        if (m_count < index) m_count = index;
        return true;
    }

    // Moves the later entries down by one; an index outside 1..count changes nothing.
    bool remove(int index) {
        if (index < 1 || index > m_count) return false;
        for (int k = index; k < m_count; ++k)
            m_entries[static_cast<size_t>(k - 1)] = m_entries[static_cast<size_t>(k)];
        --m_count;
        return true;
    }

    // For the readers: the next entry, emptied, or nullptr when the list is full.
    Entry* append() {
        if (full()) return nullptr;
        Entry& e = m_entries[static_cast<size_t>(m_count++)];
        e = Entry{};
        return &e;
    }
    void dropLast() {
        if (m_count > 0) --m_count;
    }

    // Count 0; the stale entries stay where they are.
    void reset() { m_count = 0; }

    // Copies entries 1..count of other (moving them out) and takes its count.
    void takeFrom(EntryList& other) {
        for (int k = 0; k < other.m_count; ++k)
            m_entries[static_cast<size_t>(k)] = std::move(other.m_entries[static_cast<size_t>(k)]);
        m_count = other.m_count;
    }

    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.begin() + m_count; }

private:
    std::array<Entry, MaxEntries> m_entries{};
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

    void resetCounts() {
        comments.reset();
        lyrics.reset();
        userUrls.reset();
        termsOfUse.reset();
        pictures.reset();
        userTexts.reset();
    }
};

using ReaderResult = TagData;

struct WriterInput : TagData {
    bool Id3v2present = false;
};

} // namespace tag
