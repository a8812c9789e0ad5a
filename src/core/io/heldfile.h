// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"
#include "io/filestat.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace io {

// A file opened once for a change, and what was read of it: its facts (one
// fstat), its first bytes and its last ones, each read once, so that every
// step of a write (the header, the content check, the journal's copy of
// what it replaces, the frames it keeps, the trailer) works on the same bytes
// of the same open file.
class HeldFile {
public:
    // The most tail() gives: an ID3v1 trailer.
    static constexpr size_t TailBytes = 128;

    HeldFile(const std::string& path, File::Mode mode);
    HeldFile(HeldFile&&) noexcept = default;
    HeldFile& operator=(HeldFile&&) noexcept = default;

    File& file() { return m_file; }
    const File& file() const { return m_file; }
    const std::string& path() const { return m_file.path(); }
    // As the file was when it was opened.
    const FileStat& stat() const { return m_stat; }
    uint64_t size() const { return m_stat.size; }

    // The first min(n, size()) bytes. Bytes at hand are not read again: a
    // call for more reads only the rest.
    std::span<const uint8_t> head(uint64_t n);
    // What head() holds now; owner() keeps it alive for those who share it.
    std::span<const uint8_t> headBytes() const { return {m_head.get(), m_headSize}; }
    std::shared_ptr<const uint8_t[]> owner() const { return m_head; }
    // The last min(TailBytes, size()) bytes, from the head when it holds them.
    std::span<const uint8_t> tail();

    // Lets go of the bytes read; the file stays open.
    void release() {
        m_head.reset();
        m_headSize = 0;
    }
    void close() { m_file.close(); }

private:
    File m_file;
    FileStat m_stat;
    std::shared_ptr<uint8_t[]> m_head;
    size_t m_headSize = 0;
    std::array<uint8_t, TailBytes> m_tail{};
    bool m_tailRead = false;
};

} // namespace io
