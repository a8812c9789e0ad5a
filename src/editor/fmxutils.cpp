// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "editor/fmxutils.h"

#include "services/userdialogs.h"

namespace fmxutils {

void LaunchFile(UserDialogs& dialogs, const QString& file, const QString&, const QString&, int) {
    dialogs.launch(file);
}

} // namespace fmxutils
