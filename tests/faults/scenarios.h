// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "faults/faultshim.h"
#include "support/testfiles.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// The operations the fault tests break, each on a fresh folder of its own.

// A file or folder as found, by its path relative to the test folder.
struct Entry {
    testing_support::Bytes bytes;
    unsigned mode = 0;
    bool folder = false;
    bool operator==(const Entry&) const = default;
};
using Snapshot = std::map<std::string, Entry>;
Snapshot snapshot(const std::string& folder);

// What the error box says for an injected errno.
std::string wordsFor(int error);
// The message of the io::IoError the call raises ("" when it succeeds); any
// other exception is reported as a message no test expects.
std::string errorOf(const std::function<void()>& call);

// One prepared operation: what to run while faults are armed, and how to check
// its outcome against the folder as it was before.
struct Prepared {
    std::function<void()> operation;
    std::function<void(const testing_support::TempDir&, const Snapshot& before)> checkDone;
    std::function<void(const testing_support::TempDir&, const Snapshot& before)> checkFailed;
};

// What an operation does with its target, which tells the tests what to expect.
struct Traits {
    bool readsTarget = false;     // reads the target's bytes (a cut file is noticed)
    bool needsTarget = false;     // fails with "File not found" when it is gone
    bool refusesReadOnly = false; // fails when the target is read-only
    bool needsRoom = false;       // takes room on the disk (fails on a full one)
    bool needsNewFile = false;    // makes a file or folder beside the target
};

struct Scenario {
    const char* id;
    const char* name;
    std::string target; // the file the operation is about, relative to the folder
    Traits traits;
    std::function<Prepared(const testing_support::TempDir&)> prepare;
    std::vector<faults::Plan> extra = {}; // armed beside each fault (to force a path)
    // The message for an injected errno, when it is not wordsFor's.
    std::function<std::string(int error, const testing_support::TempDir&)> words = {};

    std::string wordsFor(int error, const testing_support::TempDir& dir) const {
        return words ? words(error, dir) : ::wordsFor(error);
    }
};

const std::vector<const Scenario*>& allScenarios();
