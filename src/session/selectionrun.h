// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "session/looprun.h"
#include "widgets/busycursor.h"
#include "widgets/loopprogress.h"

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class Session;

namespace journal {
class Recording;
enum class Kind : uint8_t;
} // namespace journal

// One run over the selection list ("Write for all", the renamer's run,
// undo): for as long as the object lives the window is locked against
// whatever could write or change the selection list (the session's LoopRun),
// the pointer is busy, and a journaled run records its files as one action of
// the undo journal. Its progress shows on a bar and an "i of n" label; a stop
// asked for (a button, Escape, closing the window) ends it after the file in
// hand. A run that fails leaves by its error: the journal action keeps the
// files done, and the window unlocks all the same.
class SelectionRun {
public:
    // Begins the run; journaled, it begins its journal action first (one that
    // cannot begin raises, and nothing is touched).
    SelectionRun(Session& session, QProgressBar* bar, QLabel* label,
                 std::optional<journal::Kind> journaled = std::nullopt);
    ~SelectionRun();
    SelectionRun(const SelectionRun&) = delete;
    SelectionRun& operator=(const SelectionRun&) = delete;

    // Where each file's change goes before the file is touched; none for a
    // run that is not journaled or a session without a journal.
    journal::Recording* recording() const { return m_recording.get(); }
    bool stopRequested() const;

    // Calls step for each row of the selection list in turn, and shows the
    // progress after it, until the last row or a stop.
    void forEachRow(const std::function<void(int row)>& step);
    // Shows that done of total files are done (for runs over other lists).
    void fileDone(int done, int total) { m_progress.fileDone(done, total); }

    // Ends the run as after its last file: the journal action closed, the
    // pointer back. The window unlocks when the object goes.
    void finish();

private:
    Session& m_session;
    LoopRun::Scope m_scope;
    BusyCursor m_busy;
    std::unique_ptr<journal::Recording> m_recording;
    LoopProgress m_progress;
};
