#pragma once

#include <string>
#include <vector>

namespace cli {

// The command line of one quillet-tag run.
struct Args {
    std::vector<std::string> files;
    // set: the PROPERTY=VALUE arguments after the files
    std::vector<std::string> assignments;
    std::string temp;          // --temp DIR
    bool headerOnly = false;   // --header-only
    bool journal = false;      // --journal: write, set and kill record what they change
    bool list = false;         // --list: undo lists the journal instead
    bool allowLoss = false;    // --allow-loss: write and set drop what they cannot keep
    std::string programFolder; // --program-folder DIR: where the journal is
};

} // namespace cli
