#include "commands.h"

#include "id3v1/id3.h"
#include "id3v1json.h"
#include "tagengine/zurur24.h"
#include "runfiles.h"
#include "tagjson.h"

#include <memory>

namespace cli {

int dump(const Args& args) {
    TempFolder temp(args.temp);
    bool allRead = true;
    for (const std::string& file : args.files) {
        allRead &= perFile(file, [&] {
            auto owner = std::make_unique<ID3v24>();
            ID3v24& tag = *owner;
            tag.FileName = file;
            tag.ReadTag(temp.path(), args.headerOnly);
            tagjson::Json j;
            j["file"] = file;
            if (args.headerOnly) {
                // A scan of the ID3v2 headers only: the trailer is not read.
                j["id3v2"] = tagjson::id3v2Header(tag);
            } else {
                Id3v1 trailer;
                trailer.FileName = file;
                trailer.ReadTag();
                j["id3v2"] = tagjson::id3v2Full(tag);
                j["id3v1"] = tagjson::id3v1(trailer);
            }
            printLine(tagjson::line(j));
        });
    }
    return allRead ? ExitOk : ExitFailed;
}

int kill(const Args& args) {
    bool allDone = true;
    for (const std::string& file : args.files) {
        allDone &= perFile(file, [&] {
            auto tag = std::make_unique<ID3v24>();
            tag->FileName = file;
            tag->ReadTag(std::string(), true);
            tag->RemoveTag();
        });
    }
    return allDone ? ExitOk : ExitFailed;
}

} // namespace cli
