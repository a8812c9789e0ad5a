// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/blobkeys.h"

#include "journal/digest.h"

#include <cstring>

namespace journal {

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

} // namespace journal
