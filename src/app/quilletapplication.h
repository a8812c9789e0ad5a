// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QApplication>

class UserDialogs;

// The application object: its title, and the general error report for any
// error that no handler caught. The program goes on after the report.
class QuilletApplication : public QApplication {
public:
    QuilletApplication(int& argc, char** argv);
    void setDialogs(UserDialogs* dialogs) { m_dialogs = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    UserDialogs* m_dialogs = nullptr;
};
