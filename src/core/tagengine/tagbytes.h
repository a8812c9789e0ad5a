// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"
#include "tagengine/tagdata.h"
#include "tagengine/tagheader.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
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
// "Read beyond end of file". Or the bytes of a tag already in memory (one
// whose unsynchronisation was undone), at the same offsets.
class TagBytes {
public:
    // The window the readers read at once: a tag with its pictures in one piece.
    static constexpr size_t ReadWindow = 1u << 20;

    // buffer holds the file's first bytes (the read that brought the header);
    // it is reused for the windows read later, each of at least window bytes.
    TagBytes(const io::File& file, uint64_t end, ByteBuffer& buffer, size_t window = ReadWindow);
    // bytes[0, size) stand for the tag's offsets 0 to size.
    TagBytes(const uint8_t* bytes, size_t size);

    // n bytes at offset (offset + n must not pass the tag's end). The pointer
    // holds until the next call.
    const uint8_t* need(uint64_t offset, size_t n) {
        // Most calls are for bytes at hand: a frame header, a short text.
        if (offset >= m_bufStart && offset + n <= m_bufStart + m_size)
            return m_memory + (offset - m_bufStart);
        return fetch(offset, n);
    }
    // Raises "Read beyond end of file" unless offset + n lies within the file.
    void requireInFile(uint64_t offset, uint64_t n);
    bool inMemory() const { return m_file == nullptr; }

private:
    const uint8_t* fetch(uint64_t offset, size_t n);
    uint64_t fileSize();

    const io::File* m_file;
    uint64_t m_end;
    ByteBuffer* m_buf;
    size_t m_window;
    const uint8_t* m_memory = nullptr; // the bytes at hand: m_buf's, or the tag in memory
    size_t m_size = 0;
    uint64_t m_bufStart = 0;
    int64_t m_fileSize = -1; // known once a read came up short, or after fstat
};

// What every version reader works on: the open file, its tag's header and
// bounds, the picture folder and the record to fill.
struct ReadContext {
    TagBytes& bytes;
    uint64_t tagEnd; // 10 + the header's tag size, or less where a write's region ends
    const std::string& tempFolder;
    ReaderResult& result;
    TagHeader header;
    // false for the scan a write makes of the frames it keeps: no picture is
    // extracted, and a picture's data is not read.
    bool extract = true;
    // Pictures are held in memory (PictureEntry::held), so that a write
    // takes them from there; and written into the picture folder unless
    // extractPictures is false (a read for a write, or for texts alone).
    bool holdPictures = false;
    bool extractPictures = true;
    // What keeps the bytes the walk reads alive, when they are all in memory
    // (a tag region read whole): a picture among them is shared, not copied.
    std::shared_ptr<const void> owner = {};
    std::span<const uint8_t> ownerBytes = {};
};

// Creates a file for extracted data: an old file of that name is removed
// first (overwriting in place makes some file systems wait for the old data),
// and the folder is created when it is missing.
io::File createFreshFile(const std::string& folder, const std::string& path);

} // namespace tag
