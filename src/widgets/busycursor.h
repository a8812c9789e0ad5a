// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QApplication>
#include <QCursor>

// The busy pointer for the length of an action, restored however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { restore(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void restore() {
        if (m_active) QApplication::restoreOverrideCursor();
        m_active = false;
    }

private:
    bool m_active = true;
};
