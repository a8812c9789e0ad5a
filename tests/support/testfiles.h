// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Helpers for tests that build tags byte by byte and run the engine on real files.
namespace testing_support {

using Bytes = std::vector<uint8_t>;

Bytes bytes(std::string_view text);
Bytes operator+(Bytes a, const Bytes& b);
Bytes& operator+=(Bytes& a, const Bytes& b);
Bytes repeat(uint8_t value, size_t count);
// The data of an ISO-8859-1 text frame: the encoding byte 0, then the text.
Bytes latin1(std::string_view text);
// A description or MIME type as the model keeps it: with its zero character.
std::string withZero(std::string_view text);

Bytes syncsafe(uint32_t v);
Bytes be32(uint32_t v);
Bytes be24(uint32_t v);

// Tag header "ID3", version, revision 0, flags, size (syncsafe).
Bytes header(uint8_t version, uint32_t size, uint8_t flags = 0);
// Frames: ID, size field and flags as each version lays them out.
Bytes frame24(std::string_view id, const Bytes& data, uint8_t flags1 = 0, uint8_t flags2 = 0);
Bytes frame23(std::string_view id, const Bytes& data, uint8_t flags1 = 0, uint8_t flags2 = 0);
Bytes frame22(std::string_view id, const Bytes& data);
// A complete tag: header declaring frames + padding, the frames, the padding.
Bytes tag24(const Bytes& frames, size_t padding = 64);
Bytes tag23(const Bytes& frames, size_t padding = 64);
Bytes tag22(const Bytes& frames, size_t padding = 64);
// Stand-in audio: MPEG frame sync bytes followed by a counting pattern.
Bytes audio(size_t size = 4096);

// A folder removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; } // ends with "/"
    std::string file(std::string_view name) const { return m_path + std::string(name); }

private:
    std::string m_path;
};

void writeFile(const std::string& path, const Bytes& data);
Bytes readFile(const std::string& path);
bool exists(const std::string& path);
std::vector<std::string> listFolder(const std::string& path);

// Makes a file (or, with mode 0555, a folder) read-only for this process,
// also when tests run as root (the DAC override capability is dropped while
// the guard lives); its mode is put back afterwards.
class ReadOnlyGuard {
public:
    explicit ReadOnlyGuard(const std::string& path, unsigned mode = 0444);
    ~ReadOnlyGuard();
    ReadOnlyGuard(const ReadOnlyGuard&) = delete;
    ReadOnlyGuard& operator=(const ReadOnlyGuard&) = delete;

private:
    std::string m_path;
    unsigned m_mode = 0644;
    bool m_capsDropped = false;
};

// A small tmpfs of the given size mounted on a new folder, to run a write
// into a full disk. Needs the right to mount (root in the test containers);
// mounted() is false where it is refused, and the test skips.
class SmallDisk {
public:
    SmallDisk(const std::string& folder, size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return m_mounted; }
    const std::string& path() const { return m_path; } // ends with "/"

private:
    std::string m_path;
    bool m_mounted = false;
};

std::string corpusDir();

// Runs a command line through the shell; returns its exit status and stdout.
struct ProcessResult {
    int status;
    std::string out;
};
ProcessResult run(const std::string& commandLine, const std::string& input = {});
std::string shellQuote(const std::string& s);

} // namespace testing_support
