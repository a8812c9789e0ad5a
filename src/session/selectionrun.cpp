// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "session/selectionrun.h"

#include "journal/recording.h"
#include "session/session.h"

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
    // The selection list is locked during the run; the guard keeps a row that
    // went anyway from being read.
    for (int row = 0; row < n && row < list.rowCount() && !stopRequested(); ++row) {
        step(row);
        m_progress.fileDone(row + 1, n);
    }
}

void SelectionRun::finish() {
    if (m_recording) m_recording->finish();
    m_busy.restore();
}
