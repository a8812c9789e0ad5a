// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "app/quilletapplication.h"

#include "services/userdialogs.h"

#include <QIcon>

QuilletApplication::QuilletApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The title "Quillet v. 1.2" is the general error report's caption; as a
    // display name it would be appended to every window title here.
    setApplicationName(QStringLiteral("Quillet"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/quillet.svg")));
    // Desktops match the window to its menu entry, and so to its icon and name.
    setDesktopFileName(QStringLiteral("quillet"));
}

bool QuilletApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (m_dialogs) reportError(*m_dialogs, activeWindow(), QString::fromLocal8Bit(e.what()));
    }
    return false;
}
