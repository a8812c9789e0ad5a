// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "sandbox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fuzzing {

namespace {
std::string baseFolder() {
    if (const char* own = std::getenv("QUILLET_FUZZ_TMP")) return own;
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec)) return "/dev/shm";
    if (const char* tmp = std::getenv("TMPDIR")) return tmp;
    return "/tmp";
}
} // namespace

Sandbox& Sandbox::instance() {
    static Sandbox sandbox;
    return sandbox;
}

Sandbox::Sandbox() {
    std::string pattern = baseFolder() + "/quillet-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) fail("cannot make the sandbox folder in " + baseFolder());
    m_root = pattern + "/";
}

Sandbox::~Sandbox() {
    std::error_code ec;
    fs::remove_all(m_root, ec);
}

void Sandbox::reset(const std::vector<std::string>& folders) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_root, ec))
        fs::remove_all(entry.path(), ec);
    for (const std::string& f : folders)
        fs::create_directories(m_root + f);
}

std::vector<std::string> Sandbox::tree() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(m_root)) {
        std::string name = entry.path().string().substr(m_root.size());
        if (entry.is_directory() && !entry.is_symlink()) name += '/';
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) fail("cannot write " + path);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void fail(const std::string& what) {
    std::fprintf(stderr, "\n*** fuzz check failed: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void checkTree(const std::vector<std::string>& expected, const std::string& tempFolder) {
    const std::vector<std::string> all = Sandbox::instance().tree();
    for (const std::string& name : all) {
        if (std::find(expected.begin(), expected.end(), name) != expected.end()) continue;
        if (name == tempFolder) continue; // made by the read that needs it
        const bool inTemp = !tempFolder.empty() && name.size() > tempFolder.size() &&
                            name.compare(0, tempFolder.size(), tempFolder) == 0 &&
                            name.find('/', tempFolder.size()) == std::string::npos;
        check(inTemp, "unexpected file or folder after the operation: " + name);
    }
    for (const std::string& name : expected)
        check(std::find(all.begin(), all.end(), name) != all.end(), "missing: " + name);
}

std::vector<std::string> split(const uint8_t* data, size_t size, size_t minimum) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0x1F)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }
    parts.resize(std::max(parts.size(), minimum));
    return parts;
}

} // namespace fuzzing
