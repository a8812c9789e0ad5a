#include "tagfile/tagfile.h"

#include "id3v1/id3.h"
#include "journal/recording.h"
#include "renamer/renamer.h"
#include "tagengine/syncsafe.h"
#include "tagengine/zurur24.h"

#include <optional>

namespace tagfile {

namespace {

// A header-only read extracts no picture: it needs no picture folder.
void readHeader(ID3v24& tag, const std::string& path, const ID3v24::ReadAlongside& alongside = {}) {
    tag.FileName = path;
    tag.ReadTag(std::string(), true, alongside);
}

// What a write or a kill replaces: the tag region the last read found (its
// header and everything it declares), none for a file without a tag.
uint64_t regionLength(const ID3v24& tag) {
    return tag.Id3v2present ? uint64_t{tag.TagSize()} + 10 : 0;
}

} // namespace

void writeTag(ID3v24& tag, const std::string& path, Id3v1* trailer, Header header,
              journal::Recording* journal) {
    if (!journal) {
        if (header == Header::Read)
            readHeader(tag, path);
        else
            tag.FileName = path;
        tag.WriteTag();
        if (!trailer) return;
        trailer->FileName = path;
        trailer->WriteTag();
        return;
    }
    std::optional<journal::Trailer> newTrailer;
    if (trailer) newTrailer = trailer->render();
    journal::Recording::FileChange change;
    // What the write replaces is read through the header read's own open file.
    auto capture = [&](const io::File& file) {
        change =
            journal->change(path, file, regionLength(tag), newTrailer ? &*newTrailer : nullptr);
    };
    if (header == Header::Read) {
        readHeader(tag, path, capture);
    } else {
        tag.FileName = path;
        capture(io::File(path, io::File::Mode::Read));
    }
    try {
        tag.WriteTag([&](std::span<const uint8_t> start) { change.planned(start); });
        if (trailer) {
            trailer->FileName = path;
            trailer->WriteTag();
        }
    } catch (...) {
        change.failed();
        throw;
    }
    change.done();
}

void removeTag(ID3v24& tag, const std::string& path, journal::Recording* journal) {
    if (!journal) {
        readHeader(tag, path);
        tag.RemoveTag();
        return;
    }
    journal::Recording::FileChange change;
    readHeader(tag, path, [&](const io::File& file) {
        if (tag.Id3v2present) change = journal->change(path, file, regionLength(tag), nullptr);
    });
    const uint32_t size = tag.TagSize();
    // Nothing to write (no tag), or nothing it may write (a size the format
    // cannot hold): RemoveTag says which, and no entry is needed.
    if (!tag.Id3v2present || size >= syncsafe::Limit) return tag.RemoveTag();
    // The tag it leaves: a header of the same size, then zero bytes.
    const auto encoded = syncsafe::encode(size);
    const uint8_t header[10] = {'I', 'D',        '3',        4,          0,
                                0,   encoded[0], encoded[1], encoded[2], encoded[3]};
    change.plannedBlank(header, uint64_t{size} + 10);
    try {
        tag.RemoveTag();
    } catch (...) {
        change.failed();
        throw;
    }
    change.done();
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
