#pragma once

#include "tagengine/frametable.h"
#include "tagengine/keptframes.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

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

    void resetCounts() {
        comments.reset();
        lyrics.reset();
        userUrls.reset();
        termsOfUse.reset();
        pictures.reset();
        userTexts.reset();
    }
};

// What a reader fills: the tag, the number of bytes extracted for each
// picture (index n - 1 for picture n), and the frames a write would keep.
struct ReaderResult : TagData {
    std::vector<uint64_t> extractedSizes;
    std::vector<kept::KeptFrame> kept;
};

struct WriterInput : TagData {
    bool Id3v2present = false;
};

} // namespace tag
