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
//
// An action file is named after its sequence number, which orders the
// actions, and its state: "0000000042.open" while a run records it or an
// undo works on it (the process holds its lock meanwhile; one found without
// its lock was cut short, and the recovery finishes it), "0000000042.action"
// when closed, "0000000042.damaged" once an undo found it damaged and set it
// aside. Names are read at any width, so numbering never runs out.
namespace journal {

// How much the journal keeps: damaged and oversized actions are dropped
// first, then the oldest.
struct Limits {
    size_t actions = 20;
    uint64_t bytes = uint64_t{1} << 30;
};

// An entry of the folder named as an action file.
struct ActionFile {
    enum class State { Open, Closed, Damaged };
    std::string sequence; // decimal digits, without leading zeros
    std::string path;
    State state = State::Closed;
    bool regular = true; // only regular files are actions

    std::string name() const;                      // the name in the folder
    bool operator<(const ActionFile& other) const; // by sequence
};

// The name of the action file with this sequence number in this state
// ("0000000042.action").
std::string actionFileName(const std::string& sequence, ActionFile::State state);
// The sequence number after this one.
std::string nextSequence(std::string sequence);

class Journal {
public:
    explicit Journal(std::string folder, Limits limits = {});
    const std::string& folder() const { return m_folder; }
    const Limits& limits() const { return m_limits; }

    // The closed actions that changed files, newest first. One that cannot
    // be trusted (damaged, or written by another version) is left out, and
    // warning() says so.
    std::vector<Action> actions();

    // The entries named as action files, oldest first.
    std::vector<ActionFile> files() const;

    // Empty, or the one message to show for the actions passed over, each
    // named with the reason.
    std::string warning() const { return m_warning.empty() ? m_warning : m_warning + "."; }
    // Notes that an action cannot be trusted: it is passed over.
    void ignored(const ActionFile& file, const std::string& why);
    // Renames a damaged action aside ("….damaged"), where the size limit
    // drops it first and no undo meets it again.
    void setAside(const ActionFile& file);

private:
    std::string m_folder;
    Limits m_limits;
    std::string m_warning;
};

} // namespace journal
