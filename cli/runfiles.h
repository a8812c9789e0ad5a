// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "args.h"
#include "journal/action.h"
#include "tagengine/writetag.h"
#include "tagjson.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>

class ID3v24;
class Id3v1;

namespace tagfile {
class Batch;
}

namespace journal {
class Journal;
class Recording;
struct Recovery;
} // namespace journal

// What the commands that work file by file share.
namespace cli {

void printLine(const std::string& line);

// A picture folder for one run: the one given, or a new one removed at exit.
class TempFolder {
public:
    explicit TempFolder(const std::string& given);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // The folder, ending with "/"; a new one is made at the first call.
    std::string path();

private:
    std::string m_path;
    bool m_owned = false;
};

// The journal folder: in --program-folder DIR, else in the program folder.
std::string journalFolder(const Args& args);

// The recovery every start makes (see atStart), and the one line that tells it.
journal::Recovery recoverAtStart(const Args& args);
std::string toldOnce(const journal::Recovery& recovery);

// The undo journal of a run given --journal (none otherwise), begun before
// any file is touched.
class RunJournal {
public:
    RunJournal(const Args& args, journal::Kind kind);
    ~RunJournal();
    journal::Recording* recording() { return m_recording.get(); }
    // Ends the action on disk; false, with a message, when that failed.
    bool finish();

private:
    std::unique_ptr<journal::Journal> m_journal;
    std::unique_ptr<journal::Recording> m_recording;
};

// Begins the run's journal into journal; false, with a message, when it
// could not be begun (then no file may be touched).
bool startJournal(const Args& args, journal::Kind kind, std::unique_ptr<RunJournal>& journal);

// Reads each file's tags, lets change edit them and writes them back, each
// file keeping all else (what set, names and number share; write.cpp). The
// ID3v1.1 trailer is read and written only when withTrailer. What change
// raises fails that file, which is left alone.
using FileChange =
    std::function<void(size_t index, const std::string& file, ID3v24& tag, Id3v1& trailer)>;
int editEach(const Args& args, bool withTrailer, const FileChange& change);

// Plans each file of the run into a batch of writes (plan(batch, index)),
// which writes them a batch at a time; a file that fails prints its error
// line, in the order of the files. True when every file was written.
bool inBatches(const Args& args, journal::Recording* journal,
               const std::function<void(tagfile::Batch&, size_t index)>& plan);

// Runs one file's work; a failure prints the file's error line. True when it succeeded.
template <class Work> bool perFile(const std::string& file, Work&& work) {
    try {
        work();
        return true;
    } catch (const writetag::LossError& e) {
        printLine(tagjson::line(tagjson::lossLine(file, e)));
        return false;
    } catch (const std::exception& e) {
        printLine(tagjson::line(tagjson::errorLine(file, e.what())));
        return false;
    }
}

} // namespace cli
