// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QString>

// The folder this process keeps the pictures read from tags in, ending with
// "/". The first program running on a program folder uses its "Temp"; another
// one started beside it gets a folder of its own inside "Temp", named after
// its process, so that neither writes over nor deletes the other's pictures.
// Such folders left behind by a program that ended without its exit work are
// emptied and removed by the next one that starts. Made when missing.
QString tempFolder();

// The exit work: deletes the pictures, and the folder itself when it is one
// of a second program's.
void leaveTempFolder(const QString& folder);
