// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagfile/tagchanges.h"

#include <QObject>
#include <functional>

// What the user changed in the editor since it read its file: the editor's
// values now against those it showed right after the read, so that a value
// that reads back in another form (a date, a text the field shows up to its
// zero) is no change until the user changes it. The marks beside the fields,
// "Write changes to all" and the question when the window closes all ask it.
class EditChanges : public QObject {
    Q_OBJECT
public:
    using Values = std::function<tagfile::TagValues()>;
    EditChanges(Values values, QObject* parent);

    // A read begins: nothing is changed until it has ended (reset).
    void forget();
    // What the editor shows now is what its file holds: after a read, and
    // after its edits were written or discarded.
    void reset();
    // Something the editor shows may have changed: compared again once the
    // events in hand have run, however many changes they bring.
    void update();

    const tagfile::TagChanges& changes();
    bool any() { return !changes().empty(); }

signals:
    // The changes were compared again.
    void changed();

private:
    void refresh();

    Values m_values;
    tagfile::TagValues m_read;
    tagfile::TagChanges m_changes;
    bool m_reading = true; // no file read yet, or a read going on
    bool m_stale = false;
};
