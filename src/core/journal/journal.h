// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "journal/action.h"

#include <cstdint>
#include <string>
#include <vector>

// The undo journal: a folder beside the settings file that holds the last
// actions (writes, kills, rename runs), one file each, so that the newest can
// be undone, also after the program was closed or crashed.
namespace journal {

// How much the journal keeps: the oldest actions are dropped first.
struct Limits {
    size_t actions = 20;
    uint64_t bytes = uint64_t{1} << 30;
};

// An action file in the folder: its sequence number orders the actions.
struct ActionFile {
    uint64_t sequence;
    std::string path;
};

// The name of the action file with this sequence number ("0000000042.action").
std::string actionFileName(uint64_t sequence);

class Journal {
public:
    explicit Journal(std::string folder, Limits limits = {});
    const std::string& folder() const { return m_folder; }
    const Limits& limits() const { return m_limits; }

    // The actions that hold files, newest first. One that cannot be trusted
    // (damaged, or written by another version) is left out, and warning()
    // says so.
    std::vector<Action> actions();

    // The action files, oldest first.
    std::vector<ActionFile> files() const;

    // Empty, or the one message to show when part of the journal was ignored.
    const std::string& warning() const { return m_warning; }
    // Notes that an action cannot be trusted: it is passed over.
    void ignored();

private:
    std::string m_folder;
    Limits m_limits;
    std::string m_warning;
};

} // namespace journal
