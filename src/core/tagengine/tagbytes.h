// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"
#include "tagengine/tagdata.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

// What a version reader reads through: the tag's bytes, fetched with as few
// system calls as possible, and the record it fills.
namespace tag {

// A byte buffer whose growth does not clear memory a read is about to fill.
class ByteBuffer {
public:
    uint8_t* data() { return m_data.get(); }
    const uint8_t* data() const { return m_data.get(); }
    size_t size() const { return m_size; }
    size_t capacity() const { return m_capacity; }
    // Sets the size; the content is undefined after growing past the capacity.
    void resizeForOverwrite(size_t n);
    void shrink(size_t n) { m_size = std::min(m_size, n); }
    void release();

private:
    std::unique_ptr<uint8_t[]> m_data;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

// The bytes of one tag, read with as few system calls as possible: the first
// block comes with the header read, and further windows are read on demand.
// Only what the walk needs is read; a byte past the end of the file raises
// "Read beyond end of file".
class TagBytes {
public:
    // buffer holds the file's first bytes (the read that brought the header);
    // it is reused for the windows read later.
    TagBytes(const io::File& file, uint64_t end, ByteBuffer& buffer);

    // n bytes at offset (offset + n must not pass the tag's end).
    const uint8_t* need(uint64_t offset, size_t n);
    // Streams n bytes at offset into out, in blocks of at most 512 KiB.
    void copyTo(uint64_t offset, uint64_t n, io::File& out);
    // Raises "Read beyond end of file" unless offset + n lies within the file.
    void requireInFile(uint64_t offset, uint64_t n);

private:
    uint64_t fileSize();

    const io::File& m_file;
    uint64_t m_end;
    ByteBuffer& m_buf;
    uint64_t m_bufStart = 0;
    int64_t m_fileSize = -1; // known once a read came up short, or after fstat
};

// What every version reader works on: the open file, the tag's bounds, the
// picture folder and the record to fill.
struct ReadContext {
    TagBytes& bytes;
    uint64_t tagEnd; // 10 + the header's tag size
    const std::string& tempFolder;
    ReaderResult& result;
};

// Creates a file for extracted data: an old file of that name is removed
// first (overwriting in place makes some file systems wait for the old data),
// and the folder is created when it is missing.
io::File createFreshFile(const std::string& folder, const std::string& path);

} // namespace tag
