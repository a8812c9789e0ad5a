// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag undo: undoes the newest action of the undo journal, or lists
// the journal (--list), one JSON line per action; quillet-tag recover:
// finishes the actions a crash cut short.
#include "journal/undo.h"

#include "commands.h"
#include "journal/journal.h"
#include "journal/recovery.h"
#include "linewriter.h"
#include "runfiles.h"

#include <cstdio>
#include <ctime>

namespace cli {

namespace {

// The time of an action in UTC, to the second: 2026-12-08T00:22:13Z.
std::string isoTime(int64_t nanoseconds) {
    const time_t seconds = static_cast<time_t>(nanoseconds / 1000000000);
    tm utc{};
    ::gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void warnOnce(const journal::Journal& j) {
    if (!j.warning().empty()) std::fprintf(stderr, "quillet-tag: %s\n", j.warning().c_str());
}

int list(journal::Journal& j) {
    const auto actions = j.actions();
    warnOnce(j);
    for (const journal::Action& a : actions) {
        tagjson::LineWriter w;
        w.beginObject();
        w.key("kind").string(journal::kindName(a.kind));
        w.key("time").string(isoTime(a.time));
        w.key("files").number(static_cast<long long>(a.fileCount()));
        w.key("bytes").number(static_cast<long long>(a.bytes));
        w.key("undone").boolean(a.undone());
        w.endObject();
        printLine(w.take());
    }
    return ExitOk;
}

// {"file": PATH, KEY: VALUE} and, for a file that got its old name back, "now".
void fileLine(const std::string& file, const char* key, const std::string* value,
              const std::string& now = {}) {
    tagjson::LineWriter w;
    w.beginObject();
    w.key("file").string(file);
    if (value)
        w.key(key).string(*value);
    else
        w.key(key).boolean(true);
    if (!now.empty()) w.key("now").string(now);
    w.endObject();
    printLine(w.take());
}

} // namespace

int undo(const Args& args) {
    try {
        journal::Journal j(journalFolder(args));
        if (args.list) return list(j);
        journal::Undo undo(j);
        warnOnce(j);
        if (undo.empty()) {
            if (j.warning().empty()) std::fputs("quillet-tag: nothing to undo\n", stderr);
            return ExitFailed;
        }
        size_t back = 0;
        while (!undo.atEnd()) {
            const journal::Step step = undo.next();
            if (step.outcome == journal::Outcome::ChangedSince ||
                step.outcome == journal::Outcome::Failed) {
                printLine(tagjson::line(tagjson::errorLine(step.path, step.message)));
                continue;
            }
            ++back;
            fileLine(step.path, "undone", nullptr, step.restored);
        }
        const journal::Action& a = undo.action();
        undo.finish();
        std::fprintf(stderr, "quillet-tag: undid the %s of %s: %zu of %zu files put back\n",
                     std::string(journal::kindName(a.kind)).c_str(), isoTime(a.time).c_str(), back,
                     undo.steps());
        return back == undo.steps() ? ExitOk : ExitFailed;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillet-tag: undo: %s\n", e.what());
        return ExitFailed;
    }
}

int recover(const Args& args) {
    try {
        const journal::Recovery r = recoverAtStart(args);
        bool allWell = true;
        for (const journal::Recovered& f : r.files) {
            using How = journal::Recovered::How;
            if (f.how == How::PutBack || f.how == How::KeptNew) {
                const std::string image = f.how == How::PutBack ? "old" : "new";
                fileLine(f.path, "recovered", &image);
                continue;
            }
            allWell = false;
            const std::string message =
                f.how == How::ChangedSince ? std::string(journal::ChangedSinceMessage) : f.message;
            printLine(tagjson::line(tagjson::errorLine(f.path, message)));
        }
        const std::string told = toldOnce(r);
        std::fprintf(stderr, "quillet-tag: %s\n",
                     told.empty() ? "nothing to recover" : told.c_str());
        return allWell ? ExitOk : ExitFailed;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillet-tag: recover: %s\n", e.what());
        return ExitFailed;
    }
}

} // namespace cli
