// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What every fuzz target shares: a private folder per process in which each
// input runs, and the checks that turn a broken promise into a finding.
namespace fuzzing {

using Bytes = std::vector<uint8_t>;

// The folder an input runs in, emptied before each input and removed when the
// process ends. It lies on /dev/shm when there is one (no disk wear, and
// libFuzzer runs many thousands of inputs a second), else in $TMPDIR or /tmp.
class Sandbox {
public:
    static Sandbox& instance();

    // Empties the folder and makes the subfolders named (each ending in "/").
    void reset(const std::vector<std::string>& folders);
    // The full path of a file or folder inside the sandbox.
    std::string path(const std::string& relative) const { return m_root + relative; }
    // Every file and folder inside, relative and sorted; folders end with "/".
    std::vector<std::string> tree() const;

    ~Sandbox();

private:
    Sandbox();
    std::string m_root; // ends with "/"
};

void writeFile(const std::string& path, const uint8_t* data, size_t size);

// The input cut into fields at each 0x1F byte, at least minimum of them.
std::vector<std::string> split(const uint8_t* data, size_t size, size_t minimum);
Bytes readFile(const std::string& path);

// Reports a broken promise and aborts, which libFuzzer records as a crash and
// the replay test as a failure.
[[noreturn]] void fail(const std::string& what);
inline void check(bool ok, const std::string& what) {
    if (!ok) fail(what);
}

// Fails unless the sandbox holds exactly the files expected plus, when given,
// tempFolder (relative, ending in "/") with nothing but files directly in it.
void checkTree(const std::vector<std::string>& expected, const std::string& tempFolder);

} // namespace fuzzing
