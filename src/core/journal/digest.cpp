// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/digest.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace journal {

namespace {

constexpr uint64_t P1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t P2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t P3 = 0x165667B19E3779F9ull;
constexpr uint64_t P4 = 0x85EBCA77C2B2AE63ull;
constexpr uint64_t P5 = 0x27D4EB2F165667C5ull;

constexpr uint64_t rotl(uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

// The format is little-endian; memcpy compiles to one load.
inline uint64_t read64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}

inline uint32_t read32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

inline uint64_t round(uint64_t acc, uint64_t input) {
    acc += input * P2;
    return rotl(acc, 31) * P1;
}

inline uint64_t merge(uint64_t acc, uint64_t lane) {
    acc ^= round(0, lane);
    return acc * P1 + P4;
}

inline void stripes(uint64_t* v, const uint8_t* p, size_t count) {
    uint64_t v1 = v[0], v2 = v[1], v3 = v[2], v4 = v[3];
    for (size_t i = 0; i < count; ++i, p += 32) {
        v1 = round(v1, read64(p));
        v2 = round(v2, read64(p + 8));
        v3 = round(v3, read64(p + 16));
        v4 = round(v4, read64(p + 24));
    }
    v[0] = v1, v[1] = v2, v[2] = v3, v[3] = v4;
}

uint64_t finish(uint64_t h, const uint8_t* p, size_t n) {
    for (; n >= 8; n -= 8, p += 8)
        h = rotl(h ^ round(0, read64(p)), 27) * P1 + P4;
    if (n >= 4) {
        h = rotl(h ^ (uint64_t{read32(p)} * P1), 23) * P2 + P3;
        p += 4, n -= 4;
    }
    for (; n > 0; --n, ++p)
        h = rotl(h ^ (*p * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    return h ^ (h >> 32);
}

} // namespace

Digest64::Digest64(uint64_t seed)
    : m_lanes{seed + P1 + P2, seed + P2, seed, seed - P1}, m_seed(seed) {}

void Digest64::update(const void* data, size_t n) {
    if (n == 0) return; // an empty run may come without a buffer
    const auto* p = static_cast<const uint8_t*>(data);
    m_total += n;
    if (m_buffered > 0) {
        const size_t take = std::min(n, sizeof m_stripe - m_buffered);
        std::memcpy(m_stripe + m_buffered, p, take);
        m_buffered += take, p += take, n -= take;
        if (m_buffered < sizeof m_stripe) return;
        stripes(m_lanes, m_stripe, 1);
        m_buffered = 0;
    }
    stripes(m_lanes, p, n / 32);
    p += n / 32 * 32;
    m_buffered = n % 32;
    std::memcpy(m_stripe, p, m_buffered);
}

void Digest64::fill(uint8_t value, uint64_t n) {
    uint8_t block[4096];
    std::memset(block, value, sizeof block);
    while (n > 0) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(n, sizeof block));
        update(block, chunk);
        n -= chunk;
    }
}

uint64_t Digest64::digest() const {
    uint64_t h;
    if (m_total >= 32) {
        const uint64_t* v = m_lanes;
        h = rotl(v[0], 1) + rotl(v[1], 7) + rotl(v[2], 12) + rotl(v[3], 18);
        for (int i = 0; i < 4; ++i)
            h = merge(h, v[i]);
    } else {
        h = m_seed + P5;
    }
    return finish(h + m_total, m_stripe, m_buffered);
}

uint64_t hash64(const void* data, size_t n, uint64_t seed) {
    Digest64 d(seed);
    d.update(data, n);
    return d.digest();
}

} // namespace journal
