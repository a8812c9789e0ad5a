// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// XXH64: a fast 64-bit hash, the same on every machine and in every version of
// the program, so what one run records another can check. Not a cryptographic
// hash: it tells the program's own bytes apart, it does not resist forgery.
namespace journal {

class Digest64 {
public:
    explicit Digest64(uint64_t seed = 0);
    void update(const void* data, size_t n);
    void update(std::span<const uint8_t> bytes) { update(bytes.data(), bytes.size()); }
    // Repeats a byte n times (a run of padding) without a buffer of it.
    void fill(uint8_t value, uint64_t n);
    uint64_t digest() const;

private:
    uint64_t m_lanes[4];
    uint64_t m_seed;
    uint64_t m_total = 0;
    uint8_t m_stripe[32];
    size_t m_buffered = 0;
};

uint64_t hash64(const void* data, size_t n, uint64_t seed = 0);
inline uint64_t hash64(std::span<const uint8_t> bytes, uint64_t seed = 0) {
    return hash64(bytes.data(), bytes.size(), seed);
}

} // namespace journal
