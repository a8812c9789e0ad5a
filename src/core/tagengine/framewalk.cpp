// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/framewalk.h"

#include "tagengine/framecodec.h"
#include "tagengine/syncsafe.h"

#include <algorithm>
#include <cstring>

namespace tag {

uint32_t FrameLayout::frameSize(const uint8_t* field) const {
    switch (version) {
    case TagVersion::V22:
        return syncsafe::bigEndian24(field);
    case TagVersion::V23:
        return syncsafe::bigEndian32(field);
    default:
        return plainSizes ? syncsafe::bigEndian32(field) : syncsafe::decode(field);
    }
}

bool validFrameId(std::string_view id) {
    for (const char c : id)
        if ((c < 'A' || c > 'Z') && (c < '0' || c > '9')) return false;
    return true;
}

bool FrameWalk::next(FrameHeader& f) {
    const unsigned headerLength = m_layout.headerLength();
    if (m_at >= m_layout.end || m_layout.end - m_at < headerLength) return false;
    const uint8_t* h = m_bytes.need(m_at, headerLength);
    if (h[0] == 0) return false;
    const unsigned idLength = m_layout.idLength();
    const uint32_t size = m_layout.frameSize(h + idLength);
    if (size > m_layout.end - m_at - headerLength) {
        m_strayed = true;
        return false;
    }
    f.idLength = static_cast<uint8_t>(idLength);
    std::memcpy(f.idBytes.data(), h, idLength);
    f.status = headerLength == 10 ? h[8] : 0;
    f.format = headerLength == 10 ? h[9] : 0;
    f.at = m_at;
    f.data = m_at + headerLength;
    f.size = size;
    f.validId = validFrameId(f.id());
    if (!f.validId) m_strayed = true;
    m_at = f.end();
    return true;
}

TagFrames::TagFrames(TagBytes& fileBytes, const TagHeader& header, uint64_t limit)
    : m_fileBytes(fileBytes) {
    m_layout.version = static_cast<TagVersion>(header.version);
    m_layout.end = std::min<uint64_t>(TagHeaderSize + header.size, limit);
    if (m_layout.end < TagHeaderSize) m_layout.end = TagHeaderSize;
    if (header.unsynchronised()) {
        if (header.version == 4) {
            m_framesUnsync = true;
        } else {
            const size_t body = static_cast<size_t>(m_layout.end - TagHeaderSize);
            std::array<uint8_t, TagHeaderSize> head;
            std::memcpy(head.data(), fileBytes.need(0, TagHeaderSize), head.size());
            const uint8_t* p = fileBytes.need(TagHeaderSize, body);
            // A tag with nothing to undo is read where it stands.
            if (framecodec::hasUnsyncPair(p, body)) {
                auto copy = std::make_shared<std::vector<uint8_t>>(head.begin(), head.end());
                framecodec::undoUnsync(p, body, *copy);
                m_copyBytes = std::make_unique<TagBytes>(copy->data(), copy->size());
                m_layout.end = copy->size();
                m_copy = std::move(copy);
            }
        }
    }
    // The extended header is skipped by its size: ID3v2.3's excludes its own
    // four size bytes, ID3v2.4's includes them. Some taggers set the flag
    // without writing one: a frame ID there, or a size beyond the tag, means
    // the frames begin right after the header.
    if (header.extendedHeader() && m_layout.end - TagHeaderSize >= 4) {
        const uint8_t* e = bytes().need(TagHeaderSize, 4);
        if (!validFrameId({reinterpret_cast<const char*>(e), 4})) {
            const uint64_t length =
                header.version == 3 ? 4 + uint64_t{syncsafe::bigEndian32(e)} : syncsafe::decode(e);
            if (length >= 4 && length <= m_layout.end - TagHeaderSize)
                m_layout.begin = TagHeaderSize + length;
        }
    }
}

bool TagFrames::plainSizesFit() {
    if (m_layout.version != TagVersion::V24 || m_layout.plainSizes) return false;
    FrameLayout plain = m_layout;
    plain.plainSizes = true;
    FrameWalk w(bytes(), plain);
    for (FrameHeader f; w.next(f);) {
    }
    return !w.strayed();
}

} // namespace tag
