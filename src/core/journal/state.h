// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/filestat.h"
#include "journal/action.h"
#include "journal/blobkeys.h"

#include <optional>
#include <span>
#include <vector>

namespace io {
class File;
}

// The two images of a changed file, what it held before the change and what
// the change planned, and which of them a file holds now; and the way back
// to the old one. The undo and the recovery after a crash decide by these.
namespace journal {

// Which image each part of a file holds. Mixed is a part whose write was cut
// short: a region written in place whose every block is old or new, or a
// trailer whose every byte is (one being appended: the start of the new).
// A trailer the change does not touch counts as Old.
enum class Image : uint8_t { Old, New, Mixed };
struct State {
    Image head;
    Image trailer;
    bool operator==(const State&) const = default;
    bool old() const { return head == Image::Old && trailer == Image::Old; }
    // Everything the change planned is in place.
    bool complete(const Change& change) const {
        return head == Image::New && (trailer == Image::New || !change.trailerTouched);
    }
};

// The state of a file of size bytes open as file, for change (oldHead is the
// region as it was): each part as the change found it, as it planned it, or
// cut short between the two. Empty when the file holds anything else. New
// images are tried first, so a write that changed nothing counts as done.
std::optional<State> findState(const io::File& file, uint64_t size, const Change& change,
                               std::span<const uint8_t> oldHead, BlobKeys& keys);

// Puts the old image back over every part of file (open for writing, size
// bytes long, in state) that does not hold it, with the modification time
// the file had before the change: a region of another length through a new
// file put in its place at once, as a moving write does, the rest in place.
// Returns the file as it then is (a new one when it was replaced).
io::FileStat restoreOld(const Change& change, io::File& file, uint64_t size, State state,
                        std::span<const uint8_t> oldHead);

// Gives file (open for writing) the modification time mtime, where the user
// may set it.
void setModified(const io::File& file, int64_t mtime);

// The old region of change, from its pieces; blobs are read from the
// action's own file and checked against their keys.
std::vector<uint8_t> oldRegion(const Change& change, const Action& action,
                               const io::File& actionFile, BlobKeys& keys);
// Checks every blob of the action against its key (raises Damaged).
void verifyBlobs(const io::File& actionFile, const Action& action);

} // namespace journal
