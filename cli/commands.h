// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "args.h"

namespace cli {

enum Exit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

int dump(const Args& args);
int kill(const Args& args);
int write(const Args& args);   // write.cpp
int set(const Args& args);     // write.cpp
int undo(const Args& args);    // undo.cpp
int recover(const Args& args); // undo.cpp
int names(const Args& args);   // names.cpp
int number(const Args& args);  // names.cpp

// What every start does first: the journal's actions cut short by a crash
// are recovered, and the leftovers of killed runs removed. One line on
// standard error says what was done, when anything was.
void atStart(const Args& args);

} // namespace cli
