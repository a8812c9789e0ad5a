#pragma once

#include <string>
#include <vector>

namespace cli {

// The command line of one quillet-tag run.
struct Args {
    std::vector<std::string> files;
    // set: the PROPERTY=VALUE arguments after the files
    std::vector<std::string> assignments;
    std::string temp;        // --temp DIR
    bool headerOnly = false; // --header-only
    // write, set and kill record what they change in the undo journal
    // (--journal, the default) or not (--no-journal); journalOption: either was given
    bool journal = true;
    bool journalOption = false;
    bool list = false;         // --list: undo lists the journal instead
    std::string programFolder; // --program-folder DIR: where the journal is
};

} // namespace cli
