// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/fmxutils.h"

#include "services/userdialogs.h"

#include <QApplication>

namespace fmxutils {

void LaunchFile(UserDialogs& dialogs, const QString& file, const QString&, const QString&, int) {
    if (dialogs.launch(file)) return;
    reportError(dialogs, QApplication::activeWindow(),
                QStringLiteral("Cannot open %1: the desktop has no program for it.").arg(file));
}

} // namespace fmxutils
