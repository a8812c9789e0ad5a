// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QLineEdit>

class UserDialogs;

// A date field of exactly 10 characters, dd.MM.yyyy: day and month digits
// optional, the four year digits required. Moving the focus to another
// control of the window from a changed field with a blank year digit is
// refused (switching to another program or opening a popup is not leaving
// it); Escape gives back the text it had on entry.
class DateMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    DateMaskEdit(UserDialogs& dialogs, QWidget* parent = nullptr);

    // The 10-character text with blanks in unfilled positions ("  .  .    " when empty).
    QString dateText() const;
    void setDateText(const QString& tenCharacters);
    void clearDate() { setDateText(QStringLiteral("  .  .    ")); }

    static const QString InvalidInputMessage;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int firstBlankYearDigit() const;
    void refuseLeaving();

    UserDialogs& m_dialogs;
    QString m_textOnEntry;
    bool m_refusing = false; // a refusal is scheduled
    bool m_refused = false;  // the focus is being given back after a refusal
};
