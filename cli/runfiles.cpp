#include "runfiles.h"

#include "io/file.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace cli {

TempFolder::TempFolder(const std::string& given) {
    if (!given.empty()) {
        m_path = given;
        return;
    }
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillet-tag-XXXXXX";
    if (!::mkdtemp(pattern.data())) io::throwErrno(); // never extract into "/"
    m_path = pattern;
    m_owned = true;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (m_owned) std::filesystem::remove_all(m_path, ec);
}

} // namespace cli
