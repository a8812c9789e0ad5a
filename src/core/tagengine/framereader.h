#pragma once

#include "io/file.h"
#include "tagengine/tagdata.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tag {

// The bytes of one tag, read with as few system calls as possible: the first
// block comes with the header read, and further windows are read on demand.
// Only what the walk needs is read; a byte past the end of the file raises
// "Read beyond end of file".
class TagBytes {
public:
    TagBytes(const io::File& file, uint64_t end, std::vector<uint8_t> prefix);

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
    std::vector<uint8_t> m_buf;
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

// The frame header layout and flag tests that set the three versions apart.
struct Dialect {
    TagVersion version;
    unsigned idLength;     // 4, or 3 for ID3v2.2
    unsigned headerLength; // 10, or 6 for ID3v2.2
    uint32_t (*frameSize)(const uint8_t*);
    uint8_t textFlagMask; // tested on the second flag byte of text frames
    uint8_t flagMask;     // tested on the first flag byte of URL and list frames
};

void walkFrames(ReadContext& ctx, const Dialect& dialect);

} // namespace tag
