// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "commands.h"

#include "id3v1/id3.h"
#include "id3v1json.h"
#include "runfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/tagfile.h"
#include "tagjson.h"

#include <memory>

namespace cli {

int dump(const Args& args) {
    TempFolder temp(args.temp);
    bool allRead = true;
    for (const std::string& file : args.files) {
        allRead &= perFile(file, [&] {
            // Default-initialised: nothing to clear before the read fills it.
            std::unique_ptr<ID3v24> owner(new ID3v24);
            ID3v24& tag = *owner;
            tag.FileName = file;
            if (args.headerOnly) {
                // A scan of the ID3v2 headers only: the trailer is not read.
                tag.ReadTag(std::string(), true);
                printLine(tagjson::headerLine(file, tag));
                return;
            }
            // The trailer comes through the same open file: one open per file.
            Id3v1 trailer;
            tag.ReadTag(temp.path(), false, [&](const io::File& f) { trailer.ReadFrom(f); });
            printLine(tagjson::dumpLine(file, tag, trailer));
        });
    }
    return allRead ? ExitOk : ExitFailed;
}

int kill(const Args& args) {
    std::unique_ptr<RunJournal> journal;
    if (!startJournal(args, journal::Kind::Kill, journal)) return ExitFailed;
    bool allDone = true;
    for (const std::string& file : args.files) {
        allDone &= perFile(file, [&] {
            tagfile::removeTag(*std::make_unique<ID3v24>(), file, journal->recording());
        });
    }
    allDone &= journal->finish();
    return allDone ? ExitOk : ExitFailed;
}

} // namespace cli
