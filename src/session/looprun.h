// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QObject>

// A long loop over the selection list ("Write for all", the renamer's run).
// Pending window events run between two files, so the window must know that
// a run is going on: it locks whatever could start another write or change
// the selection list, and a stop asked for meanwhile (a button, Escape,
// closing the window) ends the run after the file in hand.
class LoopRun : public QObject {
    Q_OBJECT
public:
    bool active() const { return m_active; }
    bool stopRequested() const { return m_stop; }
    // Ends the running loop after the file in hand; nothing without a run.
    void requestStop() {
        if (m_active) m_stop = true;
    }

    // Files done of the run's total, as the run goes.
    void progress(int done, int total) {
        m_done = done;
        m_total = total;
    }
    // How far the run (going on or just ended) got when a stop ended it
    // before its last file, "done of total"; "" otherwise. Told once.
    QString takeStoppedShort() {
        const bool shortOfEnd = (m_active ? m_stop : m_stoppedShort) && m_done < m_total;
        const QString told = QStringLiteral("%1 of %2").arg(m_done).arg(m_total);
        m_stoppedShort = false;
        m_done = m_total = 0;
        return shortOfEnd ? told : QString();
    }

    // One run for the scope's lifetime, however the scope is left.
    class Scope {
    public:
        explicit Scope(LoopRun& run) : m_run(run) { m_run.setActive(true); }
        ~Scope() { m_run.setActive(false); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        LoopRun& m_run;
    };

signals:
    void activeChanged(bool active);

private:
    void setActive(bool active) {
        if (active) m_done = m_total = 0;
        m_stoppedShort = !active && m_stop;
        m_active = active;
        m_stop = false;
        emit activeChanged(active);
    }

    bool m_active = false;
    bool m_stop = false;
    bool m_stoppedShort = false;
    int m_done = 0, m_total = 0;
};
