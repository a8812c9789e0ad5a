// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"
#include "journal/action.h"
#include "journal/image.h"
#include "journal/journal.h"

#include <optional>
#include <string>
#include <string_view>

// Undoing the newest action of the journal, file by file in reverse order.
// Only a file that still holds exactly what the action left in it is put
// back: its old tag region and trailer through the same crash-safe writing
// as a write (the audio moved back when the region's length differs), or its
// old name (never over another file). The audio bytes are never changed.
namespace journal {

enum class Outcome {
    Restored,     // put back as it was before the action
    AsBefore,     // already as it was (the action never got to it, or an undo did)
    ChangedSince, // changed since the action: left alone
    Failed,       // could not be put back (message says why); left as it was
};

// What the window and quillet-tag say of a file left alone.
inline constexpr std::string_view ChangedSinceMessage = "changed since: not undone";

struct Step {
    std::string path;     // the file as the action left it
    std::string restored; // where it is now, when the undo gave it back its old name
    Outcome outcome = Outcome::Restored;
    std::string message; // for ChangedSince and Failed
};

class Undo {
public:
    // Takes the newest action that is not undone, holds nothing, or is in
    // the hands of another process; empty() when there is none. Actions that
    // cannot be trusted are passed over (journal.warning() says so).
    explicit Undo(Journal& journal);
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;

    bool empty() const { return !m_action; }
    const Action& action() const { return *m_action; }
    size_t steps() const { return m_action ? m_action->entries.size() : 0; }
    size_t done() const { return m_next; }
    bool atEnd() const { return m_next >= steps(); }

    // Undoes the next file, newest first.
    Step next();

    // Marks the action undone when every file was gone through and none
    // failed; true when it did. An undo stopped half-way, or with files that
    // failed, stays the newest action: the next undo goes on with it.
    bool finish();

private:
    Step undoChange(const Change& change);
    Step undoRename(const Rename& rename);
    std::vector<uint8_t> oldHead(const Change& change) const;
    void restore(const Change& change, const io::File& current, uint64_t size, bool headBack,
                 bool trailerBack, const std::vector<uint8_t>& old);

    std::optional<Action> m_action;
    io::File m_file; // the action's own file, locked while the undo runs
    mutable BlobKeys m_keys;
    size_t m_next = 0;
    bool m_failed = false;
};

} // namespace journal
