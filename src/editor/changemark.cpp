// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/changemark.h"

#include <QEvent>

ChangeMark::ChangeMark(QLabel* beside, const QString& field)
    : QLabel(QStringLiteral("\u25CF"), beside->parentWidget()), m_beside(beside), m_field(field) {
    setObjectName(QStringLiteral("ChangeMark"));
    setAccessibleName(field + tr(" changed"));
    setToolTip(tr("Changed since the file was read: \"Write changes to all\" writes it into "
                  "every file of the selection list"));
    setForegroundRole(QPalette::Highlight);
    adjustSize();
    hide();
    // Room for the mark inside the label, however tight its column is.
    QMargins room = beside->contentsMargins();
    room.setRight(room.right() + width() + 4);
    beside->setContentsMargins(room);
    beside->installEventFilter(this);
}

void ChangeMark::setChanged(bool changed) {
    if (changed) place();
    setVisible(changed);
}

bool ChangeMark::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_beside && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        place();
    return QLabel::eventFilter(watched, event);
}

void ChangeMark::place() {
    // Right after the label's text, which the layout may have given more room.
    const int text = m_beside->fontMetrics().horizontalAdvance(m_beside->text());
    const QRect at = m_beside->geometry();
    move(at.left() + std::min(text, at.width()) + 4, at.top() + (at.height() - height()) / 2);
    raise();
}
