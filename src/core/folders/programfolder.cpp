// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "folders/programfolder.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace folders {

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// Asked with the effective rights: the ones the program's writes will have.
bool writable(const std::string& folder) {
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) == 0;
}

bool installed(const std::string& executableFolder) {
    struct stat st {};
    return ::stat((executableFolder + "/../share/applications/quillet.desktop").c_str(), &st) == 0;
}

// As the window finds it: $HOME, or the root without one. (No user database
// lookup: quillet-tag is a static program without the name service.)
std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

} // namespace

std::string chooseProgramFolder(const std::string& executableFolder,
                                const std::string& userDataFolder) {
    if (!installed(executableFolder) && writable(executableFolder))
        return withSlash(executableFolder);
    return withSlash(userDataFolder);
}

std::string executableFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string exe(path, static_cast<size_t>(n));
    const auto slash = exe.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string userDataFolder() {
    // The XDG rule: a relative XDG_DATA_HOME is ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string base =
        xdg && xdg[0] == '/' ? std::string(xdg) : homeFolder() + "/.local/share";
    return base + "/Quillet";
}

std::string programFolder() {
    return chooseProgramFolder(executableFolder(), userDataFolder());
}

} // namespace folders
