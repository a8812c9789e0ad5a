// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagfile/tagfile.h"

#include "id3v1/id3.h"
#include "io/file.h"
#include "io/ioerror.h"
#include "journal/recording.h"
#include "renamer/renamer.h"
#include "tagengine/keptframes.h"
#include "tagengine/syncsafe.h"
#include "tagengine/tagheader.h"
#include "tagengine/writetag.h"
#include "tagengine/zurur24.h"
#include "tagfile/mp3check.h"

#include <optional>

namespace tagfile {

namespace {

using Alongside = ID3v24::ReadAlongside;

// A header-only read extracts no picture: it needs no picture folder.
void readHeader(ID3v24& tag, const std::string& path, const Alongside& alongside = {}) {
    tag.FileName = path;
    tag.ReadTag(std::string(), true, alongside);
}

// What a write or a kill replaces: the tag region the last read found (its
// header, everything it declares and a footer), none for a file without a tag.
uint64_t regionLength(const ID3v24& tag) {
    return tag.Id3v2present ? tag.RegionLength() : 0;
}

// Gets tag ready to change path: reads its ID3v2 header (unless the last read
// was of this very file), checks that path is a file a tag may be written
// into (unless forced) and runs alongside on the open file. True when the
// file is shorter than an ID3v2 header, which the engine cannot read: it
// holds no tag then.
bool prepare(ID3v24& tag, const std::string& path, Header header, bool force,
             const Alongside& alongside) {
    const auto check = [&](const io::File& file) {
        if (!tag.Id3v2present && !force) requireMp3(file, path);
        if (alongside) alongside(file);
    };
    if (header == Header::Known) {
        tag.FileName = path;
        // A tag found by the last read makes it an MP3 file: nothing to open.
        if (!tag.Id3v2present || alongside) check(io::File(path, io::File::Mode::Read));
        return false;
    }
    try {
        readHeader(tag, path, check);
        return false;
    } catch (const io::IoError& error) {
        if (error.code() != io::IoError::ShortRead) throw;
        const io::File file(path, io::File::Mode::Read);
        if (file.size() >= HeaderBytes) throw;
        tag.Id3v2present = false;
        check(file);
        return true;
    }
}

// The model written into a file too short for a header, in front of its bytes.
void writeHeaderless(const ID3v24& tag, const writetag::BeforeWrite& beforeWrite) {
    tag::WriterInput input;
    static_cast<tag::TagData&>(input) = tag.model();
    writetag::WriteTag(input, 0, tag.FileName, beforeWrite);
}

} // namespace

void writeTag(ID3v24& tag, const std::string& path, Id3v1* trailer, Header header,
              journal::Recording* journal, bool force, writetag::Loss loss) {
    std::optional<journal::Trailer> newTrailer;
    if (journal && trailer) newTrailer = trailer->render();
    journal::Recording::FileChange change;
    // What the write replaces is read through the header read's own open file.
    Alongside capture;
    if (journal)
        capture = [&](const io::File& file) {
            change =
                journal->change(path, file, regionLength(tag), newTrailer ? &*newTrailer : nullptr);
        };
    const bool headerless = prepare(tag, path, header, force, capture);
    writetag::BeforeWrite plan;
    if (journal) plan = [&](std::span<const uint8_t> start) { change.planned(start); };
    try {
        if (headerless)
            writeHeaderless(tag, plan);
        else
            tag.WriteTag(plan, loss);
        if (trailer) {
            trailer->FileName = path;
            trailer->WriteTag();
        }
    } catch (...) {
        if (journal) change.failed();
        throw;
    }
    if (journal) change.done();
}

void removeTag(ID3v24& tag, const std::string& path, journal::Recording* journal, bool force) {
    journal::Recording::FileChange change;
    Alongside capture;
    if (journal)
        capture = [&](const io::File& file) {
            if (tag.Id3v2present) change = journal->change(path, file, regionLength(tag), nullptr);
        };
    // A file too short for a header holds no tag to remove.
    if (prepare(tag, path, Header::Read, force, capture)) return;
    if (!journal) return tag.RemoveTag();
    const uint64_t region = regionLength(tag);
    // Nothing to write (no tag), or nothing it may write (a tag it cannot
    // read, a size the format cannot hold): RemoveTag says which, and no
    // entry is needed.
    if (!tag.Id3v2present || !tag.Header().readable() || region - 10 >= syncsafe::Limit)
        return tag.RemoveTag();
    // The tag it leaves: a header of the same region, then zero bytes.
    const auto header = tag::blankHeader(static_cast<uint32_t>(region - 10));
    change.plannedBlank(header, region);
    try {
        tag.RemoveTag();
    } catch (...) {
        change.failed();
        throw;
    }
    change.done();
}

std::vector<std::string> losses(const std::string& path) {
    const io::File file(path, io::File::Mode::Read);
    uint8_t first[tag::TagHeaderSize];
    if (file.readAt(first, sizeof first, 0) < sizeof first) return {};
    const tag::TagHeader header = tag::parseTagHeader(first);
    if (!header.readable() || header.regionLength() > file.size()) return {};
    return kept::scan(file, header.regionLength()).dropped;
}

std::string renameFile(const std::string& folder, const std::string& oldName,
                       const std::string& newName, const std::string& numberText,
                       journal::Recording* journal) {
    if (!journal) return renamer::renamefile(folder, oldName, newName, numberText);
    const uint32_t entry = journal->renaming(folder, oldName);
    std::string name = renamer::renamefile(folder, oldName, newName, numberText);
    journal->renamed(entry, name);
    return name;
}

} // namespace tagfile
