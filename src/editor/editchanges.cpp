// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/editchanges.h"

#include <QMetaObject>

EditChanges::EditChanges(Values values, QObject* parent)
    : QObject(parent), m_values(std::move(values)) {}

void EditChanges::forget() {
    m_reading = true;
    m_stale = false;
    m_changes = {};
    emit changed();
}

void EditChanges::reset() {
    m_read = m_values();
    m_reading = false;
    m_stale = false;
    m_changes = {};
    emit changed();
}

void EditChanges::update() {
    if (m_reading || m_stale) return;
    m_stale = true;
    QMetaObject::invokeMethod(this, &EditChanges::refresh, Qt::QueuedConnection);
}

const tagfile::TagChanges& EditChanges::changes() {
    refresh();
    return m_changes;
}

void EditChanges::refresh() {
    if (!m_stale) return;
    m_stale = false;
    m_changes = tagfile::TagChanges::between(m_read, m_values());
    emit changed();
}
