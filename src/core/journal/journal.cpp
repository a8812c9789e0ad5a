// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/journal.h"

#include "io/file.h"
#include "io/filestat.h"
#include "io/ioerror.h"
#include "io/noreplace.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>

namespace journal {

namespace {

constexpr std::string_view Suffixes[] = {".open", ".action", ".damaged"}; // by State
// Far more digits than any journal needs, far fewer than a name may hold.
constexpr size_t MaxDigits = 200;

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// "0000000042.action" -> 42 closed; anything else is not an action file.
std::optional<ActionFile> parseName(std::string_view name) {
    for (size_t s = 0; s < std::size(Suffixes); ++s) {
        if (!name.ends_with(Suffixes[s])) continue;
        std::string_view digits = name.substr(0, name.size() - Suffixes[s].size());
        if (digits.empty() || digits.size() > MaxDigits ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        while (digits.size() > 1 && digits.front() == '0')
            digits.remove_prefix(1);
        ActionFile f;
        f.sequence = std::string(digits);
        f.state = ActionFile::State(s);
        return f;
    }
    return std::nullopt;
}

} // namespace

std::string ActionFile::name() const {
    return path.substr(path.rfind('/') + 1);
}

bool ActionFile::operator<(const ActionFile& other) const {
    if (sequence.size() != other.sequence.size()) return sequence.size() < other.sequence.size();
    return sequence < other.sequence;
}

std::string actionFileName(const std::string& sequence, ActionFile::State state) {
    return std::string(10 - std::min<size_t>(10, sequence.size()), '0') + sequence +
           std::string(Suffixes[size_t(state)]);
}

std::string nextSequence(std::string sequence) {
    for (size_t i = sequence.size(); i-- > 0;) {
        if (sequence[i] != '9') {
            ++sequence[i];
            return sequence;
        }
        sequence[i] = '0';
    }
    return "1" + sequence;
}

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
        auto f = parseName(e->d_name);
        if (!f) continue;
        f->path = m_folder + e->d_name;
        f->regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN) {
            struct stat st {};
            f->regular = ::lstat(f->path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
        }
        result.push_back(std::move(*f));
    }
    ::closedir(dir);
    std::stable_sort(result.begin(), result.end());
    return result;
}

std::vector<Action> Journal::actions() {
    std::vector<Action> result;
    auto all = files();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (it->state != ActionFile::State::Closed) continue;
        try {
            auto file = io::openRegular(it->path, io::File::Mode::Read);
            if (!file) {
                ignored(*it, "not a regular file");
                continue;
            }
            Action a = readAction(*file, false);
            a.sequence = it->sequence;
            if (a.changedFiles()) result.push_back(std::move(a));
        } catch (const Damaged& e) {
            ignored(*it, e.what());
        } catch (const io::IoError& e) {
            // Dropped by another program meanwhile: no longer part of the journal.
            if (e.code() != ENOENT) throw;
        }
    }
    return result;
}

void Journal::ignored(const ActionFile& file, const std::string& why) {
    m_warning += m_warning.empty() ? "The undo journal in " + m_folder +
                                         " has actions that cannot be used; they are skipped: "
                                   : "; ";
    m_warning += file.name() + " (" + why + ")";
}

void Journal::setAside(const ActionFile& file) {
    try {
        io::renameNoReplace(file.path,
                            m_folder + actionFileName(file.sequence, ActionFile::State::Damaged));
    } catch (const io::IoError&) {
        // Left where it is: it is skipped again, with the same warning.
    }
}

} // namespace journal
