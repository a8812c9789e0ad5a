// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/keptframes.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "tagengine/frameids.h"
#include "tagengine/syncsafe.h"

#include <algorithm>
#include <cstring>

namespace kept {

namespace {

// IDs an ID3v2.3 tag holds for the model besides the ID3v2.4 ones.
constexpr std::array<std::string_view, 9> HeldInV23{"TORY", "TRDA", "TYER", "TDAT", "TIME",
                                                    "TSIZ", "RVAD", "EQUA", "IPLS"};

bool frameIdCharacter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Frame headers are read through a small window: the frames a walk skips,
// pictures above all, are never read.
class HeaderWindow {
public:
    HeaderWindow(const io::File& file, uint64_t end) : m_file(file), m_end(end) {}

    // The 10 bytes at offset (offset + 10 <= end).
    const uint8_t* at(uint64_t offset) {
        if (offset < m_start || offset + 10 > m_start + m_length) {
            m_length = static_cast<size_t>(std::min<uint64_t>(m_buffer.size(), m_end - offset));
            m_file.readExactAt(m_buffer.data(), m_length, offset);
            m_start = offset;
        }
        return m_buffer.data() + (offset - m_start);
    }

private:
    const io::File& m_file;
    uint64_t m_end;
    std::array<uint8_t, 4096> m_buffer;
    uint64_t m_start = 0;
    size_t m_length = 0;
};

} // namespace

bool held(tag::TagVersion version, std::string_view id) {
    if (tag::lookupFrame(tag::TagVersion::V24, id)) return true;
    return version == tag::TagVersion::V23 &&
           std::find(HeldInV23.begin(), HeldInV23.end(), id) != HeldInV23.end();
}

std::optional<KeptFrame> keep(tag::TagVersion version, const uint8_t* raw, uint64_t data,
                              uint32_t size) {
    if (version == tag::TagVersion::V22 || !std::all_of(raw, raw + 4, frameIdCharacter))
        return std::nullopt;
    const uint8_t status = raw[8], format = raw[9];
    if (version == tag::TagVersion::V24 ? (status & 0x40) != 0
                                        : (status & 0x80) != 0 || (format & 0xE0) != 0)
        return std::nullopt;
    if (held(version, {reinterpret_cast<const char*>(raw), 4})) return std::nullopt;
    KeptFrame frame{{}, data, size};
    std::memcpy(frame.header.data(), raw, frame.header.size());
    if (version == tag::TagVersion::V23) {
        const auto syncsafeSize = syncsafe::encode(size);
        std::memcpy(frame.header.data() + 4, syncsafeSize.data(), 4);
        frame.header[8] = static_cast<uint8_t>(status >> 1);
        frame.header[9] = 0;
    }
    return frame;
}

std::vector<KeptFrame> scan(const io::File& file, uint64_t regionEnd) {
    std::vector<KeptFrame> frames;
    if (regionEnd < 10) return frames;
    HeaderWindow window(file, regionEnd);
    const uint8_t* header = window.at(0);
    if (std::memcmp(header, "ID3", 3) != 0 || (header[3] != 3 && header[3] != 4) || header[5] != 0)
        return frames;
    const auto version = static_cast<tag::TagVersion>(header[3]);
    uint32_t (*const frameSize)(const uint8_t*) =
        version == tag::TagVersion::V24 ? syncsafe::decode : syncsafe::bigEndian32;
    const uint64_t end = std::min<uint64_t>(regionEnd, 10 + uint64_t{syncsafe::decode(header + 6)});
    uint64_t frame = 10;
    while (frame + 10 <= end) {
        const uint8_t* raw = window.at(frame);
        if (std::all_of(raw, raw + 4, [](uint8_t b) { return b == 0; })) break;
        const uint32_t size = frameSize(raw + 4);
        if (frame + 10 + size > end) break;
        if (auto k = keep(version, raw, frame + 10, size)) frames.push_back(*k);
        frame += 10 + uint64_t{size};
    }
    return frames;
}

} // namespace kept
