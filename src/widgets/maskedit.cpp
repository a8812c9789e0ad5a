// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/maskedit.h"

#include "services/userdialogs.h"

#include <QKeyEvent>
#include <QTimer>

const QString DateMaskEdit::InvalidInputMessage =
    QStringLiteral("Invalid input value.  Use escape key to abandon changes");

namespace {
// The focus leaves for the whole window (another program, a message box) or
// for a popup, and comes back with the same reason: the user has not left
// the field for another control of the window.
bool windowOrPopup(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}
} // namespace

DateMaskEdit::DateMaskEdit(UserDialogs& dialogs, QWidget* parent)
    : QLineEdit(parent), m_dialogs(dialogs) {
    // Qt's mask letters are the reverse of the classic ones: "0" is an optional
    // digit, "9" a required one.
    setInputMask(QStringLiteral("00.00.9999;_"));
    clearDate();
}

QString DateMaskEdit::dateText() const {
    // text() drops blank positions; the display keeps every position.
    QString shown = displayText();
    shown.replace(QLatin1Char('_'), QLatin1Char(' '));
    return shown.leftJustified(10, QLatin1Char(' '), true);
}

void DateMaskEdit::setDateText(const QString& tenCharacters) {
    setText(tenCharacters);
    setModified(false);
}

int DateMaskEdit::firstBlankYearDigit() const {
    const QString t = dateText();
    for (int i = 6; i < 10; ++i)
        if (!t[i].isDigit()) return i;
    return -1;
}

void DateMaskEdit::focusInEvent(QFocusEvent* event) {
    // Coming back after a refusal keeps the text of the first entry for Escape
    // and puts the cursor on the first blank year digit.
    const bool returning = m_refused;
    if (!returning && !m_refusing && !windowOrPopup(event->reason())) {
        m_textOnEntry = dateText();
        setModified(false);
    }
    m_refused = false;
    QLineEdit::focusInEvent(event);
    if (returning) setCursorPosition(std::max(firstBlankYearDigit(), 0));
}

void DateMaskEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (m_refusing || windowOrPopup(event->reason()) || !isModified() || firstBlankYearDigit() < 0)
        return;
    // Refused after the focus change has settled, so the message box does not
    // fight with it; the focus comes back here.
    m_refusing = true;
    QTimer::singleShot(0, this, &DateMaskEdit::refuseLeaving);
}

void DateMaskEdit::refuseLeaving() {
    m_dialogs.beep();
    reportError(m_dialogs, this, InvalidInputMessage);
    m_refusing = false;
    if (hasFocus()) {
        setCursorPosition(std::max(firstBlankYearDigit(), 0));
    } else {
        m_refused = true;
        setFocus(Qt::OtherFocusReason);
    }
}

void DateMaskEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        setDateText(m_textOnEntry);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
