// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "runfiles.h"

#include "folders/programfolder.h"
#include "io/file.h"
#include "journal/journal.h"
#include "journal/recording.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

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
