// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace io {

// An open file descriptor, closed when it goes out of scope. Every access is a
// positioned read or write; every failure raises IoError.
class File {
public:
    enum class Mode {
        Read,           // existing file, read only
        ReadWrite,      // existing file, read and write, never truncated
        CreateTruncate, // create or truncate, write only
        CreateNew,      // create a file that must not exist yet, read and write
    };

    File() = default;
    // extraFlags go to open() beside the mode's own (O_NOFOLLOW, say).
    File(const std::string& path, Mode mode, unsigned permissions = 0666, int extraFlags = 0);
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

    uint64_t size() const;
    // Reads up to n bytes at offset; returns fewer only at the end of the file.
    size_t readAt(void* buffer, size_t n, uint64_t offset) const;
    // Reads exactly n bytes at offset or raises "Read beyond end of file".
    void readExactAt(void* buffer, size_t n, uint64_t offset) const;
    void writeAt(const void* buffer, size_t n, uint64_t offset);
    // Appends to a file of length bytes; a write that fails on the way (the
    // disk full) takes back off what it appended, and raises.
    void appendAt(const void* buffer, size_t n, uint64_t length);
    void sync();
    // Flushes the data (and what is needed to read it back), not every time stamp.
    void datasync();
    void truncate(uint64_t length);
    // Closes and reports a failed close (a late write error on some file systems).
    void close();

private:
    int m_fd = -1;
    std::string m_path;
};

// Copies length bytes at fromOffset of one file to toOffset of another. The
// kernel copies when it can (copy_file_range: no trip through user memory, and
// a shared extent on file systems that offer one); otherwise, or when Blocks is
// asked for, the bytes go through one buffer of 512 KiB. A source that ends
// early raises "Read beyond end of file".
enum class CopyMethod { Kernel, Blocks };
void copyRange(const File& from, uint64_t fromOffset, File& to, uint64_t toOffset, uint64_t length,
               CopyMethod method = CopyMethod::Kernel);

// Raises IoError with the errno of the last failed call.
[[noreturn]] void throwErrno();

void removeFile(const std::string& path);
bool fileExists(const std::string& path);
// The length of the file at path, without opening it.
uint64_t fileLength(const std::string& path);
// Creates the folder and its missing parents; an existing folder is fine.
void makeFolders(const std::string& path);

} // namespace io
