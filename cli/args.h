// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <string>
#include <vector>

namespace cli {

// The command line of one quillet-tag run.
struct Args {
    std::vector<std::string> files;
    // set: the PROPERTY=VALUE arguments after the files
    std::vector<std::string> assignments;
    std::string temp;        // --temp DIR
    bool headerOnly = false; // --header-only
    // the commands that change files record what they change in the undo
    // journal (--journal, the default) or not (--no-journal)
    bool journal = true;
    bool list = false;         // --list: undo lists the journal instead
    bool force = false;        // --force: write files that are not MP3 files too
    bool allowLoss = false;    // --allow-loss: writes drop the frames they cannot keep
    std::string programFolder; // --program-folder DIR: where the journal is
    std::string pattern;       // --template TEMPLATE: names reads the files' names by it
    bool total = false;        // --total: number writes n/m
};

} // namespace cli
