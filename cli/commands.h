// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "args.h"

namespace cli {

enum Exit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

int dump(const Args& args);
int kill(const Args& args);
int write(const Args& args);  // write.cpp
int set(const Args& args);    // write.cpp
int undo(const Args& args);   // undo.cpp
int names(const Args& args);  // names.cpp
int number(const Args& args); // names.cpp

} // namespace cli
