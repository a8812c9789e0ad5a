// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

namespace journal {

// The keys (XXH64) of large frames. A frame met again (the cover of an album is
// the same frame in every file of it, before and after a "Write for all") is
// recognised by comparing its bytes with a copy kept of it, which costs a
// fraction of hashing them again. The copies are bounded; the oldest go first.
class BlobKeys {
public:
    uint64_t key(std::span<const uint8_t> bytes);

private:
    struct Seen {
        std::vector<uint8_t> bytes;
        uint64_t key;
    };
    static constexpr size_t Limit = 16 << 20;
    std::unordered_multimap<size_t, Seen> m_seen;    // by length
    std::deque<std::pair<size_t, uint64_t>> m_order; // length and key, oldest first
    size_t m_total = 0;
};

} // namespace journal
