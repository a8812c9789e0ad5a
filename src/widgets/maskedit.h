// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QLineEdit>
#include <functional>

class UserDialogs;

// A date field of exactly 10 characters, dd.MM.yyyy: day and month digits
// optional, the four year digits required. Moving the focus to another
// control of the window from a changed field with a blank year digit, or with
// a date its check refuses (31.02.2023), is refused (switching to another
// program or opening a popup is not leaving it); Escape gives back the text it
// had on entry.
class DateMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    DateMaskEdit(UserDialogs& dialogs, QWidget* parent = nullptr);

    // The 10-character text with blanks in unfilled positions ("  .  .    " when empty).
    QString dateText() const;
    void setDateText(const QString& tenCharacters);
    void clearDate() { setDateText(QStringLiteral("  .  .    ")); }

    // Where the date in the field's text goes wrong (the position of the
    // part that does), -1 when it is a date; none checks nothing.
    using DateCheck = std::function<int(const QString& tenCharacters)>;
    void setDateCheck(DateCheck check) { m_check = std::move(check); }

    static const QString InvalidInputMessage;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int firstBlankYearDigit() const;
    // Where leaving is refused: the first blank year digit, or the part the
    // check refuses; -1 when the field may be left.
    int refusedAt() const;
    void refuseLeaving();

    UserDialogs& m_dialogs;
    DateCheck m_check;
    QString m_textOnEntry;
    bool m_refusing = false; // a refusal is scheduled
    bool m_refused = false;  // the focus is being given back after a refusal
};
