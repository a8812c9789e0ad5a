// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"
#include "journal/action.h"
#include "journal/blobkeys.h"
#include "journal/journal.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Undoing the newest action of the journal, file by file in reverse order.
// Only the very file the action changed (the same device and inode, never a
// link in its place), still writable by the user, and still holding exactly
// what the action left in it is put back: its old tag region and trailer
// through the same crash-safe writing as a write (the audio moved back when
// the region's length differs), or its old name (never over another file).
// The audio bytes are never changed. The journal marks each file put back;
// the others stay to be undone.
namespace journal {

enum class Outcome {
    Restored,     // put back as it was before the action
    AsBefore,     // already as it was (the action never got to it, or an undo did)
    ChangedSince, // changed since the action: left alone
    Failed,       // could not be put back (message says why); left as it was
};

// What the window and quillet-tag say of a file left alone.
inline constexpr std::string_view ChangedSinceMessage = "changed since: not undone";
// ... while another run holds a newer action: its file may be on its way back.
inline constexpr std::string_view BusyMessage =
    "changed since, while another run is at work: not undone, the next undo tries it again";

struct Step {
    std::string path;     // the file as the action left it
    std::string restored; // where it is now, when the undo gave it back its old name
    Outcome outcome = Outcome::Restored;
    std::string message;   // for ChangedSince and Failed
    bool undoable = false; // left to be undone by the next undo
};

class Undo {
public:
    // Takes the newest closed action with files still to be undone that is
    // not in the hands of another process; empty() when there is none. An
    // action of another version is passed over; a damaged one met first is
    // set aside and nothing is taken in its place (journal.warning() says so
    // in both cases).
    explicit Undo(Journal& journal);
    // Finishes the undo if finish() was not called; errors are swallowed there.
    ~Undo();
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;

    bool empty() const { return !m_action; }
    const Action& action() const { return *m_action; }
    size_t steps() const { return m_order.size(); }
    size_t done() const { return m_next; }
    bool atEnd() const { return m_next >= steps(); }

    // Undoes the next file, newest first.
    Step next();

    // Records which files were put back (or left alone for good) and closes
    // the action; true when nothing of it is left to undo. An undo stopped
    // half-way, or with files that failed, leaves the rest to the next undo.
    bool finish();

private:
    using Identity = std::pair<uint64_t, uint64_t>; // device, inode
    Step undoChange(uint32_t entry, const Change& change);
    Step undoRename(uint32_t entry, const Rename& rename);
    Step leftAlone(std::string path);
    Step putBack(uint32_t entry, const std::string& path, Outcome outcome, Identity identity);
    // The files put back by undos of newer actions (or newer entries of this
    // one) lie where the action left its own: they are the files expected.
    void notePutBack(const Action& action);

    Journal& m_journal;
    std::optional<Action> m_action;
    ActionFile m_actionFile;
    io::File m_file; // the action's own file, locked while the undo runs
    bool m_opened = false;
    bool m_newerInUse = false;
    BlobKeys m_keys;
    std::vector<uint32_t> m_order; // the entries to undo, newest first
    size_t m_next = 0;
    std::map<std::string, Identity> m_expected;
    std::vector<std::pair<uint32_t, Mark>> m_marks; // of this run
};

} // namespace journal
