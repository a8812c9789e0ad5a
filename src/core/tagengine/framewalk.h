// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/frametable.h"
#include "tagengine/tagbytes.h"
#include "tagengine/tagheader.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// The one walk over the frames of a tag: the three readers, the scan of the
// frames a write keeps and the undo journal's split of a tag region all take
// frames where it takes them and end where it ends.
namespace tag {

// A frame as the walk finds it: its ID, where its header and data lie, and
// its two flag bytes (none in ID3v2.2).
struct FrameHeader {
    std::array<char, 4> idBytes{};
    uint8_t idLength = 4;
    uint64_t at = 0;   // the first byte of the frame header
    uint64_t data = 0; // the first data byte
    uint32_t size = 0; // data bytes
    uint8_t status = 0, format = 0;
    bool validId = true; // made of A-Z and 0-9

    std::string_view id() const { return {idBytes.data(), idLength}; }
    uint64_t end() const { return data + size; }
};

// Where the frames of a tag lie and how their headers read.
struct FrameLayout {
    TagVersion version = TagVersion::V24;
    uint64_t begin = TagHeaderSize; // the first frame: after the header and an extended header
    uint64_t end = TagHeaderSize;   // the end of the frames' room: 10 + the header's size
    bool plainSizes = false;        // an ID3v2.4 tag whose frame sizes are plain integers

    unsigned idLength() const { return version == TagVersion::V22 ? 3 : 4; }
    unsigned headerLength() const { return version == TagVersion::V22 ? 6 : 10; }
    uint32_t frameSize(const uint8_t* sizeField) const;
};

// Whether every character of the ID is one of A-Z and 0-9, as in every frame ID.
bool validFrameId(std::string_view id);

// Takes the frames one after the other. A frame is taken while its header
// fits before the end, its ID does not begin with a zero byte (padding begins
// there) and its data ends at the end or before; the walk ends where one of
// these first fails.
class FrameWalk {
public:
    FrameWalk(TagBytes& bytes, const FrameLayout& layout)
        : m_bytes(bytes), m_layout(layout), m_at(layout.begin) {}

    bool next(FrameHeader& frame);
    // Where the walk stands: after the last frame taken.
    uint64_t position() const { return m_at; }
    // Whether it met an ID that is no frame ID, or ended at a frame reaching
    // past the end: signs that the sizes are read the wrong way.
    bool strayed() const { return m_strayed; }

private:
    TagBytes& m_bytes;
    FrameLayout m_layout;
    uint64_t m_at;
    bool m_strayed = false;
};

// The frames of one tag as the walks read them: the file's bytes, or for a
// tag unsynchronised as a whole (ID3v2.2, 2.3) one copy with the
// unsynchronisation undone, and where its frames lie. The header must be
// readable; limit bounds the frames' room further (a region of the file).
class TagFrames {
public:
    TagFrames(TagBytes& fileBytes, const TagHeader& header, uint64_t limit = UINT64_MAX);

    TagBytes& bytes() { return m_copy ? *m_copyBytes : m_fileBytes; }
    const FrameLayout& layout() const { return m_layout; }
    // The copy the frames are read from, when they are not the file's bytes.
    const std::shared_ptr<const std::vector<uint8_t>>& copy() const { return m_copy; }
    // Every frame's data is unsynchronised (an ID3v2.4 header flag).
    bool framesUnsynchronised() const { return m_framesUnsync; }

    // Runs start(), then visit(frame) for each frame the walk takes. An
    // ID3v2.4 walk that strays while the frames walk cleanly with plain
    // integer sizes (what some taggers wrote) runs again with those, from
    // start() on.
    template <class Start, class Visit> void walk(Start&& start, Visit&& visit) {
        for (;;) {
            start();
            FrameWalk w(bytes(), m_layout);
            for (FrameHeader f; w.next(f);)
                visit(f);
            if (!w.strayed() || !plainSizesFit()) return;
            m_layout.plainSizes = true;
        }
    }

private:
    bool plainSizesFit();

    TagBytes& m_fileBytes;
    FrameLayout m_layout;
    std::shared_ptr<const std::vector<uint8_t>> m_copy;
    std::unique_ptr<TagBytes> m_copyBytes;
    bool m_framesUnsync = false;
};

// The whole frames of the tag at the start of region (the file's bytes as
// they stand, header first), as the walk takes them: visit(offset, length),
// the header included in each. A tag the walk cannot take in place (none, one
// that is not readable, one unsynchronised as a whole) gives no frame.
// Returns where the frames end (0 when none is taken).
template <class Visit> uint64_t forEachFrameIn(std::span<const uint8_t> region, Visit&& visit) {
    if (region.size() < TagHeaderSize) return 0;
    const TagHeader header = parseTagHeader(region.data());
    if (!header.readable() || (header.unsynchronised() && header.version < 4)) return 0;
    TagBytes bytes(region.data(), region.size());
    TagFrames frames(bytes, header, region.size());
    // Visited once the walk knows how its sizes read.
    std::vector<std::pair<uint64_t, uint64_t>> spans;
    frames.walk([&] { spans.clear(); },
                [&](const FrameHeader& f) { spans.emplace_back(f.at, f.end() - f.at); });
    for (const auto& [at, length] : spans)
        visit(at, length);
    return spans.empty() ? 0 : spans.back().first + spans.back().second;
}

} // namespace tag
