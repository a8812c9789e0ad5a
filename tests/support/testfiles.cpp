// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "support/testfiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <linux/capability.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

Bytes bytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes latin1(std::string_view text) {
    Bytes data(text.size() + 1);
    std::copy(text.begin(), text.end(), data.begin() + 1);
    return data;
}

std::string withZero(std::string_view text) {
    return std::string(text) + '\0';
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes& operator+=(Bytes& a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes repeat(uint8_t value, size_t count) {
    return Bytes(count, value);
}

Bytes syncsafe(uint32_t v) {
    return {uint8_t((v >> 21) & 0x7F), uint8_t((v >> 14) & 0x7F), uint8_t((v >> 7) & 0x7F),
            uint8_t(v & 0x7F)};
}

Bytes be32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}
Bytes be24(uint32_t v) {
    return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

Bytes header(uint8_t version, uint32_t size, uint8_t flags) {
    return bytes("ID3") + Bytes{version, 0, flags} + syncsafe(size);
}

Bytes frame24(std::string_view id, const Bytes& data, uint8_t flags1, uint8_t flags2) {
    return bytes(id) + syncsafe(uint32_t(data.size())) + Bytes{flags1, flags2} + data;
}

Bytes frame23(std::string_view id, const Bytes& data, uint8_t flags1, uint8_t flags2) {
    return bytes(id) + be32(uint32_t(data.size())) + Bytes{flags1, flags2} + data;
}

Bytes frame22(std::string_view id, const Bytes& data) {
    return bytes(id) + be24(uint32_t(data.size())) + data;
}

static Bytes tagOf(uint8_t version, const Bytes& frames, size_t padding) {
    return header(version, uint32_t(frames.size() + padding)) + frames + repeat(0, padding);
}

Bytes tag24(const Bytes& frames, size_t padding) {
    return tagOf(4, frames, padding);
}
Bytes tag23(const Bytes& frames, size_t padding) {
    return tagOf(3, frames, padding);
}
Bytes tag22(const Bytes& frames, size_t padding) {
    return tagOf(2, frames, padding);
}

Bytes audio(size_t size) {
    Bytes a(size);
    for (size_t i = 0; i < size; ++i)
        a[i] = uint8_t(i * 7 + 3);
    if (size >= 2) a[0] = 0xFF, a[1] = 0xFB;
    return a;
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillet-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    // Leave nothing read-only behind that would stop the removal.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

void writeFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("cannot read " + path);
    // One read of the whole file: byte-wise iterators crawl in sanitizer builds.
    Bytes data(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(data.data()), std::streamsize(data.size()));
    if (!in) throw std::runtime_error("cannot read " + path);
    return data;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> listFolder(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

constexpr uint32_t DacCaps =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool setDacCaps(bool enabled) {
    __user_cap_header_struct hdr{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &hdr, data) != 0) return false;
    if (enabled)
        data[0].effective |= (data[0].permitted & DacCaps);
    else
        data[0].effective &= ~DacCaps;
    return ::syscall(SYS_capset, &hdr, data) == 0;
}

} // namespace

ReadOnlyGuard::ReadOnlyGuard(const std::string& path, unsigned mode) : m_path(path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) m_mode = st.st_mode & 07777;
    ::chmod(path.c_str(), mode);
    if (::geteuid() == 0) m_capsDropped = setDacCaps(false);
}

ReadOnlyGuard::~ReadOnlyGuard() {
    if (m_capsDropped) setDacCaps(true);
    ::chmod(m_path.c_str(), m_mode);
}

SmallDisk::SmallDisk(const std::string& folder, size_t bytes) : m_path(folder) {
    if (m_path.empty() || m_path.back() != '/') m_path += '/';
    std::filesystem::create_directories(m_path);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    m_mounted = ::mount("quillet-test", m_path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                        options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
    if (m_mounted) ::umount2(m_path.c_str(), MNT_DETACH);
}

std::string corpusDir() {
#ifdef QUILLET_CORPUS_DIR
    return QUILLET_CORPUS_DIR;
#else
    return "../shared/corpus";
#endif
}

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

ProcessResult run(const std::string& commandLine, const std::string& input) {
    std::string cmd = commandLine;
    std::string inputFile;
    if (!input.empty()) {
        char name[] = "/tmp/quillet-input-XXXXXX";
        int fd = ::mkstemp(name);
        if (fd < 0) throw std::runtime_error("mkstemp failed");
        ::close(fd);
        inputFile = name;
        writeFile(inputFile, bytes(input));
        cmd += " < " + shellQuote(inputFile);
    }
    ProcessResult result{-1, {}};
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            result.out.append(buf, n);
        int status = ::pclose(p);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (!inputFile.empty()) ::unlink(inputFile.c_str());
    return result;
}

} // namespace testing_support
