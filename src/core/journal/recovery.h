// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "journal/journal.h"

#include <string>
#include <vector>

// After a crash: every action left open by a process that is gone (a run
// cut short while it recorded, or an undo cut short) is finished, so that
// every file it names holds one whole image again and the action can be
// undone. The window and quillet-tag run this as they start.
namespace journal {

struct Recovered {
    enum class How {
        PutBack,      // held part of a write cut short: put back as it was
        KeptNew,      // its write had finished: it keeps it, and an undo takes it back
        ChangedSince, // holds something else: left alone
        Failed,       // could not be put back (message says why)
    };
    std::string path;
    How how = How::PutBack;
    std::string message;
};

struct Recovery {
    std::vector<Recovered> files;
    size_t leftovers = 0; // temporary files of writes cut short, removed
    std::string warning;  // the journal's, for actions that could not be read
    // What to tell the user once; "" when no file needed anything.
    std::string message() const;
};

Recovery recover(Journal& journal);

} // namespace journal
