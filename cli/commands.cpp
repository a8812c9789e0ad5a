// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "commands.h"

#include "id3v1/id3.h"
#include "id3v1json.h"
#include "io/file.h"
#include "io/ioerror.h"
#include "journal/recovery.h"
#include "runfiles.h"
#include "tagengine/zurur24.h"
#include "tagfile/batch.h"
#include "tagfile/mp3check.h"
#include "tagfile/tagfile.h"
#include "tagjson.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

namespace cli {

namespace {

// The pictures a failed read extracted into the --temp folder are removed
// again: the folder keeps what it held before the run and the pictures the
// printed lines name.
class PictureFolder {
public:
    explicit PictureFolder(const std::string& given) : m_folder(given) {
        if (!m_folder.empty()) m_keep = names();
    }
    void printed(const ID3v24& tag) {
        if (m_folder.empty()) return;
        for (const tag::PictureEntry& p : tag.Pictures())
            m_keep.insert(std::filesystem::path(p.pictureFile).filename().string());
    }
    void failed() const {
        std::error_code ec;
        for (const std::string& name : names())
            if (!m_keep.count(name))
                std::filesystem::remove(std::filesystem::path(m_folder) / name, ec);
    }

private:
    std::set<std::string> names() const {
        std::set<std::string> found;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(m_folder, ec), end; !ec && it != end;
             it.increment(ec))
            found.insert(it->path().filename().string());
        return found;
    }

    std::string m_folder;
    std::set<std::string> m_keep;
};

// A file shorter than an ID3v2 header fails the engine's read: an empty one
// holds no tag, and prints as such; one of a few bytes is named for what it is.
bool emptyFile(const io::IoError& error, const std::string& file) {
    if (error.code() != io::IoError::ShortRead) return false;
    const uint64_t length = io::fileLength(file);
    if (length == 0) return true;
    if (length < tagfile::HeaderBytes) throw io::IoError(io::IoError::TooShort);
    return false;
}

} // namespace

void atStart(const Args& args) {
    std::string told;
    try {
        told = toldOnce(recoverAtStart(args));
    } catch (const std::exception& e) {
        told = std::string("the undo journal could not be recovered: ") + e.what();
    }
    if (!told.empty()) std::fprintf(stderr, "quillet-tag: %s\n", told.c_str());
}

int dump(const Args& args) {
    TempFolder temp(args.temp);
    PictureFolder pictures(args.temp);
    bool allRead = true;
    for (const std::string& file : args.files) {
        const bool read = perFile(file, [&] {
            // Default-initialised: nothing to clear before the read fills it.
            std::unique_ptr<ID3v24> owner(new ID3v24);
            ID3v24& tag = *owner;
            tag.FileName = file;
            Id3v1 trailer;
            try {
                if (args.headerOnly) {
                    // A scan of the ID3v2 headers only: the trailer is not read.
                    tag.ReadTag(std::string(), true);
                } else {
                    // The trailer comes through the same open file: one open per file.
                    tag.ReadTag(temp.path(), false,
                                [&](const io::File& f) { trailer.ReadFrom(f); });
                }
            } catch (const io::IoError& error) {
                if (!emptyFile(error, file)) throw;
                owner.reset(new ID3v24);
            }
            printLine(args.headerOnly ? tagjson::headerLine(file, *owner)
                                      : tagjson::dumpLine(file, *owner, trailer));
            pictures.printed(*owner);
        });
        if (!read) pictures.failed();
        allRead &= read;
    }
    return allRead ? ExitOk : ExitFailed;
}

int kill(const Args& args) {
    std::unique_ptr<RunJournal> journal;
    if (!startJournal(args, journal::Kind::Kill, journal)) return ExitFailed;
    bool allDone = inBatches(args, journal->recording(), [&](tagfile::Batch& batch, size_t i) {
        ID3v24 tag;
        batch.planRemove(tag, args.files[i], args.force, i);
    });
    allDone &= journal->finish();
    return allDone ? ExitOk : ExitFailed;
}

} // namespace cli
