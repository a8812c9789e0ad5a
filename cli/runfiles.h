#pragma once

#include "tagjson.h"

#include <exception>
#include <string>

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

// Runs one file's work; a failure prints the file's error line. True when it succeeded.
template <class Work> bool perFile(const std::string& file, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        printLine(tagjson::line(tagjson::errorLine(file, e.what())));
        return false;
    }
}

} // namespace cli
