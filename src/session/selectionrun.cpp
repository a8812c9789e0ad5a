// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "session/selectionrun.h"

#include "journal/recording.h"
#include "services/nativepath.h"
#include "session/session.h"

#include <stdexcept>

SelectionRun::SelectionRun(Session& session, QProgressBar* bar, QLabel* label,
                           std::optional<journal::Kind> journaled)
    : m_session(session), m_scope(session.run),
      m_recording(journaled ? session.record(*journaled) : nullptr), m_progress(bar, label) {}

SelectionRun::~SelectionRun() = default;

bool SelectionRun::stopRequested() const {
    return m_session.run.stopRequested();
}

void SelectionRun::forEachRow(const std::function<void(int row)>& step) {
    const SelectionList& list = m_session.selection;
    const int n = list.rowCount();
    m_session.run.progress(0, n);
    // The selection list is locked during the run; the guard keeps a row that
    // went anyway from being read.
    for (int row = 0; row < n && row < list.rowCount() && !stopRequested(); ++row) {
        try {
            step(row);
        } catch (const std::exception& e) {
            // The error box says which file of the list the run stopped at.
            throw std::runtime_error(nativePath(list.path(row)) + ":\n" + e.what());
        }
        fileDone(row + 1, n);
    }
}

void SelectionRun::fileDone(int done, int total) {
    m_session.run.progress(done, total);
    m_progress.fileDone(done, total);
}

void SelectionRun::finish() {
    if (m_recording) m_recording->finish();
    m_busy.restore();
}
