// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/region.h"

#include "journal/digest.h"
#include "tagengine/framewalk.h"

#include <algorithm>
#include <cstring>

namespace journal {

namespace {

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

constexpr uint64_t DigestSeed = 0x5265676E; // "Regn"
constexpr uint64_t BlockSeed = 0x426C6B73;  // "Blks"

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

std::vector<Piece> splitRegion(std::span<const uint8_t> region, BlobKeys& keys) {
    std::vector<Piece> pieces;
    uint64_t literalFrom = 0;
    auto literalTo = [&](uint64_t to) {
        if (to > literalFrom)
            pieces.push_back(
                {Piece::Type::Literal, to - literalFrom, 0, static_cast<size_t>(literalFrom)});
    };
    // The frames as the tag engine's walk takes them decide where to cut.
    tag::forEachFrameIn(region, [&](uint64_t at, uint64_t length) {
        if (length < BlobMinimum) return;
        literalTo(at);
        pieces.push_back({Piece::Type::Blob, length,
                          keys.key(region.subspan(static_cast<size_t>(at), length)),
                          static_cast<size_t>(at)});
        literalFrom = at + length;
    });
    const uint64_t zerosFrom =
        zerosStart(region.data(), static_cast<size_t>(literalFrom), region.size());
    literalTo(zerosFrom);
    if (zerosFrom < region.size())
        pieces.push_back({Piece::Type::Zeros, region.size() - zerosFrom, 0, zerosFrom});
    return pieces;
}

uint64_t regionDigest(std::span<const uint8_t> region, BlobKeys& keys) {
    Digest64 d(DigestSeed);
    for (const Piece& p : splitRegion(region, keys))
        digestPiece(d, p, region.subspan(p.at, static_cast<size_t>(p.length)));
    return d.digest();
}

uint32_t blockHash(std::span<const uint8_t> block) {
    const auto h = static_cast<uint32_t>(hash64(block, BlockSeed));
    return h == 0 ? 1 : h;
}

std::vector<uint32_t> newBlocks(std::span<const uint8_t> oldRegion,
                                std::span<const uint8_t> newRegion, std::vector<uint32_t>& known) {
    const size_t count = static_cast<size_t>((newRegion.size() + BlockSize - 1) / BlockSize);
    known.resize(count);
    std::vector<uint32_t> blocks(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = i * BlockSize;
        const size_t n = std::min<size_t>(BlockSize, newRegion.size() - at);
        const auto block = newRegion.subspan(at, n);
        if (std::memcmp(block.data(), oldRegion.data() + at, n) == 0) continue;
        if (known[i] == 0) known[i] = blockHash(block);
        blocks[i] = known[i];
    }
    return blocks;
}

} // namespace journal
