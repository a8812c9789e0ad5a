// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "services/userdialogs.h"

QString withFullStop(const QString& text) {
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) return text + QLatin1Char('.');
    return text;
}

void reportError(UserDialogs& dialogs, QWidget* parent, const QString& text) {
    dialogs.message(parent, withFullStop(text), ApplicationTitle, UserDialogs::Icon::Error);
}
