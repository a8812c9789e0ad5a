#include "tagfile/tagfile.h"

#include "id3v1/id3.h"
#include "io/file.h"
#include "journal/image.h"
#include "journal/recording.h"
#include "renamer/renamer.h"
#include "tagengine/keptframes.h"
#include "tagengine/syncsafe.h"
#include "tagengine/tagheader.h"
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
// header, everything it declares and a footer), none for a file without a tag.
uint64_t regionLength(const ID3v24& tag) {
    return tag.Id3v2present ? tag.RegionLength() : 0;
}

} // namespace

void writeTag(ID3v24& tag, const std::string& path, Id3v1* trailer, Header header,
              journal::Recording* journal, writetag::Loss loss) {
    if (!journal) {
        if (header == Header::Read)
            readHeader(tag, path);
        else
            tag.FileName = path;
        tag.WriteTag({}, loss);
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
        tag.WriteTag([&](std::span<const uint8_t> start) { change.planned(start); }, loss);
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
    const uint64_t region = regionLength(tag);
    // Nothing to write (no tag), or nothing it may write (a tag it cannot
    // read, a size the format cannot hold): RemoveTag says which, and no
    // entry is needed.
    if (!tag.Id3v2present || !tag.Header().readable() || region - 10 >= syncsafe::Limit)
        return tag.RemoveTag();
    // The tag it leaves: a header of the same region, then zero bytes.
    const auto header = tag::blankHeader(static_cast<uint32_t>(region - 10));
    change.planned(region, journal::blankRegionDigest(header, region - 10));
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
