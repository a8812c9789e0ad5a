// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "faultshim.h"

#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>
#include <utility>

namespace faults {

namespace {

struct Armed {
    Plan plan;
    int count = 0;
    bool fired = false;
};

struct State {
    bool armed = false;
    std::vector<Armed> plans;
    // The journal's flush runs on a thread of its own: one call is judged
    // at a time (an action's own calls, on its thread, go through unjudged).
    std::recursive_mutex judging;
};

// Of the call this thread is making.
thread_local bool atPage = false; // the short call stops at a page boundary
thread_local const std::function<void()>* after = nullptr;

State& state() {
    static State s;
    return s;
}

// What the intercepted call does: run normally, fail, or move fewer bytes.
enum class Verdict { Run, Fail, Short };

Verdict judge(Op op) {
    State& s = state();
    const std::lock_guard lock(s.judging);
    if (!s.armed) return Verdict::Run;
    for (Armed& a : s.plans) {
        if (a.plan.op != op) continue;
        const int n = ++a.count;
        if (n < a.plan.nth || (n > a.plan.nth && !a.plan.sticky)) continue;
        if (n == a.plan.nth) {
            a.fired = true;
            if (a.plan.after) after = &a.plan.after;
            if (a.plan.before) {
                // The action makes real calls of its own, unjudged.
                s.armed = false;
                a.plan.before();
                s.armed = true;
            }
        }
        if (a.plan.shortCall) {
            atPage = a.plan.atPage;
            return Verdict::Short;
        }
        if (a.plan.error == 0) continue;
        errno = a.plan.error;
        return Verdict::Fail;
    }
    return Verdict::Run;
}

// Runs the after-action of the call just made, if it has one.
long afterCall(long result) {
    State& s = state();
    if (const auto* action = std::exchange(after, nullptr)) {
        const std::lock_guard lock(s.judging);
        s.armed = false;
        (*action)();
        s.armed = true;
    }
    return result;
}

size_t shorter(size_t n) {
    return n > 1 ? n / 2 : n;
}

// syscall() already returns -1 with errno set on failure.
long sys(long result) {
    return result;
}

} // namespace

const char* name(Op op) {
    static const char* const names[] = {"open",  "stat",   "read",   "write",
                                        "copy",  "sync",   "close",  "truncate",
                                        "chmod", "chown",  "rename", "rename-noreplace",
                                        "link",  "unlink", "mkdir"};
    return names[static_cast<int>(op)];
}

void arm(std::vector<Plan> plans) {
    State& s = state();
    const std::lock_guard lock(s.judging);
    s.plans.clear();
    for (Plan& p : plans)
        s.plans.push_back({std::move(p)});
    s.armed = true;
}

void disarm() {
    State& s = state();
    const std::lock_guard lock(s.judging);
    s.armed = false;
}

bool fired() {
    State& s = state();
    const std::lock_guard lock(s.judging);
    return !s.plans.empty() && s.plans.front().fired;
}

} // namespace faults

using faults::judge;
using faults::Op;
using faults::Verdict;

// The interposed calls. Each asks the plan, then makes the real system call
// directly (so no other interposer, the sanitizers' included, runs twice).
extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, unsigned));
        va_end(args);
    }
    if (judge(Op::Open) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_openat, AT_FDCWD, path, flags, mode)));
}

int stat(const char* path, struct stat* st) {
    if (judge(Op::Stat) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_newfstatat, AT_FDCWD, path, st, 0)));
}

int fstat(int fd, struct stat* st) {
    if (judge(Op::Stat) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_fstat, fd, st)));
}

ssize_t pread(int fd, void* buf, size_t n, off_t offset) {
    const Verdict v = judge(Op::Read);
    if (v == Verdict::Fail) return -1;
    if (v == Verdict::Short) n = faults::shorter(n);
    return faults::sys(syscall(SYS_pread64, fd, buf, n, offset));
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t offset) {
    const Verdict v = judge(Op::Write);
    if (v == Verdict::Fail) return -1;
    if (v == Verdict::Short) n = faults::shorter(n);
    if (v == Verdict::Short && std::exchange(faults::atPage, false)) {
        constexpr off_t Page = 4096;
        const off_t end = (offset + static_cast<off_t>(n)) / Page * Page;
        n = end > offset ? static_cast<size_t>(end - offset) : 0;
        if (n == 0) return faults::afterCall(0);
    }
    return faults::afterCall(faults::sys(syscall(SYS_pwrite64, fd, buf, n, offset)));
}

ssize_t copy_file_range(int in, loff_t* inOffset, int out, loff_t* outOffset, size_t n,
                        unsigned flags) {
    const Verdict v = judge(Op::Copy);
    if (v == Verdict::Fail) return -1;
    if (v == Verdict::Short) n = faults::shorter(n);
    return faults::sys(syscall(SYS_copy_file_range, in, inOffset, out, outOffset, n, flags));
}

int fsync(int fd) {
    if (judge(Op::Sync) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_fsync, fd)));
}

int fdatasync(int fd) {
    if (judge(Op::Sync) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_fdatasync, fd)));
}

int close(int fd) {
    // A failed close still closes the descriptor, as on Linux.
    const Verdict v = judge(Op::Close);
    const int saved = errno;
    const long result = faults::sys(syscall(SYS_close, fd));
    if (v == Verdict::Fail) {
        errno = saved;
        return -1;
    }
    return static_cast<int>(result);
}

int ftruncate(int fd, off_t length) {
    if (judge(Op::Truncate) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_ftruncate, fd, length)));
}

int fchmod(int fd, mode_t mode) {
    if (judge(Op::Chmod) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_fchmod, fd, mode)));
}

int fchown(int fd, uid_t uid, gid_t gid) {
    if (judge(Op::Chown) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_fchown, fd, uid, gid)));
}

int rename(const char* from, const char* to) {
    if (judge(Op::Rename) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_rename, from, to)));
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    if (judge(Op::RenameNoReplace) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_renameat2, fromDir, from, toDir, to, flags)));
}

int link(const char* from, const char* to) {
    if (judge(Op::Link) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_link, from, to)));
}

int lstat(const char* path, struct stat* st) {
    if (judge(Op::Stat) == Verdict::Fail) return -1;
    return static_cast<int>(
        faults::sys(syscall(SYS_newfstatat, AT_FDCWD, path, st, AT_SYMLINK_NOFOLLOW)));
}

int unlink(const char* path) {
    if (judge(Op::Unlink) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_unlink, path)));
}

int mkdir(const char* path, mode_t mode) {
    if (judge(Op::Mkdir) == Verdict::Fail) return -1;
    return static_cast<int>(faults::sys(syscall(SYS_mkdir, path, mode)));
}

} // extern "C"
