#pragma once

#include <string>
#include <vector>

namespace cli {

enum Exit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct Args {
    std::vector<std::string> files;
    // set: the PROPERTY=VALUE arguments after the files
    std::vector<std::string> assignments;
    std::string temp;          // --temp DIR
    bool headerOnly = false;   // --header-only
    bool journal = false;      // --journal: write, set and kill record what they change
    bool list = false;         // --list: undo lists the journal instead
    std::string programFolder; // --program-folder DIR: where the journal is
};

int dump(const Args& args);
int kill(const Args& args);
int write(const Args& args); // write.cpp
int set(const Args& args);   // write.cpp
int undo(const Args& args);  // undo.cpp

} // namespace cli
