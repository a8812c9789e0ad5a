#include "commands.h"

#include "id3v1/id3.h"
#include "id3v1json.h"
#include "tagengine/zurur24.h"
#include "tagjson.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>

namespace cli {

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

namespace {

// A picture folder for one run: the one given, or a new one removed at exit.
class TempFolder {
public:
    explicit TempFolder(const std::string& given) {
        if (!given.empty()) {
            m_path = given;
            return;
        }
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillet-tag-XXXXXX";
        if (::mkdtemp(pattern.data())) {
            m_path = pattern;
            m_owned = true;
        }
    }
    ~TempFolder() {
        std::error_code ec;
        if (m_owned) std::filesystem::remove_all(m_path, ec);
    }
    std::string path() const { return m_path + "/"; }

private:
    std::string m_path;
    bool m_owned = false;
};

// Runs one file's work; a failure prints the error line and counts.
template <class Work> bool perFile(const std::string& file, Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        printLine(tagjson::line(tagjson::errorLine(file, e.what())));
        return false;
    }
}

} // namespace

int dump(const Args& args) {
    TempFolder temp(args.temp);
    bool allRead = true;
    for (const std::string& file : args.files) {
        allRead &= perFile(file, [&] {
            auto owner = std::make_unique<ID3v24>();
            ID3v24& tag = *owner;
            tag.FileName = file;
            tag.ReadTag(temp.path(), args.headerOnly);
            // The trailer has no header of its own, so --header-only reads it whole too.
            Id3v1 trailer;
            trailer.FileName = file;
            trailer.ReadTag();
            tagjson::Json j;
            j["file"] = file;
            j["id3v2"] = args.headerOnly ? tagjson::id3v2Header(tag) : tagjson::id3v2Full(tag);
            j["id3v1"] = tagjson::id3v1(trailer);
            printLine(tagjson::line(j));
        });
    }
    return allRead ? ExitOk : ExitFailed;
}

int kill(const Args& args) {
    bool allDone = true;
    for (const std::string& file : args.files) {
        allDone &= perFile(file, [&] {
            ID3v24 tag;
            tag.FileName = file;
            tag.ReadTag(std::string(), true);
            tag.RemoveTag();
        });
    }
    return allDone ? ExitOk : ExitFailed;
}

} // namespace cli
