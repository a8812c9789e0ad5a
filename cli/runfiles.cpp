#include "runfiles.h"

#include "io/file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace cli {

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

TempFolder::TempFolder(const std::string& given) : m_path(given) {}

std::string TempFolder::path() {
    // Made on first use only: a run that extracts no picture leaves no trace.
    if (m_path.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillet-tag-XXXXXX";
        if (!::mkdtemp(pattern.data())) io::throwErrno(); // never extract into "/"
        m_path = pattern;
        m_owned = true;
    }
    return m_path + "/";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (m_owned) std::filesystem::remove_all(m_path, ec);
}

} // namespace cli
