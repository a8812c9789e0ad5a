// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <functional>
#include <string>
#include <vector>

// A fault injector for the file system calls of the core, linked into the
// fault tests only: the test executable defines open, pread, pwrite, fsync,
// close, rename, link, ... itself, so every call the core makes goes through here
// first (the real call follows as a plain system call). While plans are armed
// each counts the calls of its kind, and the nth one (and, for a sticky fault,
// every later one) fails with the planned errno, is cut short, or first runs
// an action of the test's (another process truncating or removing the file).
namespace faults {

enum class Op {
    Open,
    Stat,
    Read,
    Write,
    Copy,
    Sync,
    Close,
    Truncate,
    Chmod,
    Chown,
    Rename,
    RenameNoReplace,
    Link,
    Unlink,
    Mkdir
};
const char* name(Op op);

struct Plan {
    Op op;
    int nth = 1;                      // the first call of op to hit (1-based)
    int error = 0;                    // errno to fail with; 0 lets the call run
    bool sticky = false;              // every later call of op fails too (a disk that stays full)
    bool shortCall = false;           // a read or write moves half the bytes asked (at least one)
    std::function<void()> before;     // runs just before the nth call
    std::function<void()> after = {}; // runs just after the nth write (pwrite)
    // A short write stops at a page boundary, as a write cut short by a kill
    // does (none when the first half lies within one page).
    bool atPage = false;
};

// Arms the plans until disarm(); each counts the calls of its op from zero.
void arm(std::vector<Plan> plans);
void disarm();
// Whether the first plan's nth call came.
bool fired();

// Arms plans for the length of a scope.
class Armed {
public:
    explicit Armed(std::vector<Plan> plans) { arm(std::move(plans)); }
    ~Armed() { disarm(); }
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
};

} // namespace faults
