#pragma once

#include <string>
#include <vector>

namespace cli {

enum Exit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct Args {
    std::vector<std::string> files;
    std::string temp;        // --temp DIR
    bool headerOnly = false; // --header-only
};

// Prints one line of output; lines are flushed at exit or when the buffer fills.
void printLine(const std::string& line);

int dump(const Args& args);
int kill(const Args& args);

} // namespace cli
