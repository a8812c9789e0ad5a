// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "io/replacement.h"

#include "io/ioerror.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <signal.h>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

// Long names must leave room for the suffix within the 255-byte name limit.
constexpr size_t MaxBaseLength = 200;
constexpr int MaxAttempts = 100;

std::string resolvedPath(const std::string& target) {
    char* real = ::realpath(target.c_str(), nullptr);
    if (!real) return target; // not there yet, or not resolvable: use it as given
    std::string path(real);
    std::free(real);
    return path;
}

// The start of the temporary names of target's replacements: ".NAME.".
std::string tempPrefix(const std::string& target, const std::string& folder) {
    return "." + target.substr(folder.size(), MaxBaseLength) + ".";
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string randomSuffix() {
    static constexpr char Alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned counter = 0;
    unsigned char raw[10];
    if (::getrandom(raw, sizeof raw, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof raw)) {
        // Without the kernel's randomness the exclusive create still keeps
        // every existing file safe; the name only has to differ per attempt.
        uint64_t x = (uint64_t{static_cast<unsigned>(::getpid())} << 32) ^ ++counter;
        for (unsigned char& c : raw) {
            x = x * 6364136223846793005u + 1442695040888963407u;
            c = static_cast<unsigned char>(x >> 56);
        }
    }
    std::string s;
    for (unsigned char c : raw)
        s += Alphabet[c % (sizeof Alphabet - 1)];
    return s;
}

// The process's file creation mask, read without changing it (umask() would
// change it for every thread for a moment).
mode_t processUmask() {
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
    return 022;
}

} // namespace

ReplacementFile::ReplacementFile(const std::string& target) : m_target(resolvedPath(target)) {
    const std::string folder = folderOf(m_target);
    const std::string prefix = folder + tempPrefix(m_target, folder) + std::to_string(::getpid());
    for (int attempt = 1;; ++attempt) {
        // Hidden, and named after the file it replaces and the process, so a
        // leftover after a crash says where it came from.
        std::string path = prefix + "-" + randomSuffix() + ".tmp";
        try {
            m_file = File(path, File::Mode::CreateNew, 0600);
            m_tempPath = std::move(path);
            return;
        } catch (const IoError& e) {
            if (e.code() != EEXIST || attempt == MaxAttempts) throw;
        }
    }
}

ReplacementFile::~ReplacementFile() {
    if (m_committed || m_tempPath.empty()) return;
    m_file = File();
    ::unlink(m_tempPath.c_str());
}

void ReplacementFile::commit() {
    struct stat original {};
    const bool exists = ::stat(m_target.c_str(), &original) == 0;
    // Only a target that is not there may go without its bits: any other
    // failure would give the new file the temporary file's private mode.
    if (!exists && errno != ENOENT) throwErrno();
    if (!exists) {
        // A new file gets the mode any new file of the user's gets, not the
        // temporary file's private one.
        if (::fchmod(m_file.fd(), 0666 & ~processUmask()) != 0) throwErrno();
    } else {
        if (original.st_uid != ::geteuid() || original.st_gid != ::getegid()) {
            // Only root may give a file away, and only a member may set its
            // group; without the right the file keeps the writer's owner, as a
            // file newly saved by this user would.
            if (::fchown(m_file.fd(), original.st_uid, original.st_gid) != 0 && errno != EPERM)
                throwErrno();
        }
        // After the owner change, which clears the set-ID bits.
        if (::fchmod(m_file.fd(), original.st_mode & 07777) != 0) throwErrno();
    }
    m_file.sync();
    m_file.close();
    if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0) throwErrno();
    m_committed = true;
}

size_t removeStaleReplacements(const std::string& target) {
    const std::string path = resolvedPath(target);
    const std::string folder = folderOf(path);
    const std::string prefix = tempPrefix(path, folder);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return 0;
    size_t removed = 0;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
        // ".NAME.PID-RANDOM.tmp": the process must be gone, not merely another user's.
        const std::string_view rest = name.substr(prefix.size());
        const size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string_view::npos || dash > 9) continue;
        const std::string pid(rest.substr(0, dash));
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (::kill(static_cast<pid_t>(std::stol(pid)), 0) == 0 || errno != ESRCH) continue;
        struct stat st {};
        const std::string leftover = folder + std::string(name);
        if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::unlink(leftover.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

} // namespace io
