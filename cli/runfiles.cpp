// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "runfiles.h"

#include "folders/programfolder.h"
#include "io/file.h"
#include "journal/journal.h"
#include "journal/recording.h"
#include "journal/recovery.h"
#include "tagfile/batch.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cli {

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

std::string journalFolder(const Args& args) {
    std::string folder = args.programFolder.empty() ? folders::programFolder() : args.programFolder;
    if (folder.back() != '/') folder += '/';
    return folders::journalFolder(folder);
}

RunJournal::RunJournal(const Args& args, journal::Kind kind) {
    if (!args.journal) return;
    m_journal = std::make_unique<journal::Journal>(journalFolder(args));
    m_recording = std::make_unique<journal::Recording>(*m_journal, kind);
}

RunJournal::~RunJournal() = default;

bool RunJournal::finish() {
    if (!m_recording) return true;
    try {
        m_recording->finish();
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillet-tag: the undo journal could not be ended: %s\n", e.what());
        return false;
    }
}

bool startJournal(const Args& args, journal::Kind kind, std::unique_ptr<RunJournal>& journal) {
    try {
        journal = std::make_unique<RunJournal>(args, kind);
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillet-tag: the undo journal could not be begun: %s\n", e.what());
        return false;
    }
}

namespace {

// Picture folders are "quillet-tag-PID-XXXXXX" in the temporary folder: the
// process's number tells the folder of a killed run from one in use.
constexpr std::string_view PictureFolderPrefix = "quillet-tag-";

std::string temporaryFolder() {
    const char* base = std::getenv("TMPDIR");
    return base && *base ? base : "/tmp";
}

// Removes the picture folders of this user's runs that were killed.
void removeStalePictureFolders() {
    const std::string base = temporaryFolder();
    DIR* dir = ::opendir(base.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (!name.starts_with(PictureFolderPrefix)) continue;
        const std::string_view rest = name.substr(PictureFolderPrefix.size());
        const size_t dash = rest.find('-');
        if (dash == 0 || dash > 9 || rest.size() != dash + 7) continue;
        const std::string pid(rest.substr(0, dash));
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (::kill(static_cast<pid_t>(std::stol(pid)), 0) == 0 || errno != ESRCH) continue;
        const std::string path = base + "/" + std::string(name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
            stale.push_back(path);
    }
    ::closedir(dir);
    for (const std::string& path : stale) {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
}

} // namespace

journal::Recovery recoverAtStart(const Args& args) {
    removeStalePictureFolders();
    journal::Journal j(journalFolder(args));
    return journal::recover(j);
}

std::string toldOnce(const journal::Recovery& r) {
    std::string told = r.message();
    if (!r.warning.empty()) told += (told.empty() ? "" : " ") + r.warning;
    return told;
}

bool inBatches(const Args& args, journal::Recording* journal,
               const std::function<void(tagfile::Batch&, size_t index)>& plan) {
    bool all = true;
    auto report = [&](size_t i, std::exception_ptr error) {
        all &= perFile(args.files[i], [&] { std::rethrow_exception(error); });
    };
    tagfile::Batch batch(journal, [&](size_t i, std::exception_ptr error) {
        if (error) report(i, error);
    });
    for (size_t i = 0; i < args.files.size(); ++i) {
        try {
            plan(batch, i);
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            // The files before it are written first, so that the lines keep their order.
            batch.flush();
            report(i, error);
        }
    }
    batch.flush();
    return all;
}

TempFolder::TempFolder(const std::string& given) : m_path(given) {}

std::string TempFolder::path() {
    // Made on first use only: a run that extracts no picture leaves no trace.
    if (m_path.empty()) {
        std::string pattern = temporaryFolder() + "/" + std::string(PictureFolderPrefix) +
                              std::to_string(::getpid()) + "-XXXXXX";
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
