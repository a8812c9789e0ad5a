// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QString>

class QWidget;

// Every modal message box, question and file dialog of the program goes
// through this interface, so that tests can answer questions, pick files and
// read the messages the user would see.
class UserDialogs {
public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~UserDialogs() = default;

    virtual void message(QWidget* parent, const QString& text, const QString& caption,
                         Icon icon) = 0;
    // Yes and No buttons, No the default, question icon; true for Yes.
    virtual bool question(QWidget* parent, const QString& text, const QString& caption) = 0;
    // Empty when cancelled.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    virtual QString openPicture(QWidget* parent, const QString& folder, const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& folder, const QString& proposedName,
                             const QString& filter, const QString& defaultSuffix) = 0;
    // The desktop's default "open" action for a file or a link.
    virtual bool launch(const QString& target) = 0;
    virtual void beep() = 0;
};

// The program's general error report: the error's text, with a full stop
// appended when its last character sorts after ".", caption "Quillet v. 1.2",
// error icon.
QString withFullStop(const QString& text);
void reportError(UserDialogs& dialogs, QWidget* parent, const QString& text);

// Runs an event handler; an error it does not catch itself ends the action and
// reaches the general error report, and the program goes on.
template <class Handler> void guarded(UserDialogs& dialogs, QWidget* parent, Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        reportError(dialogs, parent, QString::fromLocal8Bit(e.what()));
    }
}

inline const QString ApplicationTitle = QStringLiteral("Quillet v. 1.2");
