#include "tagfile/tagfile.h"

#include "id3v1/id3.h"
#include "tagengine/zurur24.h"

namespace tagfile {

namespace {
// A header-only read extracts no picture: it needs no picture folder.
void readHeader(ID3v24& tag, const std::string& path) {
    tag.FileName = path;
    tag.ReadTag(std::string(), true);
}
} // namespace

void writeTag(ID3v24& tag, const std::string& path, Id3v1* trailer, Header header) {
    if (header == Header::Read)
        readHeader(tag, path);
    else
        tag.FileName = path;
    tag.WriteTag();
    if (!trailer) return;
    trailer->FileName = path;
    trailer->WriteTag();
}

void removeTag(ID3v24& tag, const std::string& path) {
    readHeader(tag, path);
    tag.RemoveTag();
}

} // namespace tagfile
