// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/tagbytes.h"

#include "io/ioerror.h"

#include <cerrno>
#include <unistd.h>

namespace tag {

namespace {
constexpr size_t WindowSize = 1u << 20;
constexpr size_t CopyBlock = 0x80000;
} // namespace

void ByteBuffer::resizeForOverwrite(size_t n) {
    if (n > m_capacity) {
        m_data = std::make_unique_for_overwrite<uint8_t[]>(n);
        m_capacity = n;
    }
    m_size = n;
}

void ByteBuffer::release() {
    m_data.reset();
    m_size = m_capacity = 0;
}

TagBytes::TagBytes(const io::File& file, uint64_t end, ByteBuffer& buffer)
    : m_file(file), m_end(end), m_buf(buffer) {}

io::File createFreshFile(const std::string& folder, const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) io::throwErrno();
    try {
        return io::File(path, io::File::Mode::CreateNew);
    } catch (const io::IoError& e) {
        if (e.code() != ENOENT || folder.empty()) throw;
    }
    io::makeFolders(folder);
    return io::File(path, io::File::Mode::CreateNew);
}

uint64_t TagBytes::fileSize() {
    if (m_fileSize < 0) m_fileSize = static_cast<int64_t>(m_file.size());
    return static_cast<uint64_t>(m_fileSize);
}

void TagBytes::requireInFile(uint64_t offset, uint64_t n) {
    if (offset + n <= m_bufStart + m_buf.size()) return;
    if (offset + n > fileSize()) throw io::IoError(io::IoError::ShortRead);
}

const uint8_t* TagBytes::need(uint64_t offset, size_t n) {
    if (offset >= m_bufStart && offset + n <= m_bufStart + m_buf.size())
        return m_buf.data() + (offset - m_bufStart);
    // Never allocate for bytes the file does not have (a hostile size field).
    if (n > WindowSize) requireInFile(offset, n);
    size_t window =
        static_cast<size_t>(std::min<uint64_t>(std::max(n, WindowSize), m_end - offset));
    window = std::max(window, n);
    m_buf.resizeForOverwrite(window);
    size_t got = m_file.readAt(m_buf.data(), window, offset);
    m_buf.shrink(got);
    m_bufStart = offset;
    if (got < window) m_fileSize = static_cast<int64_t>(offset + got);
    if (got < n) throw io::IoError(io::IoError::ShortRead);
    return m_buf.data();
}

void TagBytes::copyTo(uint64_t offset, uint64_t n, io::File& out) {
    requireInFile(offset, n);
    uint64_t written = 0;
    // The part already in memory goes out in one write.
    if (offset >= m_bufStart && offset < m_bufStart + m_buf.size()) {
        uint64_t inBuf = std::min<uint64_t>(n, m_bufStart + m_buf.size() - offset);
        out.writeAt(m_buf.data() + (offset - m_bufStart), inBuf, 0);
        written = inBuf;
    }
    ByteBuffer block;
    while (written < n) {
        size_t chunk = static_cast<size_t>(std::min<uint64_t>(CopyBlock, n - written));
        block.resizeForOverwrite(chunk);
        m_file.readExactAt(block.data(), chunk, offset + written);
        out.writeAt(block.data(), chunk, written);
        written += chunk;
    }
}

} // namespace tag
