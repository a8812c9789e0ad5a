// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/journal.h"

#include "io/file.h"
#include "io/ioerror.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <optional>

namespace journal {

namespace {

constexpr std::string_view Suffix = ".action";

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// "0000000042.action" -> 42; anything else is not an action file.
std::optional<uint64_t> sequenceOf(std::string_view name) {
    if (name.size() != 10 + Suffix.size() || !name.ends_with(Suffix)) return std::nullopt;
    uint64_t n = 0;
    for (char c : name.substr(0, 10)) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    return n;
}

} // namespace

Journal::Journal(std::string folder, Limits limits)
    : m_folder(withSlash(std::move(folder))), m_limits(limits) {}

std::vector<ActionFile> Journal::files() const {
    std::vector<ActionFile> result;
    DIR* dir = ::opendir(m_folder.c_str());
    if (!dir) {
        if (errno == ENOENT) return result; // no journal yet
        io::throwErrno();
    }
    while (const dirent* e = ::readdir(dir)) {
        if (const auto n = sequenceOf(e->d_name)) result.push_back({*n, m_folder + e->d_name});
    }
    ::closedir(dir);
    std::sort(result.begin(), result.end(),
              [](const ActionFile& a, const ActionFile& b) { return a.sequence < b.sequence; });
    return result;
}

std::string actionFileName(uint64_t sequence) {
    std::string digits = std::to_string(sequence);
    return std::string(10 - std::min<size_t>(10, digits.size()), '0') + digits +
           std::string(Suffix);
}

std::vector<Action> Journal::actions() {
    std::vector<Action> result;
    auto all = files();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        try {
            Action a = readAction(io::File(it->path, io::File::Mode::Read));
            a.sequence = it->sequence;
            if (!a.entries.empty()) result.push_back(std::move(a));
        } catch (const Damaged&) {
            ignored();
        } catch (const io::IoError& e) {
            // Dropped by another program meanwhile: no longer part of the journal.
            if (e.code() != ENOENT) throw;
        }
    }
    return result;
}

void Journal::ignored() {
    if (m_warning.empty())
        m_warning = "The undo journal in " + m_folder +
                    " is damaged or from another version; what cannot be read is ignored.";
}

} // namespace journal
