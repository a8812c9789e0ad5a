// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag undo: undoes the newest action of the undo journal, or lists
// the journal (--list), one JSON line per action.
#include "journal/undo.h"

#include "commands.h"
#include "journal/journal.h"
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
        w.key("undone").boolean(a.undone);
        w.endObject();
        printLine(w.take());
    }
    return ExitOk;
}

} // namespace

int undo(const Args& args) {
    try {
        journal::Journal j(journalFolder(args));
        if (args.list) return list(j);
        journal::Undo undo(j);
        warnOnce(j);
        if (undo.empty()) {
            std::fputs("quillet-tag: nothing to undo\n", stderr);
            return ExitFailed;
        }
        bool allBack = true;
        while (!undo.atEnd()) {
            const journal::Step step = undo.next();
            if (step.outcome == journal::Outcome::ChangedSince ||
                step.outcome == journal::Outcome::Failed) {
                printLine(tagjson::line(tagjson::errorLine(step.path, step.message)));
                allBack = false;
            }
        }
        undo.finish();
        return allBack ? ExitOk : ExitFailed;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillet-tag: undo: %s\n", e.what());
        return ExitFailed;
    }
}

} // namespace cli
