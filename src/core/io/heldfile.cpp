// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "io/heldfile.h"

#include "io/ioerror.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace io {

HeldFile::HeldFile(const std::string& path, File::Mode mode)
    : m_file(path, mode), m_stat(statOf(m_file)) {}

std::span<const uint8_t> HeldFile::head(uint64_t n) {
    const uint64_t want = std::min(n, m_stat.size);
    if (want <= m_headSize) return {m_head.get(), static_cast<size_t>(want)};
    if (want > std::numeric_limits<size_t>::max() / 2) throw IoError(IoError::ShortRead);
    auto grown = std::make_shared_for_overwrite<uint8_t[]>(static_cast<size_t>(want));
    if (m_headSize) std::memcpy(grown.get(), m_head.get(), m_headSize);
    const size_t rest = static_cast<size_t>(want) - m_headSize;
    // A file cut short since it was measured reads short: what it holds counts.
    const size_t got = m_file.readAt(grown.get() + m_headSize, rest, m_headSize);
    m_head = std::move(grown);
    m_headSize += got;
    return {m_head.get(), m_headSize};
}

std::span<const uint8_t> HeldFile::tail() {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(TailBytes, m_stat.size));
    if (m_headSize >= m_stat.size) return {m_head.get() + (m_stat.size - n), n};
    if (!m_tailRead) {
        m_file.readExactAt(m_tail.data(), n, m_stat.size - n);
        m_tailRead = true;
    }
    return {m_tail.data(), n};
}

} // namespace io
