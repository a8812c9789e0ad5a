// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagfile/mp3check.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "renamer/namefields.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

namespace tagfile {

namespace {

// Bit rates in kbit/s by bit-rate index 1..14, for MPEG-1 layers I, II, III
// and for MPEG-2 and 2.5 layer I, and layers II and III.
constexpr std::array<std::array<uint16_t, 15>, 5> BitRates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
}};
// Sample rates of MPEG-1 by sample-rate index; MPEG-2 halves them, 2.5 quarters them.
constexpr std::array<uint32_t, 3> SampleRates{44100, 48000, 32000};

// The bits two frames of one stream share: version, layer and sample rate.
bool sameStream(const uint8_t* a, const uint8_t* b) {
    return (a[1] & 0xFE) == (b[1] & 0xFE) && (a[2] & 0x0C) == (b[2] & 0x0C);
}

} // namespace

size_t mpegFrameLength(const uint8_t* p) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return 0;
    const int version = (p[1] >> 3) & 3; // 0: MPEG-2.5, 2: MPEG-2, 3: MPEG-1
    const int layer = 4 - ((p[1] >> 1) & 3);
    const int bitRateIndex = p[2] >> 4;
    const int sampleRateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer == 4 || bitRateIndex == 0 || bitRateIndex == 15 ||
        sampleRateIndex == 3 || (p[3] & 3) == 2)
        return 0;
    const bool mpeg1 = version == 3;
    const size_t table = mpeg1 ? size_t(layer - 1) : (layer == 1 ? 3 : 4);
    const uint32_t bitRate = BitRates[table][size_t(bitRateIndex)] * 1000u;
    const uint32_t sampleRate = SampleRates[size_t(sampleRateIndex)] >> (mpeg1          ? 0
                                                                         : version == 2 ? 1
                                                                                        : 2);
    const uint32_t padding = (p[2] >> 1) & 1;
    if (layer == 1) return (12 * bitRate / sampleRate + padding) * 4;
    // MPEG-2 and 2.5 layer III frames hold half the samples.
    const uint32_t samplesPer8 = layer == 3 && !mpeg1 ? 72 : 144;
    return samplesPer8 * bitRate / sampleRate + padding;
}

Content classify(std::span<const uint8_t> start, uint64_t fileSize) {
    if (fileSize == 0) return Content::Empty;
    if (start.size() >= 3 && std::memcmp(start.data(), "ID3", 3) == 0 && fileSize >= HeaderBytes)
        return Content::Mp3;
    if (start.size() >= 4 && mpegFrameLength(start.data()) != 0) return Content::Mp3;
    const size_t last = std::min(start.size(), AudioSearchBytes + 4);
    for (size_t at = 1; at + 4 <= last; ++at) {
        const size_t length = mpegFrameLength(&start[at]);
        if (length == 0) continue;
        const uint64_t next = at + length;
        if (next == fileSize) return Content::Mp3;
        if (next + 4 <= start.size() && mpegFrameLength(&start[next]) != 0 &&
            sameStream(&start[at], &start[next]))
            return Content::Mp3;
    }
    return fileSize < HeaderBytes ? Content::TooShort : Content::Other;
}

Content examine(const io::File& file) {
    const uint64_t size = file.size();
    std::vector<uint8_t> start(static_cast<size_t>(std::min<uint64_t>(size, StartBytes)));
    start.resize(file.readAt(start.data(), start.size(), 0));
    return classify(start, size);
}

void requireMp3(const io::File& file, const std::string& path) {
    const uint64_t size = file.size();
    std::vector<uint8_t> start(static_cast<size_t>(std::min<uint64_t>(size, StartBytes)));
    start.resize(file.readAt(start.data(), start.size(), 0));
    requireMp3(start, size, path);
}

void requireMp3(std::span<const uint8_t> start, uint64_t size, const std::string& path) {
    switch (classify(start.first(std::min(start.size(), StartBytes)), size)) {
    case Content::Mp3:
        return;
    case Content::Empty:
        if (renamer::withoutExtension(path).size() < path.size()) return;
        throw io::IoError(io::IoError::NotMp3);
    case Content::TooShort:
        throw io::IoError(io::IoError::TooShort);
    case Content::Other:
        throw io::IoError(io::IoError::NotMp3);
    }
}

} // namespace tagfile
