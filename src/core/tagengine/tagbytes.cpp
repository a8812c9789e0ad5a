// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/tagbytes.h"

#include "io/ioerror.h"

#include <cerrno>
#include <unistd.h>

namespace tag {

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

TagBytes::TagBytes(const io::File& file, uint64_t end, ByteBuffer& buffer, size_t window)
    : m_file(&file), m_end(end), m_buf(&buffer), m_window(window), m_memory(buffer.data()),
      m_size(buffer.size()) {}

TagBytes::TagBytes(const uint8_t* bytes, size_t size)
    : m_file(nullptr), m_end(size), m_buf(nullptr), m_window(0), m_memory(bytes), m_size(size),
      m_fileSize(static_cast<int64_t>(size)) {}

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
    if (m_fileSize < 0) m_fileSize = static_cast<int64_t>(m_file->size());
    return static_cast<uint64_t>(m_fileSize);
}

void TagBytes::requireInFile(uint64_t offset, uint64_t n) {
    if (offset + n <= m_bufStart + m_size) return;
    if (offset + n > fileSize()) throw io::IoError(io::IoError::ShortRead);
}

const uint8_t* TagBytes::fetch(uint64_t offset, size_t n) {
    if (inMemory()) throw io::IoError(io::IoError::ShortRead);
    // Never allocate for bytes the file does not have (a hostile size field).
    if (n > m_window) requireInFile(offset, n);
    size_t window = static_cast<size_t>(
        std::min<uint64_t>(std::max(n, m_window), offset < m_end ? m_end - offset : 0));
    window = std::max(window, n);
    m_buf->resizeForOverwrite(window);
    size_t got = m_file->readAt(m_buf->data(), window, offset);
    m_buf->shrink(got);
    m_memory = m_buf->data();
    m_size = m_buf->size();
    m_bufStart = offset;
    if (got < window) m_fileSize = static_cast<int64_t>(offset + got);
    if (got < n) throw io::IoError(io::IoError::ShortRead);
    return m_memory;
}

} // namespace tag
