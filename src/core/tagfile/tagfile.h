// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/writetag.h"

#include <string>
#include <vector>

class ID3v24;
class Id3v1;

namespace journal {
class Recording;
}

// What the window and quillet-tag do to files, each as one call on the two
// tag components. Given a recording, each file's change goes to the undo
// journal before the file is touched.
namespace tagfile {

// What the tag component knows of the file before a write. The write reads
// the header through its own open file either way, with the rest it needs.
enum class Header {
    Read,  // nothing yet
    Known, // the component's last read was a read of this very file
};

// Writes the model of tag into path as its ID3v2 tag, then, when given,
// trailer's fields as its ID3v1.1 trailer: a batch of one file (see
// batch.h). The writer relies on what path's header says (whether it has a
// tag, and how large it is): tag's header state becomes that of path, as a
// header-only read leaves it. Both components' FileName become path. Only MP3 files are
// written (see mp3check.h): anything else raises "Not an MP3 file" (or "File
// too short to hold MP3 audio") untouched, unless force is given. Frames of
// path's own tag that the write cannot keep end it before anything is
// written (writetag::LossError) unless loss allows them to go.
void writeTag(ID3v24& tag, const std::string& path, Id3v1* trailer = nullptr,
              Header header = Header::Read, journal::Recording* journal = nullptr,
              bool force = false, writetag::Loss loss = writetag::Loss::Refuse);

// The IDs of the frames of path's tag that a write into it could not keep,
// in the order they stand: what to name before a write. None for a file
// without a tag, or with one Quillet cannot read (which a write refuses).
std::vector<std::string> losses(const std::string& path);

// Blanks the ID3v2 tag of path, its whole region (a file without one stays as
// it is); the model's texts and lists stay as they are. Refuses what writeTag
// refuses, and a tag Quillet cannot read (io::TagError).
void removeTag(ID3v24& tag, const std::string& path, journal::Recording* journal = nullptr,
               bool force = false);

// Renames folder + oldName after the renamer's rule (renamer::renamefile):
// newName, or the row's number text in front of it when that fails; never
// over another file. Returns the name the file got.
std::string renameFile(const std::string& folder, const std::string& oldName,
                       const std::string& newName, const std::string& numberText,
                       journal::Recording* journal = nullptr);

} // namespace tagfile
