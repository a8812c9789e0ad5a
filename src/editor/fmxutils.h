// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QString>

class UserDialogs;

namespace fmxutils {

// Asks the desktop to perform its default "open" action on a file or a link.
// Parameters, folder and show mode have no counterpart in the desktop's open
// action and are passed for the callers' sake only. One the desktop cannot
// carry out (no program for the file, no browser) is told in an error box.
void LaunchFile(UserDialogs& dialogs, const QString& file, const QString& parameters,
                const QString& folder, int showMode);

} // namespace fmxutils
