// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/image.h"

#include "io/file.h"
#include "journal/digest.h"
#include "tagengine/syncsafe.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace journal {

namespace {

// The size field of a frame header: syncsafe in ID3v2.4, plain big-endian in
// ID3v2.3 (four bytes) and ID3v2.2 (three).
uint64_t frameSize(const uint8_t* p, int version) {
    if (version == 4) return syncsafe::decode(p);
    return version == 3 ? syncsafe::bigEndian32(p) : syncsafe::bigEndian24(p);
}

// Where the frames of a tag region end, and the large ones on the way.
struct Walk {
    std::vector<std::pair<uint64_t, uint64_t>> large; // offset, length
    uint64_t end = 0;
};

Walk walkFrames(std::span<const uint8_t> region) {
    Walk walk;
    const uint8_t* r = region.data();
    if (region.size() < 10 || std::memcmp(r, "ID3", 3) != 0 || r[3] < 2 || r[3] > 4 || r[5] != 0)
        return walk;
    const int version = r[3];
    const uint64_t end = std::min<uint64_t>(region.size(), 10 + uint64_t{syncsafe::decode(r + 6)});
    const uint64_t header = version == 2 ? 6 : 10;
    uint64_t at = 10;
    while (at + header <= end && r[at] != 0) {
        const uint64_t size = frameSize(r + at + (version == 2 ? 3 : 4), version);
        if (size > end - at - header) break;
        if (header + size >= BlobMinimum) walk.large.emplace_back(at, header + size);
        at += header + size;
    }
    walk.end = at;
    return walk;
}

std::vector<uint8_t> readRange(const io::File& file, uint64_t at, uint64_t length) {
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    file.readExactAt(bytes.data(), bytes.size(), at);
    return bytes;
}

// Where the run of zero bytes that ends bytes[from, to) begins: to when the
// last byte is not zero. A tag region ends in kibibytes of padding, met twice
// a file: 64 bytes are looked at a time.
size_t zerosStart(const uint8_t* bytes, size_t from, size_t to) {
    constexpr size_t Block = 64;
    while (to - from >= Block) {
        uint64_t any = 0;
        for (size_t i = 0; i < Block; i += 8) {
            uint64_t word;
            std::memcpy(&word, bytes + to - Block + i, 8);
            any |= word;
        }
        if (any != 0) break;
        to -= Block;
    }
    while (to > from && bytes[to - 1] == 0)
        --to;
    return to;
}

FileStat fromStat(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
            static_cast<uint64_t>(st.st_size),
            int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

} // namespace

uint64_t BlobKeys::key(std::span<const uint8_t> bytes) {
    const auto [first, last] = m_seen.equal_range(bytes.size());
    for (auto it = first; it != last; ++it)
        if (std::memcmp(it->second.bytes.data(), bytes.data(), bytes.size()) == 0)
            return it->second.key;
    const uint64_t key = hash64(bytes);
    if (bytes.size() > Limit) return key;
    m_seen.emplace(bytes.size(), Seen{{bytes.begin(), bytes.end()}, key});
    m_order.emplace_back(bytes.size(), key);
    m_total += bytes.size();
    while (m_total > Limit) {
        const auto [length, oldest] = m_order.front();
        m_order.pop_front();
        const auto [from, to] = m_seen.equal_range(length);
        for (auto it = from; it != to; ++it) {
            if (it->second.key != oldest) continue;
            m_seen.erase(it);
            m_total -= length;
            break;
        }
    }
    return key;
}

std::vector<Piece> splitRegion(std::span<const uint8_t> region, BlobKeys& keys) {
    std::vector<Piece> pieces;
    uint64_t literalFrom = 0;
    auto literalTo = [&](uint64_t to) {
        if (to > literalFrom)
            pieces.push_back(
                {Piece::Type::Literal, to - literalFrom, 0, static_cast<size_t>(literalFrom)});
    };
    for (const auto& [at, length] : walkFrames(region).large) {
        literalTo(at);
        pieces.push_back({Piece::Type::Blob, length, keys.key(region.subspan(at, length)), at});
        literalFrom = at + length;
    }
    const uint64_t zerosFrom =
        zerosStart(region.data(), static_cast<size_t>(literalFrom), region.size());
    literalTo(zerosFrom);
    if (zerosFrom < region.size())
        pieces.push_back({Piece::Type::Zeros, region.size() - zerosFrom, 0, zerosFrom});
    return pieces;
}

namespace {

constexpr uint64_t DigestSeed = 0x5265676E; // "Regn"

void digestPiece(Digest64& d, const Piece& p, std::span<const uint8_t> literal) {
    uint8_t head[9] = {static_cast<uint8_t>(p.type)};
    for (int i = 0; i < 8; ++i)
        head[1 + i] = static_cast<uint8_t>(p.length >> (8 * i));
    d.update(head, sizeof head);
    if (p.type == Piece::Type::Literal) d.update(literal);
    if (p.type == Piece::Type::Blob) {
        uint8_t key[8];
        for (int i = 0; i < 8; ++i)
            key[i] = static_cast<uint8_t>(p.key >> (8 * i));
        d.update(key, sizeof key);
    }
}

} // namespace

uint64_t regionDigest(std::span<const uint8_t> region, BlobKeys& keys) {
    Digest64 d(DigestSeed);
    for (const Piece& p : splitRegion(region, keys))
        digestPiece(d, p, region.subspan(p.at, static_cast<size_t>(p.length)));
    return d.digest();
}

uint64_t blankRegionDigest(std::span<const uint8_t> start, uint64_t zeros) {
    // As splitRegion cuts it: the start up to its last byte that is not zero,
    // then one run of zeros.
    const size_t literal = zerosStart(start.data(), 0, start.size());
    Digest64 d(DigestSeed);
    if (literal > 0) digestPiece(d, {Piece::Type::Literal, literal, 0, 0}, start.first(literal));
    const uint64_t run = start.size() - literal + zeros;
    if (run > 0) digestPiece(d, {Piece::Type::Zeros, run, 0, literal}, {});
    return d.digest();
}

std::optional<State> findState(const io::File& file, uint64_t size, const Change& change,
                               std::span<const uint8_t> oldHead, BlobKeys& keys) {
    const uint64_t audio = change.audioLength();
    const bool touched = change.trailerTouched;
    auto headLength = [&](Image i) {
        return i == Image::New ? change.newHeadLength : change.headLength;
    };
    auto trailerLength = [&](Image i) -> uint64_t {
        if (!touched) return 0;
        return i == Image::New || change.oldTrailerPresent ? 128 : 0;
    };
    // Each part is read and judged once, whichever combinations need it.
    std::optional<bool> headIs[2], trailerIs[2];
    auto headMatches = [&](Image i) {
        auto& known = headIs[int(i)];
        if (!known) {
            const auto bytes = readRange(file, 0, headLength(i));
            known = i == Image::New
                        ? regionDigest(bytes, keys) == change.newHeadHash
                        : std::equal(bytes.begin(), bytes.end(), oldHead.begin(), oldHead.end());
        }
        return *known;
    };
    auto trailerMatches = [&](Image i) {
        if (trailerLength(i) == 0) return true;
        auto& known = trailerIs[int(i)];
        if (!known) {
            const auto bytes = readRange(file, size - 128, 128);
            const Trailer& t = i == Image::New ? change.newTrailer : change.oldTrailer;
            known = std::equal(bytes.begin(), bytes.end(), t.begin());
        }
        return *known;
    };
    for (Image head : {Image::New, Image::Old}) {
        for (Image trailer : {Image::New, Image::Old}) {
            if (!touched && trailer == Image::New) continue;
            // Lengths come from the journal: compared so that none can wrap around.
            const uint64_t h = headLength(head);
            if (h > size || audio > size - h || size - h - audio != trailerLength(trailer))
                continue;
            if (headMatches(head) && trailerMatches(trailer)) return State{head, trailer};
        }
    }
    return std::nullopt;
}

FileStat statOf(const io::File& file) {
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) io::throwErrno();
    return fromStat(st);
}

FileStat statOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) io::throwErrno();
    return fromStat(st);
}

FileStat linkStatOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) io::throwErrno();
    return fromStat(st);
}

} // namespace journal
