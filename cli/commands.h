#pragma once

#include <string>
#include <vector>

namespace cli {

enum Exit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct Args {
    std::vector<std::string> files;
    // set: the PROPERTY=VALUE arguments after the files
    std::vector<std::string> assignments;
    std::string temp;        // --temp DIR
    bool headerOnly = false; // --header-only
};

int dump(const Args& args);
int kill(const Args& args);
int write(const Args& args); // write.cpp
int set(const Args& args);   // write.cpp

} // namespace cli
