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
#include "tagfile/batch.h"
#include "tagfile/mp3check.h"

#include <optional>

namespace tagfile {

namespace {

// One file's change as a batch of its own: written at once, its error raised.
template <class Plan> void alone(journal::Recording* journal, Plan&& plan) {
    Batch batch(journal, [](size_t, std::exception_ptr) {}, {.stopAtError = true});
    plan(batch);
    batch.flush();
}

} // namespace

void writeTag(ID3v24& tag, const std::string& path, Id3v1* trailer, Header,
              journal::Recording* journal, bool force, writetag::Loss loss) {
    alone(journal, [&](Batch& batch) { batch.planWrite(tag, path, trailer, {force, loss}, 0); });
}

void removeTag(ID3v24& tag, const std::string& path, journal::Recording* journal, bool force) {
    alone(journal, [&](Batch& batch) { batch.planRemove(tag, path, force, 0); });
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
